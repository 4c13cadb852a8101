#include "scores/ScoreFile.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <new>
#include <system_error>
#include <thread>
#include <utility>
#include <vector>

#include "scores/LoadMessages.h"
#include "scores/ScoreParser.h"
#include "scores/ScoreSource.h"

#ifdef _WIN32
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>
#else
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

// Opening the score file on each system and reading it in blocks, each
// handed to the parser as it comes; read again while it is being written.
namespace quillbox {
namespace {

using std::chrono::milliseconds;

LoadError NotRegularError(const std::filesystem::path& file) {
  return FileLoadError(file, FileProblem::NotRegular, "Not a regular file", u"通常のファイルではありません");
}

#ifdef _WIN32
class FileSource final : public ScoreSource {
 public:
  FileSource(const std::filesystem::path& file, std::wstring name) : file_(file), name_(std::move(name)) {}
  ~FileSource() override { Close(); }
  FileSource(const FileSource&) = delete;
  FileSource& operator=(const FileSource&) = delete;

  std::optional<LoadError> Open() override {
    // Only a regular file is sure to end: a device would be read until
    // memory runs out.
    std::error_code ec;
    const std::filesystem::file_status status = std::filesystem::status(std::filesystem::path(name_), ec);
    if (std::filesystem::is_directory(status)) return FileLoadError(file_, EISDIR);
    if (std::filesystem::exists(status) && !std::filesystem::is_regular_file(status)) return NotRegularError(file_);
    // Every sharing mode, so that the game's own save never fails because
    // quillbox is reading (or the player renames the file meanwhile).
    handle_ = CreateFileW(name_.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                          OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL | FILE_FLAG_SEQUENTIAL_SCAN, nullptr);
    if (handle_ != INVALID_HANDLE_VALUE) return std::nullopt;
    switch (GetLastError()) {
      case ERROR_FILE_NOT_FOUND:
      case ERROR_PATH_NOT_FOUND:
      case ERROR_BAD_NETPATH:
      case ERROR_BAD_NET_NAME: return FileLoadError(file_, ENOENT);
      case ERROR_ACCESS_DENIED: return FileLoadError(file_, EACCES);
      case ERROR_FILENAME_EXCED_RANGE: return FileLoadError(file_, ENAMETOOLONG);
      case ERROR_CANT_RESOLVE_FILENAME: return FileLoadError(file_, ELOOP);
      case ERROR_TOO_MANY_OPEN_FILES: return FileLoadError(file_, EMFILE);
      case ERROR_NOT_ENOUGH_MEMORY:
      case ERROR_OUTOFMEMORY: return FileLoadError(file_, ENOMEM);
      // Another program holding the file is something the user can wait out
      // or close, not a missing permission.
      case ERROR_SHARING_VIOLATION:
      case ERROR_LOCK_VIOLATION:
        return FileLoadError(file_, FileProblem::InUse, "the file is in use by another program",
                             u"ほかのアプリがファイルを使用中です");
      default: return FileLoadError(file_, EIO);
    }
  }

  bool Stamp(FileStamp& stamp, int& error) override {
    BY_HANDLE_FILE_INFORMATION info{};
    if (GetFileInformationByHandle(handle_, &info) == 0) {
      error = EIO;
      return false;
    }
    // 100-nanosecond ticks since 1601.
    constexpr std::int64_t kTicksPerSecond = 10'000'000;
    constexpr std::int64_t kSecondsFrom1601To1970 = 11'644'473'600;
    const auto ticks = static_cast<std::int64_t>((static_cast<std::uint64_t>(info.ftLastWriteTime.dwHighDateTime) << 32) |
                                                 info.ftLastWriteTime.dwLowDateTime);
    stamp.size = (static_cast<std::uint64_t>(info.nFileSizeHigh) << 32) | info.nFileSizeLow;
    stamp.seconds = ticks / kTicksPerSecond - kSecondsFrom1601To1970;
    stamp.nanoseconds = ticks % kTicksPerSecond * 100;
    return true;
  }

  bool Read(char* into, std::size_t size, std::size_t& got, int& error) override {
    DWORD n = 0;
    if (ReadFile(handle_, into, static_cast<DWORD>(std::min<std::size_t>(size, 1U << 30)), &n, nullptr) == 0) {
      error = EIO;
      return false;
    }
    got = n;
    return true;
  }

  void Close() override {
    if (handle_ != INVALID_HANDLE_VALUE) CloseHandle(handle_);
    handle_ = INVALID_HANDLE_VALUE;
  }

