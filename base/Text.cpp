#include "base/Text.h"

namespace quillbox {

namespace {

// Writes the decimal digits of `value` to the end of `buffer` and returns
// where they start. Built from the unsigned magnitude so that INT64_MIN is
// handled too.
constexpr std::size_t kDecimalRoom = 24;
std::size_t WriteDecimal(std::int64_t value, char16_t (&buffer)[kDecimalRoom]) {
  const bool negative = value < 0;
  std::uint64_t magnitude =
      negative ? 0 - static_cast<std::uint64_t>(value) : static_cast<std::uint64_t>(value);
  std::size_t pos = kDecimalRoom;
  do {
    buffer[--pos] = static_cast<char16_t>(u'0' + magnitude % 10);
    magnitude /= 10;
  } while (magnitude != 0);
  if (negative) buffer[--pos] = u'-';
  return pos;
}

}  // namespace

Text Decimal(std::int64_t value) {
  char16_t buffer[kDecimalRoom];
  const std::size_t pos = WriteDecimal(value, buffer);
  return Text(buffer + pos, buffer + kDecimalRoom);
}

Text PadLeft(std::int64_t value, std::size_t width) {
  Text out;
  AppendPadLeft(out, value, width);
  return out;
}

void AppendPadLeft(Text& out, std::int64_t value, std::size_t width) {
  char16_t buffer[kDecimalRoom];
  const std::size_t pos = WriteDecimal(value, buffer);
  const std::size_t length = kDecimalRoom - pos;
  if (length < width) out.append(width - length, u' ');
  out.append(buffer + pos, length);
}

namespace {

// The code point that starts at text[i]; `i` moves past a surrogate pair.
char32_t CodePointAt(std::u16string_view text, std::size_t& i) {
  char32_t c = text[i];
  if (c >= 0xD800 && c <= 0xDBFF && i + 1 < text.size() && text[i + 1] >= 0xDC00 && text[i + 1] <= 0xDFFF) {
    c = 0x10000 + ((c - 0xD800) << 10) + (text[i + 1] - 0xDC00);
    ++i;
  } else if (c >= 0xD800 && c <= 0xDFFF) {
    c = 0xFFFD;
  }
  return c;
}

std::size_t Utf8Length(char32_t c) { return c < 0x80 ? 1 : c < 0x800 ? 2 : c < 0x10000 ? 3 : 4; }

// Eight characters at a time where they are all ASCII, as nearly all of a
// chart or an export is: a fixed count with no early exit, which compilers
// turn into vector instructions.
constexpr std::size_t kAsciiRun = 8;
bool AsciiRun(const char16_t* units) {
  char16_t seen = 0;
  for (std::size_t k = 0; k < kAsciiRun; ++k) seen |= units[k];
  return seen < 0x80;
}

}  // namespace

std::string ToUtf8(std::u16string_view text) {
  // Sized exactly by a first pass: a chart of a huge table is mostly ASCII,
  // and three bytes a character would waste twice its size. The bytes are
  // then written in place; appending them one by one costs more than the
  // rest (an export of a large table runs to a hundred million characters).
  std::size_t length = 0;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (i + kAsciiRun <= text.size() && AsciiRun(text.data() + i)) {
      length += kAsciiRun;
      i += kAsciiRun - 1;
    } else {
      length += Utf8Length(CodePointAt(text, i));
    }
  }
  std::string out(length, '\0');
  char* p = out.data();
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (i + kAsciiRun <= text.size() && AsciiRun(text.data() + i)) {
      for (std::size_t k = 0; k < kAsciiRun; ++k) p[k] = static_cast<char>(text[i + k]);
      p += kAsciiRun;
      i += kAsciiRun - 1;
      continue;
    }
    const char32_t c = CodePointAt(text, i);
    if (c < 0x80) {
      *p++ = static_cast<char>(c);
    } else if (c < 0x800) {
      *p++ = static_cast<char>(0xC0 | (c >> 6));
      *p++ = static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
      *p++ = static_cast<char>(0xE0 | (c >> 12));
      *p++ = static_cast<char>(0x80 | ((c >> 6) & 0x3F));
      *p++ = static_cast<char>(0x80 | (c & 0x3F));
    } else {
      *p++ = static_cast<char>(0xF0 | (c >> 18));
      *p++ = static_cast<char>(0x80 | ((c >> 12) & 0x3F));
      *p++ = static_cast<char>(0x80 | ((c >> 6) & 0x3F));
      *p++ = static_cast<char>(0x80 | (c & 0x3F));
    }
  }
  return out;
}

