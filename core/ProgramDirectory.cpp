#include "core/ProgramDirectory.h"

#include <system_error>
#include <vector>

#ifdef _WIN32
#include <windows.h>
// windows.h first: the shell headers build on it.
#include <knownfolders.h>
#include <shlobj.h>
#elif defined(__APPLE__)
#include <mach-o/dyld.h>
#endif

namespace quillbox {
namespace {

wchar_t FoldCase(wchar_t c) { return c >= L'a' && c <= L'z' ? static_cast<wchar_t>(c - L'a' + L'A') : c; }

bool SameText(std::wstring_view a, std::wstring_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    if (FoldCase(a[i]) != FoldCase(b[i])) return false;
  }
  return true;
}

// "X:\folder\..." with backslashes only, without a \\?\ prefix and without a
// trailing separator (but "X:\" for a root); none for anything not on a
// drive letter: UNC shares, \\?\UNC\, device paths, relative paths.
std::optional<std::wstring> DriveLetterPath(std::wstring_view path) {
  std::wstring p(path);
  for (wchar_t& c : p) {
    if (c == L'/') c = L'\\';
  }
  if (p.rfind(L"\\\\?\\", 0) == 0) p.erase(0, 4);
  const bool letter = !p.empty() && ((p[0] >= L'A' && p[0] <= L'Z') || (p[0] >= L'a' && p[0] <= L'z'));
  if (p.size() < 3 || !letter || p[1] != L':' || p[2] != L'\\') return std::nullopt;
  while (p.size() > 3 && p.back() == L'\\') p.pop_back();
  return p;
}

// Whether `path` is `root` or lies inside it; both as DriveLetterPath gives them.
bool IsUnder(const std::wstring& path, const std::wstring& root) {
  if (path.size() < root.size() || !SameText(std::wstring_view(path).substr(0, root.size()), root))
    return false;
  return path.size() == root.size() || root.back() == L'\\' || path[root.size()] == L'\\';
}

#ifdef _WIN32
std::wstring EnvironmentValue(const wchar_t* name) {
  std::vector<wchar_t> buffer(MAX_PATH);
  for (;;) {
    const DWORD n = GetEnvironmentVariableW(name, buffer.data(), static_cast<DWORD>(buffer.size()));
    if (n == 0) return {};
    if (n < buffer.size()) return std::wstring(buffer.data(), n);
    buffer.resize(n);
  }
}

// The system's own answer first; the environment only where it has none.
std::wstring KnownFolder(REFKNOWNFOLDERID id, const wchar_t* variable) {
  PWSTR path = nullptr;
  std::wstring result;
  if (SUCCEEDED(SHGetKnownFolderPath(id, KF_FLAG_DONT_VERIFY, nullptr, &path)) && path != nullptr)
    result = path;
  CoTaskMemFree(path);
  return result.empty() ? EnvironmentValue(variable) : result;
}

VirtualStorePlaces PlacesFromSystem() {
  VirtualStorePlaces places;
  places.localAppData = KnownFolder(FOLDERID_LocalAppData, L"LOCALAPPDATA");
  places.userProfile = KnownFolder(FOLDERID_Profile, L"USERPROFILE");
  places.protectedRoots = {KnownFolder(FOLDERID_ProgramFiles, L"ProgramFiles"),
                           KnownFolder(FOLDERID_ProgramFilesX86, L"ProgramFiles(x86)"),
                           KnownFolder(FOLDERID_Windows, L"windir"),
                           KnownFolder(FOLDERID_ProgramData, L"ProgramData")};
  return places;
}
#endif

}  // namespace

std::optional<std::wstring> VirtualStoreScoreFile(std::wstring_view programDirectory,
                                                  const VirtualStorePlaces& places) {
  const auto directory = DriveLetterPath(programDirectory);
  const auto localAppData = DriveLetterPath(places.localAppData);
  if (!directory || !localAppData) return std::nullopt;
  // The user's own folders are never virtualized.
  for (const std::wstring* own : {&places.localAppData, &places.userProfile}) {
    const auto root = DriveLetterPath(*own);
    if (root && IsUnder(*directory, *root)) return std::nullopt;
  }
  bool isProtected = false;
  for (const std::wstring& protectedRoot : places.protectedRoots) {
    const auto root = DriveLetterPath(protectedRoot);
    isProtected = isProtected || (root && IsUnder(*directory, *root));
  }
  if (!isProtected) return std::nullopt;
  // The folder's path without its drive, "\\Program Files (x86)\\dori-fen".
  std::wstring file = *localAppData;
  if (file.back() != L'\\') file += L'\\';
  file += L"VirtualStore";
  file += directory->substr(2);
  if (file.back() != L'\\') file += L'\\';
  file += L"hsc.ini";
  return file;
}

std::filesystem::path ScoreFileFor(const std::filesystem::path& programDirectory) {
#ifdef _WIN32
  if (const auto copy = VirtualStoreScoreFile(programDirectory.wstring(), PlacesFromSystem())) {
    std::error_code ec;
    if (std::filesystem::exists(*copy, ec)) return std::filesystem::path(*copy);
  }
#endif
  return programDirectory / "hsc.ini";
}

std::filesystem::path ProgramDirectoryFromSystem(const char* argv0) {
#ifdef _WIN32
  (void)argv0;
  // Grow the buffer: the path may be long and may hold any characters.
  std::vector<wchar_t> buffer(MAX_PATH);
  for (;;) {
    const DWORD n = GetModuleFileNameW(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
    if (n == 0) return std::filesystem::current_path();
    if (n < buffer.size()) return std::filesystem::path(std::wstring(buffer.data(), n)).parent_path();
    buffer.resize(buffer.size() * 2);
  }
#else
  std::error_code ec;
#if defined(__APPLE__)
  std::uint32_t size = 0;
  _NSGetExecutablePath(nullptr, &size);
  std::vector<char> buffer(size + 1);
  if (_NSGetExecutablePath(buffer.data(), &size) == 0) {
    const auto resolved = std::filesystem::weakly_canonical(buffer.data(), ec);
    if (!ec) return resolved.parent_path();
  }
#else
  const auto self = std::filesystem::read_symlink("/proc/self/exe", ec);
  if (!ec) return self.parent_path();
#endif
  if (argv0 != nullptr) {
    const auto resolved = std::filesystem::absolute(argv0, ec);
    if (!ec) return resolved.parent_path();
  }
  return std::filesystem::current_path();
#endif
}

}  // namespace quillbox
