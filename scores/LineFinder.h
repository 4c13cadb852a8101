#pragma once
// Finding the lines of a score file's bytes: where each ends, and whether it
// holds a byte outside ASCII or a backslash.
#include <bit>
#include <cstddef>
#include <cstdint>
#include <cstring>

#if (defined(__SSE2__) || defined(_M_X64)) && !defined(QUILLBOX_PORTABLE_CORE)
#include <emmintrin.h>
#define QUILLBOX_SSE2_LINES 1
#else
#define QUILLBOX_SSE2_LINES 0
#endif

namespace quillbox {

// Where the line starting at `p` ends (its CR or LF, or `end`), and whether
// it holds a byte outside ASCII or a backslash.
struct LineScan {
  const char* stop;
  bool ascii;
  bool backslash;
};

#if QUILLBOX_SSE2_LINES
// Finds lines 64 bytes at a time: one pass of SSE2 compares marks every line
// end, byte outside ASCII and backslash of a stretch, and each line is then a
// few bit operations. Score files are millions of lines of about a dozen
// bytes, too short for a scan per line to get going.
class LineFinder {
 public:
  LineFinder(const char* p, const char* end) : end_(end) { Load(p); }

  // The line starting at `p`, which is before the end and not before where
  // the previous line started.
  LineScan Next(const char* p) {
    std::uint64_t highs = 0;
    std::uint64_t backslashes = 0;
    for (;;) {
      const auto offset = static_cast<std::size_t>(p - base_);
      if (offset >= 64) {
        Load(base_ + 64);
        continue;
      }
      const std::uint64_t live = ~std::uint64_t{0} << offset;
      const std::uint64_t stops = ends_ & live;
      if (stops != 0) {
        const std::uint64_t before = live & ((stops & (0 - stops)) - 1);
        highs |= highs_ & before;
        backslashes |= backslashes_ & before;
        return {base_ + std::countr_zero(stops), highs == 0, backslashes != 0};
      }
      highs |= highs_ & live;
      backslashes |= backslashes_ & live;
      if (end_ - base_ <= 64) return {end_, highs == 0, backslashes != 0};
      p = base_ + 64;
    }
  }

 private:
  void Load(const char* at) {
    base_ = at;
    ends_ = highs_ = backslashes_ = 0;
    if (end_ - at >= 64) {
      const __m128i cr = _mm_set1_epi8('\r');
      const __m128i lf = _mm_set1_epi8('\n');
      const __m128i backslash = _mm_set1_epi8('\\');
      for (std::size_t i = 0; i < 4; ++i) {
        const __m128i bytes = _mm_loadu_si128(reinterpret_cast<const __m128i*>(at + 16 * i));
        const auto mask = [i](__m128i marked) {
          return std::uint64_t{static_cast<std::uint16_t>(_mm_movemask_epi8(marked))} << (16 * i);
        };
        ends_ |= mask(_mm_or_si128(_mm_cmpeq_epi8(bytes, cr), _mm_cmpeq_epi8(bytes, lf)));
        highs_ |= mask(bytes);
        backslashes_ |= mask(_mm_cmpeq_epi8(bytes, backslash));
      }
      return;
    }
    // The last few bytes: nothing may be read past the end.
    for (std::size_t i = 0; at + i < end_; ++i) {
      const auto c = static_cast<unsigned char>(at[i]);
      const std::uint64_t bit = std::uint64_t{1} << i;
      if (c == '\r' || c == '\n') ends_ |= bit;
      if (c >= 0x80) highs_ |= bit;
      if (c == '\\') backslashes_ |= bit;
    }
  }

  const char* base_ = nullptr;
  const char* const end_;
  std::uint64_t ends_ = 0;
  std::uint64_t highs_ = 0;
  std::uint64_t backslashes_ = 0;
};
#else
constexpr std::uint64_t kOnes = 0x0101010101010101u;
constexpr std::uint64_t kHighs = 0x8080808080808080u;
// A high bit in each byte of `word` that equals `byte`; exact up to and
// including the lowest such byte, which is all this file asks of it.
constexpr std::uint64_t BytesEqual(std::uint64_t word, unsigned char byte) {
  const std::uint64_t x = word ^ (kOnes * byte);
  return (x - kOnes) & ~x & kHighs;
}

// Without SSE2, each line is scanned eight bytes at a time.
inline LineScan ScanLine(const char* p, const char* end) {
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
        return {p, (seen & kHighs) == 0, backslashes != 0};
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
  return {p, (seen & kHighs) == 0, backslashes != 0};
}

class LineFinder {
 public:
  LineFinder(const char*, const char* end) : end_(end) {}
  LineScan Next(const char* p) const { return ScanLine(p, end_); }

 private:
  const char* const end_;
};
#endif

}  // namespace quillbox
