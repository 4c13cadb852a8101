#pragma once
// Reading the game's score file hsc.ini, in blocks, into the song table.
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
inline constexpr int kLoadErrorKinds = static_cast<int>(LoadErrorKind::NoDecoder) + 1;

// What kept a FileError's file from being read; it decides the step a
// message tells the user to take next.
enum class FileProblem {
  None,              // not a FileError
  Missing,           // no such file (or folder on its path)
  InUse,             // another program holds it without sharing
  NoPermission,      // the user may not read it
  Folder,            // a folder where the file should be
  NotAFolderOnPath,  // a file where a folder of its path should be
  PathTooLong,
  LinkLoop,          // symbolic links that lead round in a circle
  ReadFailed,        // the disk failed while reading
  TooManyOpen,       // the process or the system has too many files open
  OutOfMemory,
  NotRegular,        // a device, a FIFO, a socket
  KeptChanging,      // rewritten while it was read, again and again
  NotScoreFile,      // holds a NUL byte or no song, where a score file was asked for
  Other,             // any other error of the system; its words are shown
};
inline constexpr int kFileProblems = static_cast<int>(FileProblem::Other) + 1;

struct LoadError {
  LoadErrorKind kind = LoadErrorKind::FileError;
  FileProblem problem = FileProblem::None;
  std::filesystem::path path;  // empty when parsing bytes that came from elsewhere
  std::int64_t line = 0;       // 1-based; 0 for a file error
  Text lineText;               // the offending line as decoded
  std::string reason;          // English, for the report tool and logs: what is wrong
  Text reasonJa;               // Japanese, for the window's message box
};

struct LoadResult {
  Songs songs;
  std::optional<LoadError> error;  // loading stopped at this line
};

// Parses the bytes of a score file (code page 932). Takes every byte, NUL
// included; never touches the file system.
LoadResult ParseScoreFile(std::string_view bytes);

// What a read asks of the file. At start-up hsc.ini is read as the game
// wrote it: an empty file or one of other lines is an empty table. A file the
// user dropped or named for comparing must be a score file: one with a NUL
// byte (a picture, an archive) or with no song (a note) is refused.
enum class LoadMode { StartUp, ScoreFileOnly };

// Reads `file` in blocks and parses each as it comes: the file is never
// held whole. A file that changed while it was read (the game saving it) is
// read again after a short wait, so that a half-written file is never taken
// for the whole; the one function every read of a score file goes through.
LoadResult LoadScoreFile(const std::filesystem::path& file, LoadMode mode = LoadMode::StartUp);

// Reads a value text the way the game's own files are meant to be read:
// blanks, tabs and line feeds skipped anywhere, an optional sign, digits with
// at most one '.', stopping at the first other character. No number reads 0.
double ReadValue(std::u16string_view text);

// Who named the file the report tool read: a missing file's next step may
// point to --file only where --file could have named another.
enum class NamedBy {
  FileOption,  // --file, or hsc.ini beside the program without it
  Command,     // compare, versus and history name their files themselves
};

// The one step that a user can take next for `error`: an English clause
// for the report tool's line, a Japanese sentence for the window.
std::string NextStep(const LoadError& error, NamedBy namedBy = NamedBy::FileOption);
Text NextStepJa(const LoadError& error);

// "PATH:LINE: reason: text -- next step", or "PATH: reason -- next step"
// for an error of the whole file (FileError, NoDecoder). One line.
std::string DescribeLoadError(const LoadError& error, NamedBy namedBy = NamedBy::FileOption);
// The same for a Japanese message box, one item a line, the next step last.
Text DescribeLoadErrorJa(const LoadError& error);
// The same for a file dropped on the window: its next step is about that
// file and ends in dropping it again, never in a restart.
Text NextStepForDropJa(const LoadError& error);
Text DescribeDropErrorJa(const LoadError& error);
// The same for hsc.ini read again with F5: the window keeps its table and
// the next step ends in pressing F5 again.
Text NextStepForReloadJa(const LoadError& error);
Text DescribeReloadErrorJa(const LoadError& error);

}  // namespace quillbox
