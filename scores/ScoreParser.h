#pragma once
// The lines of a score file, block by block, into the song table: headers
// start songs, key lines fill their fields, and the first bad line stops it.
#include <cstddef>
#include <cstdint>
#include <string_view>
#include <utility>

#include "scores/ScoreFile.h"

namespace quillbox {

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
  LoadResult result_;
  SongRecord* song_ = nullptr;  // the last song added, which key lines fill
  std::int64_t lineNumber_ = 0;
};

// Enough room for the songs of a file of `fileSize` bytes that begins with
// `bytes`, so that the table is not copied while it grows; 0 when unsure.
std::size_t SongsToReserve(std::string_view bytes, std::uintmax_t fileSize);

}  // namespace quillbox
