#pragma once
// Decoding the game's score file, which is always code page 932.
#include <stdexcept>
#include <string_view>

#include "base/Text.h"

namespace quillbox {

// A lead byte (0x81-0x9F, 0xE0-0xFC) followed by a trail byte (0x40-0x7E,
// 0x80-0xFC) is one unit, so its second byte is never read as '\' or a line end.
constexpr bool IsCp932Lead(unsigned char b) { return (b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC); }
constexpr bool IsCp932Trail(unsigned char b) { return (b >= 0x40 && b <= 0x7E) || (b >= 0x80 && b <= 0xFC); }

// The system has no converter for code page 932 (an iconv without the CP932
// table, a Windows without the code page).
class Cp932Unavailable : public std::runtime_error {
 public:
  Cp932Unavailable() : std::runtime_error("this system has no code page 932 (Shift_JIS) converter") {}
};

// Decodes code page 932 bytes with the platform's converter. Each unit that
// does not decode becomes one U+FFFD. Throws Cp932Unavailable.
Text DecodeCp932(std::string_view bytes);

}  // namespace quillbox
