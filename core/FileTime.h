#pragma once
#include <filesystem>
#include <optional>

#include "base/Text.h"

namespace quillbox {

// A file's modification time in local time, "YYYY-MM-DD HH:MM" (seconds
// dropped), the same on Windows and elsewhere; nullopt when it cannot be read.
std::optional<Text> ModifiedText(const std::filesystem::path& path);

}  // namespace quillbox
