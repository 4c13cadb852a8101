#include "tests/support/TestUtil.h"

#include <gtest/gtest.h>

#ifdef _WIN32
#include <windows.h>
#else
#include <iconv.h>
#endif

#include <stdexcept>
#include <vector>

namespace quillbox::test {

std::string Cp932File(std::string_view utf8Lines) {
  std::string crlf;
  for (char c : utf8Lines) {
    if (c == '\n') crlf += "\r\n";
    else crlf += c;
  }
#ifdef _WIN32
  const Text wide = FromUtf8(crlf);
  if (wide.empty()) return {};
  const auto* w = reinterpret_cast<const wchar_t*>(wide.data());
  const int n = WideCharToMultiByte(932, 0, w, static_cast<int>(wide.size()), nullptr, 0, nullptr, nullptr);
  std::string out(static_cast<std::size_t>(n), '\0');
  WideCharToMultiByte(932, 0, w, static_cast<int>(wide.size()), out.data(), n, nullptr, nullptr);
  return out;
#else
  iconv_t cd = iconv_open("CP932", "UTF-8");
  // iconv_open reports failure as (iconv_t)-1; the cast is its interface.
  if (cd == reinterpret_cast<iconv_t>(-1)) throw std::runtime_error("no CP932 encoder");  // NOLINT(performance-no-int-to-ptr)
  std::vector<char> out(crlf.size() * 2 + 8);
  char* in = crlf.data();
  std::size_t inLeft = crlf.size();
  char* outPtr = out.data();
  std::size_t outLeft = out.size();
  const std::size_t rc = iconv(cd, &in, &inLeft, &outPtr, &outLeft);
  iconv_close(cd);
  if (rc == static_cast<std::size_t>(-1)) throw std::runtime_error("text not encodable in CP932");
  return std::string(out.data(), out.size() - outLeft);
#endif
}

Songs MustParse(std::string_view bytes) {
  LoadResult result = ParseScoreFile(bytes);
  EXPECT_FALSE(result.error.has_value()) << (result.error ? DescribeLoadError(*result.error) : "");
  return std::move(result.songs);
}

std::string Show(const Text& text) {
  std::string out;
  for (char c : ToUtf8(text)) {
    if (c == '\r') out += "\\r";
    else if (c == '\n') out += "\\n\n";
    else out += c;
  }
  return out;
}

Text U(std::string_view utf8) { return FromUtf8(utf8); }

}  // namespace quillbox::test