 private:
  const std::filesystem::path& file_;
  std::wstring name_;
  HANDLE handle_ = INVALID_HANDLE_VALUE;
};
#else
class FileSource final : public ScoreSource {
 public:
  explicit FileSource(const std::filesystem::path& file) : file_(file) {}
  ~FileSource() override { Close(); }
  FileSource(const FileSource&) = delete;
  FileSource& operator=(const FileSource&) = delete;

  std::optional<LoadError> Open() override {
    // Opened first and then examined, so that nothing can be swapped in
    // between; O_NONBLOCK keeps the open of a FIFO from waiting for a writer.
    fd_ = ::open(file_.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd_ == -1) return FileLoadError(file_, errno);
    // Only a regular file is sure to end: a device such as /dev/zero would be
    // read until memory runs out.
    struct stat info {};
    if (::fstat(fd_, &info) != 0 || !S_ISREG(info.st_mode)) {
      const int code = errno;
      Close();
      if (S_ISDIR(info.st_mode)) return FileLoadError(file_, EISDIR);
      return info.st_mode == 0 ? FileLoadError(file_, code) : NotRegularError(file_);
    }
    return std::nullopt;
  }

  bool Stamp(FileStamp& stamp, int& error) override {
    struct stat info {};
    if (::fstat(fd_, &info) != 0) {
      error = errno;
      return false;
    }
    stamp.size = static_cast<std::uint64_t>(info.st_size);
#ifdef __APPLE__
    stamp.seconds = info.st_mtimespec.tv_sec;
    stamp.nanoseconds = info.st_mtimespec.tv_nsec;
#else
    stamp.seconds = info.st_mtim.tv_sec;
    stamp.nanoseconds = info.st_mtim.tv_nsec;
#endif
    return true;
  }

  bool Read(char* into, std::size_t size, std::size_t& got, int& error) override {
    for (;;) {
      const ssize_t n = ::read(fd_, into, size);
      if (n >= 0) {
        got = static_cast<std::size_t>(n);
        return true;
      }
      if (errno != EINTR) {
        error = errno;
        return false;
      }
    }
  }

  void Close() override {
    if (fd_ != -1) ::close(fd_);
    fd_ = -1;
  }