Text FromUtf8(std::string_view text) {
  Text out;
  out.reserve(text.size());
  std::size_t i = 0;
  while (i < text.size()) {
    const auto lead = static_cast<unsigned char>(text[i]);
    int extra = 0;
    char32_t c = 0;
    if (lead < 0x80) {
      c = lead;
    } else if ((lead & 0xE0) == 0xC0) {
      extra = 1;
      c = lead & 0x1F;
    } else if ((lead & 0xF0) == 0xE0) {
      extra = 2;
      c = lead & 0x0F;
    } else if ((lead & 0xF8) == 0xF0) {
      extra = 3;
      c = lead & 0x07;
    } else {
      out += u'\uFFFD';
      ++i;
      continue;
    }
    bool ok = i + static_cast<std::size_t>(extra) < text.size();
    for (int k = 1; ok && k <= extra; ++k) {
      const auto b = static_cast<unsigned char>(text[i + static_cast<std::size_t>(k)]);
      if ((b & 0xC0) != 0x80)
        ok = false;
      else
        c = (c << 6) | (b & 0x3F);
    }
    // An overlong form (C0 AF for '/') would let a character slip past
    // checks made on the bytes; only the shortest form counts.
    constexpr char32_t kShortest[] = {0, 0x80, 0x800, 0x10000};
    if (!ok || c < kShortest[extra] || c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF)) {
      out += u'\uFFFD';
      ++i;
      continue;
    }
    i += static_cast<std::size_t>(extra) + 1;
    if (c >= 0x10000) {
      c -= 0x10000;
      out += static_cast<char16_t>(0xD800 + (c >> 10));
      out += static_cast<char16_t>(0xDC00 + (c & 0x3FF));
    } else {
      out += static_cast<char16_t>(c);
    }
  }
  return out;
}

void AppendJsonString(Text& out, std::u16string_view text) {
  using namespace std::string_view_literals;
  constexpr char16_t kHex[] = u"0123456789abcdef";
  // Runs of characters that need no escape go in whole: most titles are one.
  std::size_t from = 0;
  for (std::size_t i = 0; i < text.size(); ++i) {
    const char16_t c = text[i];
    if (c >= 0x20 && c != u'"' && c != u'\\') continue;
    out += text.substr(from, i - from);
    from = i + 1;
    switch (c) {
      case u'"': out += u"\\\""sv; break;
      case u'\\': out += u"\\\\"sv; break;
      case u'\b': out += u"\\b"sv; break;
      case u'\f': out += u"\\f"sv; break;
      case u'\n': out += u"\\n"sv; break;
      case u'\r': out += u"\\r"sv; break;
      case u'\t': out += u"\\t"sv; break;
      default:
        out += u"\\u00"sv;
        out += kHex[c >> 4];
        out += kHex[c & 0xF];
    }
  }
  out += text.substr(from);
}

Text ShownOnTerminal(std::u16string_view text) {
  Text shown(text);
  for (char16_t& c : shown) {
    const bool control = c < 0x20 || (c >= 0x80 && c <= 0x9F);
    if (control && c != u'\r' && c != u'\n' && c != u'\t') c = u'\uFFFD';
  }
  return shown;
}

}  // namespace quillbox
