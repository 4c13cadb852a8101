#pragma once
// What the page's writers share: escaping for HTML and the numbers of SVG
// coordinates.
#include <initializer_list>
#include <string_view>

#include "base/Text.h"

namespace quillbox {

// `text` escaped for an element or a quoted attribute.
void AppendHtml(Text& out, std::u16string_view text);
Text Html(std::u16string_view text);

void Append(Text& out, std::initializer_list<std::u16string_view> pieces);

// One decimal, as SVG coordinates are written: the same digits on every platform.
Text Fixed(double value);

}  // namespace quillbox
