#pragma once
// A small tokenizer of the history page, strict where a browser forgives:
// every '<' opens or closes a tag (or is the doctype), every attribute value
// is in double quotes, every '&' begins one of the entities the page writes,
// and no '>' stands alone in text. The style sheet is taken as raw text.
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace quillbox::fuzz {

struct PageTag {
  std::u16string name;
  bool closing = false;
  std::vector<std::pair<std::u16string, std::u16string>> attributes;

  const std::u16string* Attribute(std::u16string_view attribute) const {
    for (const auto& [key, value] : attributes)
      if (key == attribute) return &value;
    return nullptr;
  }
};

namespace page_detail {

inline bool IsNameChar(char16_t c) {
  return (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z') || (c >= u'0' && c <= u'9') || c == u'-';
}

// At an '&': the length of the entity there, or 0.
inline std::size_t EntityAt(std::u16string_view text, std::size_t i) {
  for (const std::u16string_view entity : {u"&amp;", u"&lt;", u"&gt;", u"&quot;"}) {
    if (text.substr(i, entity.size()) == entity) return entity.size();
  }
  return 0;
}

}  // namespace page_detail

// The page's tags in order; false at the first place that breaks the rules.
inline bool TokenizePage(std::u16string_view page, std::vector<PageTag>& tags) {
  using page_detail::EntityAt;
  using page_detail::IsNameChar;
  constexpr std::u16string_view kDoctype = u"<!DOCTYPE html>";
  std::size_t i = 0;
  const auto skipBlanks = [&] {
    while (i < page.size() && (page[i] == u' ' || page[i] == u'\n')) ++i;
  };
  const auto name = [&] {
    const std::size_t start = i;
    while (i < page.size() && IsNameChar(page[i])) ++i;
    return std::u16string(page.substr(start, i - start));
  };
  while (i < page.size()) {
    const char16_t c = page[i];
    if (c == u'&') {
      const std::size_t length = EntityAt(page, i);
      if (length == 0) return false;
      i += length;
      continue;
    }
    if (c == u'>') return false;
    if (c != u'<') {
      ++i;
      continue;
    }
    if (page.substr(i, kDoctype.size()) == kDoctype) {
      i += kDoctype.size();
      continue;
    }
    PageTag tag;
    ++i;
    if (i < page.size() && page[i] == u'/') {
      tag.closing = true;
      ++i;
    }
    tag.name = name();
    if (tag.name.empty()) return false;
    for (;;) {
      skipBlanks();
      if (i < page.size() && page[i] == u'>') {
        ++i;
        break;
      }
      if (!tag.closing && page.substr(i, 2) == u"/>") {
        i += 2;
        break;
      }
      std::u16string key = name();
      if (tag.closing || key.empty() || page.substr(i, 2) != u"=\"") return false;
      i += 2;
      std::u16string value;
      for (; i < page.size() && page[i] != u'"'; ++i) {
        if (page[i] == u'<' || page[i] == u'>') return false;
        if (page[i] == u'&' && EntityAt(page, i) == 0) return false;
        value += page[i];
      }
      if (i == page.size()) return false;
      ++i;
      tag.attributes.emplace_back(std::move(key), std::move(value));
    }
    if (tag.name == u"style" && !tag.closing) {
      const std::size_t end = page.find(u"</style>", i);
      if (end == std::u16string_view::npos || page.substr(i, end - i).find(u'<') != std::u16string_view::npos)
        return false;
      i = end;
    }
    tags.push_back(std::move(tag));
  }
  return true;
}

}  // namespace quillbox::fuzz
