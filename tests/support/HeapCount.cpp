#include "tests/support/HeapCount.h"

#include <atomic>
#include <cstddef>
#include <cstdlib>
#include <new>
#include <malloc.h>  // _msize on Windows, malloc_usable_size elsewhere

namespace quillbox::test {
namespace {

std::atomic<std::int64_t> allocations{0};
std::atomic<std::int64_t> bytes{0};
std::atomic<std::int64_t> live{0};
std::atomic<std::int64_t> peak{0};

std::int64_t Usable(void* p) {
#ifdef _WIN32
  return static_cast<std::int64_t>(_msize(p));
#else
  return static_cast<std::int64_t>(malloc_usable_size(p));
#endif
}

void* Take(std::size_t size) {
  allocations.fetch_add(1, std::memory_order_relaxed);
  bytes.fetch_add(static_cast<std::int64_t>(size), std::memory_order_relaxed);
  void* p = std::malloc(size == 0 ? 1 : size);
  if (p == nullptr) throw std::bad_alloc();
  const std::int64_t now = live.fetch_add(Usable(p), std::memory_order_relaxed) + Usable(p);
  std::int64_t highest = peak.load(std::memory_order_relaxed);
  while (now > highest && !peak.compare_exchange_weak(highest, now, std::memory_order_relaxed)) {
  }
  return p;
}

}  // namespace

void Give(void* p) noexcept {
  if (p == nullptr) return;
  live.fetch_sub(Usable(p), std::memory_order_relaxed);
  std::free(p);
}

HeapCount HeapSoFar() { return {allocations.load(), bytes.load()}; }

std::int64_t PeakLiveBytes() { return peak.load(); }
void ResetPeakLiveBytes() { peak.store(live.load()); }

}  // namespace quillbox::test

// Every form the library may pair with these deletes is here: the nothrow
// forms too, since a sanitizer's runtime would otherwise serve them from its
// own heap (std::stable_sort's buffer takes one). Over-aligned allocations
// keep the library's own pair; nothing here asks for them.
// NOLINTBEGIN(misc-new-delete-overloads)
void* operator new(std::size_t size) { return quillbox::test::Take(size); }
void* operator new[](std::size_t size) { return quillbox::test::Take(size); }
void* operator new(std::size_t size, const std::nothrow_t&) noexcept {
  try {
    return quillbox::test::Take(size);
  } catch (const std::bad_alloc&) {
    return nullptr;
  }
}
void* operator new[](std::size_t size, const std::nothrow_t&) noexcept {
  try {
    return quillbox::test::Take(size);
  } catch (const std::bad_alloc&) {
    return nullptr;
  }
}
void operator delete(void* p, const std::nothrow_t&) noexcept { quillbox::test::Give(p); }
void operator delete[](void* p, const std::nothrow_t&) noexcept { quillbox::test::Give(p); }
void operator delete(void* p) noexcept { quillbox::test::Give(p); }
void operator delete[](void* p) noexcept { quillbox::test::Give(p); }
void operator delete(void* p, std::size_t) noexcept { quillbox::test::Give(p); }
void operator delete[](void* p, std::size_t) noexcept { quillbox::test::Give(p); }
// NOLINTEND(misc-new-delete-overloads)
