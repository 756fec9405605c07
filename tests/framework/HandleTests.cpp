#include <gtest/gtest.h>

#include <utility>
#include <vector>

#include "framework/Handles.h"

namespace {

std::vector<int> g_closed;

struct FakeTraits {
    using pointer = int;
    static pointer Invalid() { return -1; }
    static void Close(pointer h) { g_closed.push_back(h); }
};
using FakeHandle = fw::UniqueHandle<FakeTraits>;

TEST(UniqueHandle, ClosesEachHandleExactlyOnceWhateverMovesItMakes) {
    g_closed.clear();
    {
        FakeHandle a(1);
        FakeHandle b(std::move(a));
        EXPECT_FALSE(a);
        EXPECT_EQ(b.Get(), 1);

        FakeHandle c(2);
        c = std::move(b);  // 2 is closed, c now owns 1
        EXPECT_EQ(g_closed, std::vector<int>{2});
        c = std::move(c);
        EXPECT_EQ(c.Get(), 1);

        FakeHandle d(3);
        d.Reset(4);  // 3 closed
        const int released = FakeHandle(5).Release();
        EXPECT_EQ(released, 5);
        FakeHandle empty;
        empty.Reset();
    }
    EXPECT_EQ(g_closed, (std::vector<int>{2, 3, 4, 1}));
}

}  // namespace
