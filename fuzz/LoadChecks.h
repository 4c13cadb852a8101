#pragma once
// What every fuzz target checks of loading: the songs found are the header
// lines of the raw bytes, titles are clean, and an error names its line and
// keeps the songs above it. A failed check aborts, which libFuzzer and the
// corpus replay both report.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

#include "scores/Cp932.h"
#include "scores/ScoreFile.h"

#define FUZZ_CHECK(condition)                                                                  \
  do {                                                                                         \
    if (!(condition)) {                                                                        \
      (void)std::fprintf(stderr, "%s:%d: check failed: %s\n", __FILE__, __LINE__, #condition); \
      std::abort();                                                                            \
    }                                                                                          \
  } while (false)

namespace quillbox::fuzz {

// The header lines the reader must find, counted on the raw bytes: a line
// (ended by CR, CR LF or LF) holding a 0x5C byte that is not the second byte
// of a lead/trail pair. Only lines before `lastLine` (1-based) count.
inline std::int64_t CountHeaderLines(std::string_view bytes, std::int64_t lastLine) {
  std::int64_t headers = 0;
  std::int64_t line = 1;
  bool hasBackslash = false;
  std::size_t i = 0;
  while (i < bytes.size() && line <= lastLine) {
    const auto b = static_cast<unsigned char>(bytes[i]);
    if (b == '\r' || b == '\n') {
      if (hasBackslash) ++headers;
      hasBackslash = false;
      ++line;
      i += (b == '\r' && i + 1 < bytes.size() && bytes[i + 1] == '\n') ? 2 : 1;
      continue;
    }
    if (i + 1 < bytes.size() && IsCp932Lead(b) && IsCp932Trail(static_cast<unsigned char>(bytes[i + 1]))) {
      i += 2;
      continue;
    }
    hasBackslash = hasBackslash || b == '\\';
    ++i;
  }
  if (hasBackslash && line <= lastLine) ++headers;
  return headers;
}

// Parses `bytes` and checks what holds of any result, table or error.
inline LoadResult ParseAndCheck(std::string_view bytes) {
  LoadResult result = ParseScoreFile(bytes);
  const Songs& songs = result.songs;
  FUZZ_CHECK(songs[0] == SongRecord{});
  for (const SongRecord& song : songs.All()) {
    FUZZ_CHECK(song.Title.find_first_of(u"\\\r\n") == Text::npos);
    FUZZ_CHECK(song.Title.find(u'\0') == Text::npos);  // it would cut the Windows text box
  }
  if (!result.error) {
    FUZZ_CHECK(songs.SongCount() == CountHeaderLines(bytes, INT64_MAX));
    return result;
  }
  const LoadError& error = *result.error;
  FUZZ_CHECK(error.kind != LoadErrorKind::FileError);
  FUZZ_CHECK(error.line >= 1);
  // The songs kept are those of the header lines above the failing line.
  FUZZ_CHECK(songs.SongCount() == CountHeaderLines(bytes, error.line - 1));
  const std::string message = DescribeLoadError(error);
  FUZZ_CHECK(!message.empty() && message.find_first_of("\r\n") == std::string::npos);
  FUZZ_CHECK(DescribeLoadError(error, NamedBy::Command).find(" -- ") != std::string::npos);
  // Each window's message of a bad line (start-up, drop, F5) names the line
  // and ends with the sentence that says what to do.
  const Text line = u"行：" + Decimal(error.line);
  for (const Text& ja : {DescribeLoadErrorJa(error), DescribeDropErrorJa(error), DescribeReloadErrorJa(error)}) {
    FUZZ_CHECK(ja.find(line) != Text::npos && !ja.empty() && ja.back() == u'。');
  }
  return result;
}

}  // namespace quillbox::fuzz
