#include "core/ProgramDirectory.h"

#include <system_error>
#include <vector>

#ifdef _WIN32
#include <windows.h>
#elif defined(__APPLE__)
#include <mach-o/dyld.h>
#endif

namespace quillbox {

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
