#pragma once
// The open score file as the reader sees it, and how long the reader waits
// for a file that is being written: seams, so that a file that changes under
// the reader can be tried without timing a real one.
#include <chrono>
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <optional>
#include <vector>

#include "scores/ScoreFile.h"

namespace quillbox {

// A file's size and modification time, as its open handle tells them.
struct FileStamp {
  std::uint64_t size = 0;
  std::int64_t seconds = 0;      // since 1970-01-01 00:00 UTC
  std::int64_t nanoseconds = 0;  // within that second
  friend bool operator==(const FileStamp&, const FileStamp&) = default;
};

class ScoreSource {
 public:
  virtual ~ScoreSource() = default;
  // Opens the file for one reading. An error here is final: a missing file
  // does not appear by waiting.
  virtual std::optional<LoadError> Open() = 0;
  // False with the system's error number (errno's values) when it failed.
  virtual bool Stamp(FileStamp& stamp, int& error) = 0;
  // Up to `size` bytes into `into`; `got` is 0 at the end of the file.
  virtual bool Read(char* into, std::size_t size, std::size_t& got, int& error) = 0;
  virtual void Close() = 0;
};

struct RereadPolicy {
  // The waits before each further reading of a file that changed: within
  // about a second in all, long enough for a game to finish saving.
  std::vector<std::chrono::milliseconds> waits{std::chrono::milliseconds(25), std::chrono::milliseconds(50),
                                               std::chrono::milliseconds(100), std::chrono::milliseconds(150),
                                               std::chrono::milliseconds(250), std::chrono::milliseconds(400)};
  // A file written this recently may be between two of its writer's
  // pieces; its stamp is looked at again once it is this old.
  std::chrono::milliseconds settle{20};
  std::function<void(std::chrono::milliseconds)> sleep;           // empty: the real sleep
  std::function<std::chrono::system_clock::time_point()> now;     // empty: the real clock
};

// Reads `source`, named `file` in messages, as LoadScoreFile does.
LoadResult LoadScoreSource(ScoreSource& source, const std::filesystem::path& file, LoadMode mode,
                           const RereadPolicy& policy);

}  // namespace quillbox