 private:
  const std::filesystem::path& file_;
  int fd_ = -1;
};
#endif

// One reading of an open source from its start to its end.
struct Reading {
  LoadResult result;
  bool whole = false;  // the file did not change while it was read
  bool failed = false; // the system could not read it: told at once, not waited out
  FileStamp stamp;     // as it was after the reading
};

Reading ReadOnce(ScoreSource& source, const std::filesystem::path& file, LoadMode mode) {
  Reading reading;
  auto failed = [&](int code) {
    reading.result = LoadResult{{}, FileLoadError(file, code != 0 ? code : EIO)};
    reading.failed = true;
    return std::move(reading);
  };
  FileStamp before;
  int code = 0;
  if (!source.Stamp(before, code)) return failed(code);

  // The file is read in blocks and parsed as it comes, so that it is never
  // held whole: memory is the table, not the file. A line longer than a
  // block is gathered in a buffer as long as the rest of the file, once.
  constexpr std::size_t kBlock = std::size_t{1} << 18;
  std::vector<char> buffer(kBlock);
  std::size_t held = 0;  // bytes of a line that goes on, kept at the front
  std::uint64_t read = 0;
  bool binary = false;
  ScoreParser parser;
  for (bool first = true;; first = false) {
    if (held == buffer.size()) {
      const std::uint64_t rest = before.size > read ? before.size - read : 0;
      buffer.resize(static_cast<std::size_t>(std::max<std::uint64_t>(buffer.size() * 2, held + rest + 1)));
    }
    std::size_t n = 0;
    if (!source.Read(buffer.data() + held, buffer.size() - held, n, code)) return failed(code);
    read += n;
    // A NUL byte never stands in a text file the game wrote.
    if (mode == LoadMode::ScoreFileOnly && std::memchr(buffer.data() + held, 0, n) != nullptr) {
      binary = true;
      break;
    }
    const bool last = n == 0;
    const char* const begin = buffer.data();
    const char* const end = begin + held + n;
    // Room for the songs of the whole file, judged by the first block.
    if (first) parser.Reserve(SongsToReserve({begin, static_cast<std::size_t>(end - begin)}, before.size));
    const char* const rest = parser.Lines(begin, end, last);
    if (last || parser.Failed()) break;
    held = static_cast<std::size_t>(end - rest);
    std::memmove(buffer.data(), rest, held);
  }
  if (!source.Stamp(reading.stamp, code)) return failed(code);
  // A reading stopped early (a bad line, a NUL) cannot count its bytes; the
  // stamp alone tells whether the file changed under it.
  const bool complete = !binary && !parser.Failed();
  reading.whole = reading.stamp == before && (!complete || read == before.size);
  reading.result = parser.Result();
  if (binary) {
    reading.result = LoadResult{{}, FileLoadError(file, FileProblem::NotScoreFile, "not a score file: it holds a NUL byte",
                                                  u"スコアファイルではありません（NUL バイトを含んでいます）")};
  } else if (reading.result.error) {
    reading.result.error->path = file;
  } else if (mode == LoadMode::ScoreFileOnly && reading.result.songs.SongCount() == 0) {
    reading.result = LoadResult{{}, FileLoadError(file, FileProblem::NotScoreFile, "not a score file: it holds no song",
                                                  u"スコアファイルではありません（曲が一つもありません）")};
  }
  return reading;
}

std::chrono::system_clock::time_point TimeOf(const FileStamp& stamp) {
  return std::chrono::system_clock::time_point(std::chrono::duration_cast<std::chrono::system_clock::duration>(
      std::chrono::seconds(stamp.seconds) + std::chrono::nanoseconds(stamp.nanoseconds)));
}

}  // namespace

LoadResult LoadScoreSource(ScoreSource& source, const std::filesystem::path& file, LoadMode mode,
                           const RereadPolicy& policy) {
  const auto sleep = [&](milliseconds wait) {
    if (policy.sleep) policy.sleep(wait);
    else std::this_thread::sleep_for(wait);
  };
  const auto now = [&] { return policy.now ? policy.now() : std::chrono::system_clock::now(); };
  try {
    for (std::size_t attempt = 0; attempt <= policy.waits.size(); ++attempt) {
      if (attempt > 0) sleep(policy.waits[attempt - 1]);
      if (std::optional<LoadError> error = source.Open()) return LoadResult{{}, std::move(error)};
      Reading reading = ReadOnce(source, file, mode);
      if (reading.failed) {
        source.Close();
        return std::move(reading.result);
      }
      if (reading.whole) {
        // A writer that saves in pieces leaves the file still between two of
        // them; only a file that has kept its stamp for a moment is taken.
        // (A stamp far off the clock, as on a network share, is no sign.)
        // Truncating need not touch the time (ext4 does not), so an empty
        // file, as a writer leaves it before its first piece, is always
        // given a longer moment.
        // Once the file was seen changing, a writer is at work and may pause
        // between pieces: it must keep still longer.
        const bool empty = reading.stamp.size == 0;
        const auto age = empty ? std::chrono::system_clock::duration::zero() : now() - TimeOf(reading.stamp);
        const milliseconds settle = policy.settle * (empty ? 5 : attempt > 0 ? 3 : 1);
        if (age < settle && age > -std::chrono::seconds(2)) {
          sleep(std::max(milliseconds(1), std::chrono::ceil<milliseconds>(settle - age)));
          FileStamp later;
          int code = 0;
          reading.whole = source.Stamp(later, code) && later == reading.stamp;
        }
      }
      source.Close();
      if (reading.whole) return std::move(reading.result);
    }
  } catch (const std::bad_alloc&) {
    source.Close();
    // Each song costs a few hundred bytes however short its line, so a huge
    // file of tiny songs can need more memory than the machine has.
    return LoadResult{{}, FileLoadError(file, FileProblem::OutOfMemory, "not enough memory to load the file",
                                        u"メモリが足りないため読み込めません")};
  }
  return LoadResult{{}, FileLoadError(file, FileProblem::KeptChanging,
                                      "the file kept changing while it was read (the game seems to be saving it)",
                                      u"読み込むあいだにファイルが書き換わり続けました（ゲームが保存中のようです）")};
}

LoadResult LoadScoreFile(const std::filesystem::path& file, LoadMode mode) {
#ifdef _WIN32
  // A game folder can lie deeper than MAX_PATH; the \\?\ form lifts that limit.
  // (Normalising would turn an existing \\?\ or \\server prefix into a plain root.)
  std::wstring name = file.wstring().rfind(LR"(\\)", 0) == 0 ? file.wstring() : file.lexically_normal().wstring();
  if (name.size() >= MAX_PATH && file.is_absolute() && name.rfind(LR"(\\)", 0) != 0) {
    name.insert(0, LR"(\\?\)");
  } else if (name.size() >= MAX_PATH && name.rfind(LR"(\\)", 0) == 0 && name.rfind(LR"(\\?\)", 0) != 0) {
    name.replace(0, 2, LR"(\\?\UNC\)");
  }
  FileSource source(file, std::move(name));
#else
  FileSource source(file);
#endif
  return LoadScoreSource(source, file, mode, RereadPolicy{});
}

}  // namespace quillbox
