#include "tests/support/HeapCount.h"

#include <atomic>
#include <cstddef>
#include <cstdlib>
#include <new>

namespace quillbox::test {
namespace {

std::atomic<std::int64_t> allocations{0};
std::atomic<std::int64_t> bytes{0};

void* Take(std::size_t size) {
  allocations.fetch_add(1, std::memory_order_relaxed);
  bytes.fetch_add(static_cast<std::int64_t>(size), std::memory_order_relaxed);
  void* p = std::malloc(size == 0 ? 1 : size);
  if (p == nullptr) throw std::bad_alloc();
  return p;
}

}  // namespace

HeapCount HeapSoFar() { return {allocations.load(), bytes.load()}; }

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
void operator delete(void* p, const std::nothrow_t&) noexcept { std::free(p); }
void operator delete[](void* p, const std::nothrow_t&) noexcept { std::free(p); }
void operator delete(void* p) noexcept { std::free(p); }
void operator delete[](void* p) noexcept { std::free(p); }
void operator delete(void* p, std::size_t) noexcept { std::free(p); }
void operator delete[](void* p, std::size_t) noexcept { std::free(p); }
// NOLINTEND(misc-new-delete-overloads)
