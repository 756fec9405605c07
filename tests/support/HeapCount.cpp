#include "tests/support/HeapCount.h"

#include <cstddef>
#include <cstdlib>
#include <cstring>
#include <new>

namespace {

long long g_bytesInUse = 0;
long g_allocations = 0;
int g_counting = 0;

// Each block carries its size ahead of it, so a delete knows how much it gives back.
constexpr std::size_t kHeader = alignof(std::max_align_t);

void* Allocate(std::size_t size) {
    auto* block = static_cast<unsigned char*>(std::malloc(size + kHeader));
    if (!block) throw std::bad_alloc();
    std::memcpy(block, &size, sizeof(size));
    g_bytesInUse += static_cast<long long>(size);
    if (g_counting > 0) ++g_allocations;
    return block + kHeader;
}

void Free(void* p) noexcept {
    if (!p) return;
    unsigned char* block = static_cast<unsigned char*>(p) - kHeader;
    std::size_t size = 0;
    std::memcpy(&size, block, sizeof(size));
    g_bytesInUse -= static_cast<long long>(size);
    std::free(block);
}

}  // namespace

void* operator new(std::size_t size) {
    return Allocate(size);
}
void* operator new[](std::size_t size) {
    return Allocate(size);
}
void operator delete(void* p) noexcept {
    Free(p);
}
void operator delete[](void* p) noexcept {
    Free(p);
}
void operator delete(void* p, std::size_t) noexcept {
    Free(p);
}
void operator delete[](void* p, std::size_t) noexcept {
    Free(p);
}

namespace testing_support {

long long HeapBytesInUse() {
    return g_bytesInUse;
}

long CountedAllocations() {
    return g_allocations;
}

CountAllocations::CountAllocations() {
    ++g_counting;
}
CountAllocations::~CountAllocations() {
    --g_counting;
}

Uncounted::Uncounted() {
    --g_counting;
}
Uncounted::~Uncounted() {
    ++g_counting;
}

}  // namespace testing_support
