// Counts the program's heap allocations while it polls: the poll runs five times a second for the
// whole life of the program and must allocate nothing. The simulated world logs what it sees and
// allocates for that; calls into it are not counted.
#include <windows.h>

#include <memory>

#include <gtest/gtest.h>

#include "app/MainDlg.h"
#include "res/resource.h"
#include "tests/support/HeapCount.h"
#include "tests/support/SimEnvironment.h"

namespace {

using testing_support::CountAllocations;
using testing_support::CountedAllocations;
using testing_support::Uncounted;

class UncountedDeviceIo : public platform::IDeviceIo {
  public:
    explicit UncountedDeviceIo(platform::IDeviceIo& inner) : m_inner(inner) {}
    HANDLE Open(const char* path, DWORD access, DWORD share, DWORD disposition,
                DWORD flags) override {
        Uncounted pause;
        return m_inner.Open(path, access, share, disposition, flags);
    }
    BOOL Control(HANDLE device, DWORD code, const void* in, DWORD inSize, void* out, DWORD outSize,
                 DWORD* returned) override {
        Uncounted pause;
        return m_inner.Control(device, code, in, inSize, out, outSize, returned);
    }
    BOOL Close(HANDLE device) override {
        Uncounted pause;
        return m_inner.Close(device);
    }

  private:
    platform::IDeviceIo& m_inner;
};

class UncountedSound : public platform::ISound {
  public:
    explicit UncountedSound(platform::ISound& inner) : m_inner(inner) {}
    BOOL PlaySound(const char* sound, HMODULE module, DWORD flags) override {
        Uncounted pause;
        return m_inner.PlaySound(sound, module, flags);
    }
    BOOL SndPlaySound(const char* sound, UINT flags) override {
        Uncounted pause;
        return m_inner.SndPlaySound(sound, flags);
    }

  private:
    platform::ISound& m_inner;
};

class UncountedPrompts : public platform::IPrompts {
  public:
    explicit UncountedPrompts(platform::IPrompts& inner) : m_inner(inner) {}
    int MessageBox(HWND owner, const char* text, const char* caption, UINT type) override {
        Uncounted pause;
        return m_inner.MessageBox(owner, text, caption, type);
    }
    void EndBoxes(HWND owner) override {
        Uncounted pause;
        m_inner.EndBoxes(owner);
    }

  private:
    platform::IPrompts& m_inner;
};

using PollAllocationTest = testing_support::SimEnvironment;

TEST_F(PollAllocationTest, APollAllocatesNothingWhateverTheStream) {
    {
        CountAllocations counting;
        const long before = CountedAllocations();
        auto probe = std::make_unique<int>(1);
        ASSERT_EQ(CountedAllocations() - before, 1) << "the counter must see allocations";
    }

    CMainDlg main;
    ASSERT_TRUE(main.Create(IDD_MAIN, nullptr));
    UncountedDeviceIo device(world);
    UncountedSound sounds(sound);
    UncountedPrompts asks(prompts);
    platform::ScopedSeam<platform::IDeviceIo> uncountedDevice(device);
    platform::ScopedSeam<platform::ISound> uncountedSound(sounds);
    platform::ScopedSeam<platform::IPrompts> uncountedPrompts(asks);
    Panel().filterEnabled = 1;

    const struct {
        const char* stream;
        device::StreamKind kind;
    } cases[] = {
        {"none", device::StreamKind::None},
        {"two-channel", device::StreamKind::TwoChannel},
        {"5.1, with the question", device::StreamKind::FiveOne},
        {"5.1, after the question", device::StreamKind::FiveOne},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.stream);
        world.driver.SetStreamKind(c.kind);
        const long before = CountedAllocations();
        {
            CountAllocations counting;
            main.SendMessage(WM_TIMER, CMainDlg::kPollTimer);
        }
        EXPECT_EQ(CountedAllocations() - before, 0) << c.stream;
    }
    EXPECT_EQ(prompts.shown.size(), 1u);
    EXPECT_EQ(Played("#9184"), 3);
}

}  // namespace
