#pragma once
// Counts what the program takes from the heap, so that the benchmarks can
// report peak memory and allocations beside their times. Linking
// HeapProbe.cpp replaces the global operator new and delete.
#include <cstdint>

namespace quillbox::bench {

struct HeapStats {
  std::int64_t live = 0;         // bytes held now
  std::int64_t peak = 0;         // most bytes held since the last ResetPeak
  std::int64_t allocations = 0;  // allocations since the program started
};

HeapStats Heap();
// Starts a new peak from what is held now.
void ResetPeak();

}  // namespace quillbox::bench
