#pragma once
// Reading a key line's value text. ReadValue (ScoreFile.h) reads any text;
// the plain whole numbers the game itself writes take the short way here.
#include <bit>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string_view>

namespace quillbox {

// The value texts the game writes are plain whole numbers: an optional '-'
// and up to 15 digits, which read exactly and need no rounding. False for
// every other text, which ReadValue reads.
template <typename Char>
bool PlainWhole(std::basic_string_view<Char> text, std::int64_t& value) {
  const std::size_t digitsFrom = !text.empty() && text[0] == '-' ? 1 : 0;
  if (text.size() == digitsFrom || text.size() - digitsFrom > 15) return false;
  std::int64_t magnitude = 0;
  for (std::size_t i = digitsFrom; i < text.size(); ++i) {
    const auto digit = static_cast<unsigned>(text[i]) - unsigned{'0'};
    if (digit > 9) return false;
    magnitude = magnitude * 10 + digit;
  }
  value = digitsFrom == 1 ? -magnitude : magnitude;
  return true;
}

// The same for a value of at most eight digits, all at once: the game's
// values are that short, and a digit loop of unpredictable length costs more
// than the digits. Reads eight bytes from `text`, which `readable` must allow.
inline bool ShortWhole(std::string_view text, const char* readable, std::int64_t& value) {
  if constexpr (std::endian::native != std::endian::little) return false;
  if (text.empty() || text.size() > 8 || readable - text.data() < 8) return false;
  std::uint64_t word;
  std::memcpy(&word, text.data(), 8);
  const std::uint64_t keep = ~std::uint64_t{0} >> (8 * (8 - text.size()));
  word &= keep;
  constexpr std::uint64_t kNibbles = 0xF0F0F0F0F0F0F0F0u;
  const std::uint64_t zeros = 0x3030303030303030u & keep;
  // Every kept byte is 0x30-0x3F, and stays below 0x40 with 6 added: '0'-'9'.
  if ((word & kNibbles) != zeros || ((word + 0x0606060606060606u) & kNibbles) != zeros) return false;
  // The first digit is the lowest byte; moved up, the bytes below it are
  // leading zeros. Then pairs, fours and eights of digits are combined.
  word <<= 8 * (8 - text.size());
  word = ((word & 0x0F0F0F0F0F0F0F0Fu) * 2561) >> 8;
  word = ((word & 0x00FF00FF00FF00FFu) * 6553601) >> 16;
  value = static_cast<std::int64_t>(((word & 0x0000FFFF0000FFFFu) * 42949672960001u) >> 32);
  return true;
}

}  // namespace quillbox
