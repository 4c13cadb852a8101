#pragma once
// What a load error says: the file problems the reader meets, and the
// messages with their next steps (declared in ScoreFile.h).
#include <cstddef>
#include <filesystem>
#include <string>

#include "scores/ScoreFile.h"

namespace quillbox {

// Messages show this much of an offending line; an error keeps one character
// more, to tell that the line went on.
inline constexpr std::size_t kMaxShown = 200;

// An error of the whole `file`, before or while its bytes are read.
LoadError FileLoadError(const std::filesystem::path& file, FileProblem problem, std::string reason, Text reasonJa);
// The same for a system error number (errno's values, on Windows too).
LoadError FileLoadError(const std::filesystem::path& file, int code);

}  // namespace quillbox
