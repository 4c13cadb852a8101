#include "render/Language.h"

#include "base/Text.h"

namespace quillbox {

Text Fill(std::u16string_view pattern, std::initializer_list<std::u16string_view> values) {
  Text out;
  const auto* next = values.begin();
  for (const char16_t c : pattern) {
    if (c == u'%' && next != values.end()) {
      out += *next++;
    } else {
      out += c;
    }
  }
  return out;
}

Text Counted(std::int64_t n, std::u16string_view one, std::u16string_view many) {
  return Fill(n == 1 ? one : many, {Decimal(n)});
}

}  // namespace quillbox
