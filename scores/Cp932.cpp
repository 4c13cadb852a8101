#include "scores/Cp932.h"

#include <algorithm>
#include <cerrno>
#include <vector>

#ifdef _WIN32
#include <windows.h>
#else
#include <iconv.h>
#endif

namespace quillbox {
namespace {

// Length of the unit that starts at `pos`: two bytes for a lead byte that
// has a trail byte after it, otherwise one.
std::size_t UnitLength(std::string_view bytes, std::size_t pos) {
  if (pos + 1 < bytes.size() && IsCp932Lead(static_cast<unsigned char>(bytes[pos])) &&
      IsCp932Trail(static_cast<unsigned char>(bytes[pos + 1]))) {
    return 2;
  }
  return 1;
}

// Single bytes that are no character of the Japanese set. The platforms'
// converters disagree on them (glibc gives nothing, Windows gives U+0080 and
// private-use code points), so they are settled here, before any converter
// sees them: each becomes U+FFFD, like every other byte without a character.
// None is a lead byte; 0x80 and 0xA0 can be trail bytes, which is why this
// is decided unit by unit.
constexpr bool IsUndefinedSingle(unsigned char b) { return b == 0x80 || b == 0xA0 || b >= 0xFD; }

// Appends the decoding of a run that ends on a unit boundary and holds no
// undefined single byte.
void DecodeRun(std::string_view bytes, Text& out);

}  // namespace

Text DecodeCp932(std::string_view bytes) {
  Text out;
  out.reserve(bytes.size());
  std::size_t start = 0;
  for (std::size_t pos = 0; pos < bytes.size();) {
    const std::size_t n = UnitLength(bytes, pos);
    if (n == 1 && IsUndefinedSingle(static_cast<unsigned char>(bytes[pos]))) {
      DecodeRun(bytes.substr(start, pos - start), out);
      out += u'\uFFFD';
      start = pos + 1;
    }
    pos += n;
  }
  DecodeRun(bytes.substr(start), out);
  return out;
}

namespace {

#ifdef _WIN32

// Converts a run that is known to be valid or a single unit; false when the
// converter rejects it.
bool Convert932(std::string_view bytes, Text& out) {
  if (bytes.empty()) return true;
  const int inLength = static_cast<int>(bytes.size());
  const int needed = MultiByteToWideChar(932, MB_ERR_INVALID_CHARS, bytes.data(), inLength, nullptr, 0);
  if (needed <= 0) return false;
  const std::size_t start = out.size();
  out.resize(start + static_cast<std::size_t>(needed));
  MultiByteToWideChar(932, MB_ERR_INVALID_CHARS, bytes.data(), inLength,
                      reinterpret_cast<wchar_t*>(out.data() + start), needed);
  return true;
}

void DecodeRun(std::string_view bytes, Text& out) {
  // Without the code page every character would silently become U+FFFD.
  static const bool available = IsValidCodePage(932) != 0;
  if (!available) throw Cp932Unavailable();
  // Fast path: the whole text at once. MultiByteToWideChar takes int sizes,
  // so very large inputs go unit by unit in chunks that end on a unit boundary.
  constexpr std::size_t kChunk = 1 << 20;
  std::size_t pos = 0;
  while (pos < bytes.size()) {
    std::size_t end = pos;
    while (end < bytes.size() && end - pos < kChunk) end += UnitLength(bytes, end);
    const std::string_view chunk = bytes.substr(pos, end - pos);
    if (!Convert932(chunk, out)) {
      for (std::size_t p = 0; p < chunk.size();) {
        const std::size_t n = UnitLength(chunk, p);
        if (!Convert932(chunk.substr(p, n), out)) out += u'\uFFFD';
        p += n;
      }
    }
    pos = end;
  }
}

#else

class Iconv {
 public:
  Iconv() : cd_(iconv_open("UTF-16LE", "CP932")) {
    if (cd_ == Failed()) cd_ = iconv_open("UTF-16LE", "WINDOWS-31J");
    if (cd_ == Failed()) throw Cp932Unavailable();
  }
  ~Iconv() { iconv_close(cd_); }
  Iconv(const Iconv&) = delete;
  Iconv& operator=(const Iconv&) = delete;
  iconv_t get() const { return cd_; }

 private:
  // iconv_open reports failure as (iconv_t)-1; the cast is its interface.
  static iconv_t Failed() { return reinterpret_cast<iconv_t>(-1); }  // NOLINT(performance-no-int-to-ptr)

  iconv_t cd_;
};

void DecodeRun(std::string_view bytes, Text& out) {
  if (bytes.empty()) return;
  static Iconv converter;  // the program is single-threaded
  iconv(converter.get(), nullptr, nullptr, nullptr, nullptr);

  // A bounded scratch buffer: a huge line must not cost twice its size again.
  std::vector<char> buffer(std::min<std::size_t>(bytes.size() * 2 + 16, 1 << 16));
  std::size_t pos = 0;
  while (pos < bytes.size()) {
    // iconv's interface is not const-correct; it does not write the input.
    char* in = const_cast<char*>(bytes.data() + pos);
    std::size_t inLeft = bytes.size() - pos;
    char* outPtr = buffer.data();
    std::size_t outLeft = buffer.size();
    const std::size_t rc = iconv(converter.get(), &in, &inLeft, &outPtr, &outLeft);
    const int error = errno;
    const std::size_t produced = (buffer.size() - outLeft) / 2;
    const std::size_t oldSize = out.size();
    out.resize(oldSize + produced);
    for (std::size_t i = 0; i < produced; ++i) {
      out[oldSize + i] = static_cast<char16_t>(static_cast<unsigned char>(buffer[2 * i]) |
                                               (static_cast<unsigned char>(buffer[2 * i + 1]) << 8));
    }
    pos = static_cast<std::size_t>(in - bytes.data());
    if (rc != static_cast<std::size_t>(-1)) break;
    if (error == E2BIG) continue;
    // EILSEQ or EINVAL: one replacement per bad unit, then go on after it.
    out += u'\uFFFD';
    pos += UnitLength(bytes, pos);
    iconv(converter.get(), nullptr, nullptr, nullptr, nullptr);
  }
}

#endif

}  // namespace

}  // namespace quillbox
