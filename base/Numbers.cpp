#include "base/Numbers.h"

#include <cmath>
#include <limits>

namespace quillbox {

#if QUILLBOX_GNU_EXTENSIONS

std::int32_t CheckedAdd(std::int32_t a, std::int32_t b) {
  std::int32_t r;
  if (__builtin_add_overflow(a, b, &r)) throw OverflowError("32-bit overflow in an addition");
  return r;
}

std::int32_t CheckedSub(std::int32_t a, std::int32_t b) {
  std::int32_t r;
  if (__builtin_sub_overflow(a, b, &r)) throw OverflowError("32-bit overflow in a subtraction");
  return r;
}

std::int32_t CheckedMul(std::int32_t a, std::int32_t b) {
  std::int32_t r;
  if (__builtin_mul_overflow(a, b, &r)) throw OverflowError("32-bit overflow in a multiplication");
  return r;
}

#else

namespace {
// Sums, differences and products of two 32-bit numbers all fit in 64 bits.
std::int32_t Narrow(std::int64_t r, const char* what) {
  if (r < std::numeric_limits<std::int32_t>::min() || r > std::numeric_limits<std::int32_t>::max()) {
    throw OverflowError(what);
  }
  return static_cast<std::int32_t>(r);
}
}  // namespace

std::int32_t CheckedAdd(std::int32_t a, std::int32_t b) {
  return Narrow(std::int64_t{a} + b, "32-bit overflow in an addition");
}

std::int32_t CheckedSub(std::int32_t a, std::int32_t b) {
  return Narrow(std::int64_t{a} - b, "32-bit overflow in a subtraction");
}

std::int32_t CheckedMul(std::int32_t a, std::int32_t b) {
  return Narrow(std::int64_t{a} * b, "32-bit overflow in a multiplication");
}

#endif

double RoundHalfEven(double x) {
  if (!std::isfinite(x)) return x;
  const double lower = std::floor(x);
  const double fraction = x - lower;  // exact for doubles
  if (fraction > 0.5) return lower + 1;
  if (fraction < 0.5) return lower;
  return std::fmod(lower, 2.0) == 0 ? lower : lower + 1;
}

std::int32_t RoundToInt32(double x) {
  const double r = RoundHalfEven(x);
  if (!(r >= std::numeric_limits<std::int32_t>::min() &&
        r <= std::numeric_limits<std::int32_t>::max())) {
    throw OverflowError("a real number is outside the 32-bit range");
  }
  return static_cast<std::int32_t>(r);
}

}  // namespace quillbox
