#pragma once
// Counts what a test program takes from the heap, so that a test can check
// the work a step does (bytes it allocated, how many times) instead of how
// long it took, which depends on the machine. Linking HeapCount.cpp into a
// test program replaces its global operator new and delete.
#include <cstdint>

namespace quillbox::test {

struct HeapCount {
  std::int64_t allocations = 0;
  std::int64_t bytes = 0;  // requested, whether freed since or not
};

// What the heap has handed out since the program started.
HeapCount HeapSoFar();

// The most the heap held at once since the last reset, in usable bytes; for
// a test of how many tables a step keeps alive together.
std::int64_t PeakLiveBytes();
void ResetPeakLiveBytes();
void Give(void* p) noexcept;

// What the heap has handed out since this meter was made.
class HeapMeter {
 public:
  HeapMeter() : start_(HeapSoFar()) {}
  HeapCount Used() const {
    const HeapCount now = HeapSoFar();
    return {now.allocations - start_.allocations, now.bytes - start_.bytes};
  }

 private:
  HeapCount start_;
};

}  // namespace quillbox::test
