#pragma once
// Helpers shared by the unit and hostile-input tests.
#include <string>
#include <string_view>

#include "base/Text.h"
#include "scores/ScoreFile.h"

namespace quillbox::test {

// Score file bytes from UTF-8 test text: converted to code page 932 and
// with "\n" turned into CR LF, as the game writes it.
std::string Cp932File(std::string_view utf8Lines);

// Parses bytes and fails the test when loading stops with an error.
Songs MustParse(std::string_view bytes);

// Readable form of display text for failure messages: CR and LF shown as \r \n.
std::string Show(const Text& text);

Text U(std::string_view utf8);

}  // namespace quillbox::test
