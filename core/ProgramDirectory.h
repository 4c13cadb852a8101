#pragma once
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace quillbox {

// The directory that holds the running program; `argv0` is the fallback
// where the system cannot tell.
std::filesystem::path ProgramDirectoryFromSystem(const char* argv0 = nullptr);

// Where Windows keeps the writes of an old program (32-bit, no manifest) run
// as a standard user into a protected folder. The game is such a program;
// quillbox is not, so Windows never sends its reads there on its behalf.
struct VirtualStorePlaces {
  std::wstring localAppData;                 // %LOCALAPPDATA%
  std::wstring userProfile;                  // %USERPROFILE%
  std::vector<std::wstring> protectedRoots;  // Program Files, Program Files (x86), Windows, ProgramData
};

// The virtual-store copy of hsc.ini for a program in `programDirectory`, or
// none when Windows would not virtualize that folder: not on a drive letter
// (UNC), outside the protected roots, or already under the user's profile.
// Only looks at the strings; names compare without regard to case.
std::optional<std::wstring> VirtualStoreScoreFile(std::wstring_view programDirectory,
                                                  const VirtualStorePlaces& places);

// The hsc.ini the game reads for a program in `programDirectory`: on Windows
// the virtual-store copy when there is one, else the file beside the program.
std::filesystem::path ScoreFileFor(const std::filesystem::path& programDirectory);

}  // namespace quillbox
