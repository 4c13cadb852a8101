#include "render/Html.h"

#include <cmath>
#include <cstdint>

namespace quillbox {

void AppendHtml(Text& out, std::u16string_view text) {
  for (const char16_t c : text) {
    switch (c) {
      case u'&': out += u"&amp;"; break;
      case u'<': out += u"&lt;"; break;
      case u'>': out += u"&gt;"; break;
      case u'"': out += u"&quot;"; break;
      default:
        // Control characters have no place in a page; a title may hold them.
        out += c < 0x20 && c != u'\t' ? u'\uFFFD' : c;
    }
  }
}

Text Html(std::u16string_view text) {
  Text out;
  AppendHtml(out, text);
  return out;
}

void Append(Text& out, std::initializer_list<std::u16string_view> pieces) {
  for (const std::u16string_view piece : pieces) out += piece;
}

Text Fixed(double value) {
  const std::int64_t tenths = std::llround(value * 10);
  const std::int64_t whole = tenths / 10;
  const std::int64_t tenth = tenths % 10;
  Text out = tenths < 0 && whole == 0 ? Text(u"-") : Text();
  out += Decimal(whole);
  if (tenth != 0) {
    out += u'.';
    out += Decimal(tenth < 0 ? -tenth : tenth);
  }
  return out;
}

}  // namespace quillbox
