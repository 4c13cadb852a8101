#pragma once
#include <filesystem>

namespace quillbox {

// The directory that holds the running program; `argv0` is the fallback
// where the system cannot tell.
std::filesystem::path ProgramDirectoryFromSystem(const char* argv0 = nullptr);

}  // namespace quillbox
