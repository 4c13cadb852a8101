#include "bench/HeapProbe.h"

#include <malloc.h>

#include <atomic>
#include <cstddef>
#include <cstdlib>
#include <new>

namespace quillbox::bench {
namespace {

std::atomic<std::int64_t> live{0};
std::atomic<std::int64_t> peak{0};
std::atomic<std::int64_t> allocations{0};

// Sizes are what the allocator really handed out, so frees need no header.
void* Take(std::size_t size, std::size_t alignment) {
  if (size == 0) size = 1;
  void* p = alignment <= alignof(std::max_align_t)
                ? std::malloc(size)
                : std::aligned_alloc(alignment, (size + alignment - 1) / alignment * alignment);
  if (p == nullptr) throw std::bad_alloc();
  const auto held = live.fetch_add(static_cast<std::int64_t>(malloc_usable_size(p))) +
                    static_cast<std::int64_t>(malloc_usable_size(p));
  allocations.fetch_add(1, std::memory_order_relaxed);
  std::int64_t seen = peak.load(std::memory_order_relaxed);
  while (held > seen && !peak.compare_exchange_weak(seen, held)) {
  }
  return p;
}

void Give(void* p) noexcept {
  if (p == nullptr) return;
  live.fetch_sub(static_cast<std::int64_t>(malloc_usable_size(p)));
  std::free(p);
}

}  // namespace

HeapStats Heap() { return {live.load(), peak.load(), allocations.load()}; }

void ResetPeak() { peak.store(live.load()); }

}  // namespace quillbox::bench

using quillbox::bench::Give;
using quillbox::bench::Take;

// NOLINTBEGIN(misc-new-delete-overloads)
void* operator new(std::size_t size) { return Take(size, 0); }
void* operator new[](std::size_t size) { return Take(size, 0); }
void* operator new(std::size_t size, std::align_val_t a) { return Take(size, static_cast<std::size_t>(a)); }
void* operator new[](std::size_t size, std::align_val_t a) { return Take(size, static_cast<std::size_t>(a)); }
void* operator new(std::size_t size, const std::nothrow_t&) noexcept {
  try {
    return Take(size, 0);
  } catch (const std::bad_alloc&) {
    return nullptr;
  }
}
void* operator new[](std::size_t size, const std::nothrow_t& tag) noexcept { return operator new(size, tag); }
void operator delete(void* p) noexcept { Give(p); }
void operator delete[](void* p) noexcept { Give(p); }
void operator delete(void* p, std::size_t) noexcept { Give(p); }
void operator delete[](void* p, std::size_t) noexcept { Give(p); }
void operator delete(void* p, std::align_val_t) noexcept { Give(p); }
void operator delete[](void* p, std::align_val_t) noexcept { Give(p); }
void operator delete(void* p, std::size_t, std::align_val_t) noexcept { Give(p); }
void operator delete[](void* p, std::size_t, std::align_val_t) noexcept { Give(p); }
// NOLINTEND(misc-new-delete-overloads)
