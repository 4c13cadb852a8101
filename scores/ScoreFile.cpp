#include "scores/ScoreFile.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <memory>
#include <new>
#include <system_error>
#include <utility>
#include <vector>

#include "scores/LoadMessages.h"
#include "scores/ScoreParser.h"

#ifdef _WIN32
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <fcntl.h>
#include <io.h>
#include <windows.h>
#else
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

// Opening the score file on each system and reading it in blocks, each
// handed to the parser as it comes.
namespace quillbox {

LoadResult LoadScoreFile(const std::filesystem::path& file) {
  auto fileError = [&](FileProblem problem, std::string reason, Text reasonJa) {
    return LoadResult{{}, FileLoadError(file, problem, std::move(reason), std::move(reasonJa))};
  };
  auto errnoError = [&](int code) { return LoadResult{{}, FileLoadError(file, code)}; };

#ifdef _WIN32
  // A game folder can lie deeper than MAX_PATH; the \\?\ form lifts that limit.
  // (Normalising would turn an existing \\?\ or \\server prefix into a plain root.)
  std::wstring name = file.wstring().rfind(LR"(\\)", 0) == 0 ? file.wstring() : file.lexically_normal().wstring();
  if (name.size() >= MAX_PATH && file.is_absolute() && name.rfind(LR"(\\)", 0) != 0) {
    name.insert(0, LR"(\\?\)");
  } else if (name.size() >= MAX_PATH && name.rfind(LR"(\\)", 0) == 0 && name.rfind(LR"(\\?\)", 0) != 0) {
    name.replace(0, 2, LR"(\\?\UNC\)");
  }
  const std::filesystem::path target(name);
#endif

  // Only a regular file is sure to end: opening a FIFO waits for a writer,
  // and a device such as /dev/zero would be read until memory runs out.
  auto notRegular = [&] {
    return fileError(FileProblem::NotRegular, "Not a regular file", u"通常のファイルではありません");
  };

#ifdef _WIN32
  std::error_code ec;
  const std::filesystem::file_status status = std::filesystem::status(target, ec);
  if (std::filesystem::is_directory(status)) return errnoError(EISDIR);
  if (std::filesystem::exists(status) && !std::filesystem::is_regular_file(status)) return notRegular();
  // CreateFileW takes the \\?\ form; the C runtime's _wfopen does not.
  const HANDLE os = CreateFileW(name.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (os == INVALID_HANDLE_VALUE) {
    switch (GetLastError()) {
      case ERROR_FILE_NOT_FOUND:
      case ERROR_PATH_NOT_FOUND:
      case ERROR_BAD_NETPATH:
      case ERROR_BAD_NET_NAME: return errnoError(ENOENT);
      case ERROR_ACCESS_DENIED: return errnoError(EACCES);
      case ERROR_FILENAME_EXCED_RANGE: return errnoError(ENAMETOOLONG);
      case ERROR_CANT_RESOLVE_FILENAME: return errnoError(ELOOP);
      case ERROR_TOO_MANY_OPEN_FILES: return errnoError(EMFILE);
      case ERROR_NOT_ENOUGH_MEMORY:
      case ERROR_OUTOFMEMORY: return errnoError(ENOMEM);
      // Another program holding the file is something the user can wait out
      // or close, not a missing permission.
      case ERROR_SHARING_VIOLATION:
      case ERROR_LOCK_VIOLATION:
        return fileError(FileProblem::InUse, "the file is in use by another program",
                         u"ほかのプログラムがファイルを使用中です");
      default: return errnoError(EIO);
    }
  }
  const int fd = _open_osfhandle(reinterpret_cast<intptr_t>(os), _O_RDONLY | _O_BINARY);
  std::FILE* raw = fd == -1 ? nullptr : _fdopen(fd, "rb");
  if (raw == nullptr) {
    if (fd == -1) CloseHandle(os);
    else _close(fd);
    return errnoError(EIO);
  }
#else
  // Opened first and then examined, so that nothing can be swapped in
  // between; O_NONBLOCK keeps the open of a FIFO from waiting for a writer.
  const int fd = ::open(file.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
  if (fd == -1) return errnoError(errno);
  struct stat info {};
  if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
    const int code = errno;
    const bool directory = S_ISDIR(info.st_mode);
    ::close(fd);
    if (directory) return errnoError(EISDIR);
    return info.st_mode == 0 ? errnoError(code) : notRegular();
  }
  std::FILE* raw = ::fdopen(fd, "rb");
  if (raw == nullptr) {
    const int code = errno;
    ::close(fd);
    return errnoError(code);
  }
#endif
  const std::unique_ptr<std::FILE, int (*)(std::FILE*)> handle(raw, &std::fclose);

  try {
    // The file is read in blocks and parsed as it comes, so that it is never
    // held whole: memory is the table, not the file. A line longer than a
    // block is gathered in a buffer as long as the rest of the file, once.
#ifdef _WIN32
    std::uintmax_t fileSize = std::filesystem::file_size(target, ec);
    if (ec) fileSize = 0;
#else
    const auto fileSize = static_cast<std::uintmax_t>(info.st_size);
#endif
    constexpr std::size_t kBlock = std::size_t{1} << 18;
    std::vector<char> buffer(kBlock);
    std::size_t held = 0;  // bytes of a line that goes on, kept at the front
    std::uintmax_t read = 0;
    ScoreParser parser;
    for (bool first = true;; first = false) {
      if (held == buffer.size()) {
        const std::uintmax_t rest = fileSize > read ? fileSize - read : 0;
        buffer.resize(static_cast<std::size_t>(std::max<std::uintmax_t>(buffer.size() * 2, held + rest + 1)));
      }
      const std::size_t n = std::fread(buffer.data() + held, 1, buffer.size() - held, raw);
      if (n < buffer.size() - held && std::ferror(raw)) return errnoError(errno != 0 ? errno : EIO);
      read += n;
      const bool last = n == 0 || std::feof(raw);
      const char* const begin = buffer.data();
      const char* const end = begin + held + n;
      // Room for the songs of the whole file, judged by the first block.
      if (first) parser.Reserve(SongsToReserve({begin, static_cast<std::size_t>(end - begin)}, fileSize));
      const char* const rest = parser.Lines(begin, end, last);
      if (last || parser.Failed()) break;
      held = static_cast<std::size_t>(end - rest);
      std::memmove(buffer.data(), rest, held);
    }

    LoadResult result = parser.Result();
    if (result.error) result.error->path = file;
    return result;
  } catch (const std::bad_alloc&) {
    // Each song costs a few hundred bytes however short its line, so a huge
    // file of tiny songs can need more memory than the machine has.
    return fileError(FileProblem::OutOfMemory, "not enough memory to load the file",
                     u"メモリが足りないため読み込めません");
  }
}

}  // namespace quillbox
