#pragma once
// The lines of a score file, block by block, into the song table: headers
// start songs, key lines fill their fields, and the first bad line stops it.
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <utility>

#include "scores/ScoreFile.h"

namespace quillbox {

struct KeyField;  // a key's field: its bounds and names
struct KeyIndex;  // a part or rank digit: its bounds and names

class ScoreParser {
 public:
  void Reserve(std::size_t songs);

  // Handles every whole line in [p, end) and returns where the first line
  // that may go on in the next block starts; with `last`, every line is
  // whole. Stops at the first error.
  const char* Lines(const char* p, const char* end, bool last);

  bool Failed() const { return result_.error.has_value(); }
  LoadResult Result() { return std::move(result_); }

 private:
  template <typename Char>
  using Line = std::basic_string_view<Char>;

  template <typename Char>
  void HandleLine(Line<Char> line, bool hasBackslash);
  template <typename Char>
  std::optional<std::size_t> Index(Line<Char> line, std::size_t pos, const KeyIndex& range);
  template <typename Char, typename T>
  void Store(Line<Char> line, std::size_t valuePos1, const KeyField& field, T& target);
  template <typename Char>
  void FailRange(Line<Char> line, const KeyField& field);
  template <typename Char>
  void Fail(LoadErrorKind kind, Line<Char> line, std::string reason, Text reasonJa);

  LoadResult result_;
  SongRecord* song_ = nullptr;  // the last song added, which key lines fill
  const char* blockEnd_ = nullptr;  // where the bytes being read end
  std::int64_t lineNumber_ = 0;
};

// Enough room for the songs of a file of `fileSize` bytes that begins with
// `bytes`, so that the table is not copied while it grows; 0 when unsure.
std::size_t SongsToReserve(std::string_view bytes, std::uintmax_t fileSize);

}  // namespace quillbox
