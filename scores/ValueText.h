#pragma once
// Reading a key line's value text. ReadValue (ScoreFile.h) reads any text;
// the plain whole numbers the game itself writes take the short way here.
#include <cstddef>
#include <cstdint>
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

}  // namespace quillbox
