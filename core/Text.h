#pragma once
// Small text and arithmetic helpers shared by the whole core.
#include <cstdint>
#include <stdexcept>
#include <string>
#include <string_view>

// GCC and Clang extensions (overflow builtins, vector types) speed up a few
// hot paths. Each has a standard C++ fallback, for other compilers; defining
// QUILLBOX_PORTABLE_CORE forces the fallback, so that it stays tested.
#if (defined(__GNUC__) || defined(__clang__)) && !defined(QUILLBOX_PORTABLE_CORE)
#define QUILLBOX_GNU_EXTENSIONS 1
#else
#define QUILLBOX_GNU_EXTENSIONS 0
#endif

namespace quillbox {

// Display text is 16-bit, as on the Windows desktop the tool was designed for.
using Text = std::u16string;

// Every arithmetic overflow in the core surfaces as this; nothing wraps.
class OverflowError : public std::overflow_error {
 public:
  using std::overflow_error::overflow_error;
};

// Plain decimal: no padding, '-' for negatives, no grouping.
Text Decimal(std::int64_t value);

// `value` in decimal, right-aligned in `width` columns; wider numbers are
// written whole rather than cut.
Text PadLeft(std::int64_t value, std::size_t width);
// The same, appended to `out` without a text of its own: charts write
// hundreds of thousands of cells.
void AppendPadLeft(Text& out, std::int64_t value, std::size_t width);

// UTF-16 to UTF-8; an unpaired surrogate becomes U+FFFD.
std::string ToUtf8(std::u16string_view text);
// UTF-8 to UTF-16 (for ASCII and our own literals); bad bytes become U+FFFD.
Text FromUtf8(std::string_view text);

std::int32_t CheckedAdd(std::int32_t a, std::int32_t b);
std::int32_t CheckedSub(std::int32_t a, std::int32_t b);
std::int32_t CheckedMul(std::int32_t a, std::int32_t b);

// Round to the nearest whole number, ties to the even one. The result is
// still a double so that callers can range-check it before narrowing.
double RoundHalfEven(double x);

// Round half-to-even and narrow to 32 bits; outside the range is an overflow.
std::int32_t RoundToInt32(double x);

}  // namespace quillbox
