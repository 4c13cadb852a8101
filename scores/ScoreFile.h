#pragma once
// Reading the game's score file hsc.ini into the song table.
#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

#include "scores/SongTable.h"

namespace quillbox {

enum class LoadErrorKind {
  FileError,        // missing, unreadable, not a file
  PartOutOfRange,   // part digit 9
  RankOutOfRange,   // rank digit 4 to 9
  ValueOutOfRange,  // rounded value outside its field
  NoTitle,          // header line that starts with the backslash
  TooMany,          // more lines or songs than a 32-bit count
  NoDecoder,        // the system cannot decode code page 932 at all
};

struct LoadError {
  LoadErrorKind kind = LoadErrorKind::FileError;
  std::filesystem::path path;  // empty when parsing bytes that came from elsewhere
  std::int64_t line = 0;       // 1-based; 0 for a file error
  Text lineText;               // the offending line as decoded
  std::string reason;          // English, for the report tool and logs
  Text reasonJa;               // Japanese, for the window's message box
};

struct LoadResult {
  Songs songs;
  std::optional<LoadError> error;  // loading stopped at this line
};

// Parses the bytes of a score file (code page 932). Takes every byte, NUL
// included; never touches the file system.
LoadResult ParseScoreFile(std::string_view bytes);

// Reads `file` whole, then parses it.
LoadResult LoadScoreFile(const std::filesystem::path& file);

// Reads a value text the way the game's own files are meant to be read:
// blanks, tabs and line feeds skipped anywhere, an optional sign, digits with
// at most one '.', stopping at the first other character. No number reads 0.
double ReadValue(std::u16string_view text);

// "PATH:LINE: reason: text", or "PATH: reason" for an error of the whole
// file (FileError, NoDecoder).
std::string DescribeLoadError(const LoadError& error);
// The same for a Japanese message box, one item a line.
Text DescribeLoadErrorJa(const LoadError& error);

}  // namespace quillbox
