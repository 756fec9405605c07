#pragma once

// What the program takes from the heap through operator new, in the test programs that link
// HeapCount.cpp (which replaces the global operator new and delete): the bytes in use, and the
// allocations made while a CountAllocations lives and no Uncounted inside it does.
namespace testing_support {

long long HeapBytesInUse();
long CountedAllocations();

class CountAllocations {
  public:
    CountAllocations();
    ~CountAllocations();
    CountAllocations(const CountAllocations&) = delete;
    CountAllocations& operator=(const CountAllocations&) = delete;
};

// Leaves out what is allocated inside a count, such as a test double's own records.
class Uncounted {
  public:
    Uncounted();
    ~Uncounted();
    Uncounted(const Uncounted&) = delete;
    Uncounted& operator=(const Uncounted&) = delete;
};

}  // namespace testing_support
