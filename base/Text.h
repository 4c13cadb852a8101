#pragma once
// The display text type and its helpers: decimal writing, UTF conversions.
#include <cstdint>
#include <string>
#include <string_view>

namespace quillbox {

// Display text is 16-bit, as on the Windows desktop the tool was designed for.
using Text = std::u16string;

// Plain decimal: no padding, '-' for negatives, no grouping.
Text Decimal(std::int64_t value);

// `value` in decimal, right-aligned in `width` columns; wider numbers are
// written whole rather than cut.
Text PadLeft(std::int64_t value, std::size_t width);
// The same, appended to `out` without a text of its own: charts write
// hundreds of thousands of cells.
void AppendPadLeft(Text& out, std::int64_t value, std::size_t width);

// `text` as the contents of a JSON string, without the quotes: '"' and '\'
// escaped, control characters as \b \f \n \r \t or \u00XX, the rest as is.
void AppendJsonString(Text& out, std::u16string_view text);

// Text for a terminal: a score file's title is a friend's bytes, and a
// control among them would drive the terminal (ESC ] retitles the window or
// sets the clipboard, ESC [ 2 J clears it). Every C0 and C1 control shows as
// U+FFFD, but for the line ends and the tab that TSV export is made of.
Text ShownOnTerminal(std::u16string_view text);

// UTF-16 to UTF-8; an unpaired surrogate becomes U+FFFD.
std::string ToUtf8(std::u16string_view text);
// UTF-8 to UTF-16 (for ASCII and our own literals); bad bytes become U+FFFD.
Text FromUtf8(std::string_view text);

}  // namespace quillbox
