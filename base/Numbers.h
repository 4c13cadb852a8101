#pragma once
// Whole-number arithmetic that never wraps, and rounding ties to even.
#include <cstdint>
#include <stdexcept>

// GCC and Clang extensions (overflow builtins, vector types) speed up a few
// hot paths. Each has a standard C++ fallback, for other compilers; defining
// QUILLBOX_PORTABLE_CORE forces the fallback, so that it stays tested.
#if (defined(__GNUC__) || defined(__clang__)) && !defined(QUILLBOX_PORTABLE_CORE)
#define QUILLBOX_GNU_EXTENSIONS 1
#else
#define QUILLBOX_GNU_EXTENSIONS 0
#endif

namespace quillbox {

// Every arithmetic overflow in the core surfaces as this; nothing wraps.
class OverflowError : public std::overflow_error {
 public:
  using std::overflow_error::overflow_error;
};

std::int32_t CheckedAdd(std::int32_t a, std::int32_t b);
std::int32_t CheckedSub(std::int32_t a, std::int32_t b);
std::int32_t CheckedMul(std::int32_t a, std::int32_t b);

// Round to the nearest whole number, ties to the even one. The result is
// still a double so that callers can range-check it before narrowing.
double RoundHalfEven(double x);

// Round half-to-even and narrow to 32 bits; outside the range is an overflow.
std::int32_t RoundToInt32(double x);

}  // namespace quillbox
