#include "scores/ScoreFile.h"

#include <charconv>
#include <limits>
#include <string>
#include <system_error>

namespace quillbox {

double ReadValue(std::u16string_view text) {
  std::string digits;  // sign, integer digits, '.', fraction digits
  bool seenDigit = false;
  bool seenPoint = false;
  bool seenSign = false;
  bool negative = false;
  std::size_t integerDigits = 0;
  for (const char16_t c : text) {
    if (c == u' ' || c == u'\t' || c == u'\n') continue;
    if ((c == u'+' || c == u'-') && !seenSign && !seenDigit && !seenPoint) {
      seenSign = true;
      negative = c == u'-';
    } else if (c == u'.' && !seenPoint) {
      seenPoint = true;
      digits += '.';
    } else if (c >= u'0' && c <= u'9') {
      // Leading zeros carry nothing and would only lengthen the text.
      if (c == u'0' && !seenPoint && integerDigits == 0) {
        seenDigit = true;
        continue;
      }
      seenDigit = true;
      if (!seenPoint) ++integerDigits;
      digits += static_cast<char>(c);
    } else {
      break;
    }
  }
  if (!seenDigit) return 0.0;
  if (digits.empty() || digits.front() == '.') digits.insert(digits.begin(), '0');
  double value = 0.0;
  const auto [ptr, ec] = std::from_chars(digits.data(), digits.data() + digits.size(), value,
                                         std::chars_format::fixed);
  (void)ptr;
  if (ec == std::errc::result_out_of_range) {
    // Too large for a double, or so small that it is 0.
    value = integerDigits > 0 ? std::numeric_limits<double>::infinity() : 0.0;
  }
  return negative ? -value : value;
}

}  // namespace quillbox
