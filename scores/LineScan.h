#pragma once
// Finding the lines of a score file's bytes: where each ends, and whether it
// holds a byte outside ASCII or a backslash.
#include <bit>
#include <cstdint>
#include <cstring>

namespace quillbox {

// Where the line starting at `p` ends (its CR or LF, or `end`), and whether
// it holds a byte outside ASCII or a backslash.
struct LineScan {
  const char* stop;
  bool ascii;
  bool backslash;
};

inline constexpr std::uint64_t kEachByte = 0x0101010101010101u;
inline constexpr std::uint64_t kHighBits = 0x8080808080808080u;

// A high bit in each byte of `word` that equals `byte`; exact up to and
// including the lowest such byte, which is all a line scan asks of it.
constexpr std::uint64_t BytesEqual(std::uint64_t word, unsigned char byte) {
  const std::uint64_t x = word ^ (kEachByte * byte);
  return (x - kEachByte) & ~x & kHighBits;
}

// Scans the line starting at `p` eight bytes at a time, the last few (and
// every byte on a big-endian machine) one by one. Score files are millions of
// lines of about a dozen bytes: a byte loop alone makes the whole report
// tool about a sixth slower.
inline LineScan ScanLine(const char* p, const char* const end) {
  std::uint64_t seen = 0;
  std::uint64_t backslashes = 0;
  if constexpr (std::endian::native == std::endian::little) {
    while (end - p >= 8) {
      std::uint64_t word;
      std::memcpy(&word, p, 8);
      const std::uint64_t stops = BytesEqual(word, '\r') | BytesEqual(word, '\n');
      // The bytes before the first CR or LF; all eight when there is none.
      const std::uint64_t before = stops == 0 ? ~std::uint64_t{0} : (stops & (0 - stops)) / 0x80 - 1;
      seen |= word & before;
      backslashes |= BytesEqual(word, '\\') & before;
      if (stops != 0) {
        p += std::countr_zero(stops) / 8;
        return {p, (seen & kHighBits) == 0, backslashes != 0};
      }
      p += 8;
    }
  }
  for (; p < end; ++p) {
    const auto c = static_cast<unsigned char>(*p);
    if (c == '\r' || c == '\n') break;
    seen |= c;
    backslashes |= c == '\\';
  }
  return {p, (seen & kHighBits) == 0, backslashes != 0};
}

}  // namespace quillbox
