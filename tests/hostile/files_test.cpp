// Hostile score files on disk: huge, truncated, not a file, unreadable, in
// folders with long Japanese names; and what loading costs in memory.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <future>
#include <random>
#include <sstream>
#include <string>
#include <thread>

#include "base/Text.h"
#include "scores/ScoreFile.h"
#include "tests/support/HeapCount.h"

namespace quillbox {
namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;

// A fresh directory per test, removed afterwards.
class HostileFiles : public testing::Test {
 protected:
  void SetUp() override {
    std::random_device seed;
    dir_ = fs::temp_directory_path() / ("quillbox-hostile-" + std::to_string(getpid()) + "-" +
                                        std::to_string(seed()));
    fs::create_directories(dir_);
  }
  void TearDown() override {
    std::error_code ec;
    fs::permissions(dir_, fs::perms::owner_all, fs::perm_options::add, ec);
    fs::remove_all(dir_, ec);
  }

  fs::path Write(const fs::path& name, const std::string& bytes) {
    fs::path file = dir_ / name;
    std::ofstream(file, std::ios::binary).write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    return file;
  }

  // Writes `head`, `fill` bytes of `c`, then `tail`, without holding the
  // whole file in memory.
  fs::path WriteLarge(const fs::path& name, const std::string& head, std::size_t fill, char c,
                      const std::string& tail) {
    fs::path file = dir_ / name;
    std::ofstream out(file, std::ios::binary);
    out << head;
    const std::string chunk(1 << 20, c);
    for (std::size_t left = fill; left > 0;) {
      const std::size_t n = std::min(left, chunk.size());
      out.write(chunk.data(), static_cast<std::streamsize>(n));
      left -= n;
    }
    out << tail;
    return file;
  }

  fs::path dir_;
};

constexpr std::size_t k100MB = 100u << 20;

void ExpectFileError(const LoadResult& result, const fs::path& file, const std::string& reason) {
  ASSERT_TRUE(result.error.has_value());
  EXPECT_EQ(result.error->kind, LoadErrorKind::FileError);
  EXPECT_EQ(result.error->reason, reason);
  EXPECT_TRUE(DescribeLoadError(*result.error).starts_with(file.string() + ": " + reason + " -- "))
      << DescribeLoadError(*result.error);
  EXPECT_EQ(result.songs.SongCount(), 0);
}

// ---- Huge and truncated files ------------------------------------------

// What loading one huge line may cost: the bytes, the title widened to
// UTF-16 (twice the size), and room to spare; in a handful of allocations,
// not one per block read or per piece decoded. A line copied once per block
// would cost hundreds of times the file.
void ExpectLinearLoad(const test::HeapCount& used, const fs::path& file) {
  const auto size = static_cast<std::int64_t>(fs::file_size(file));
  ASSERT_GE(used.bytes, size) << "the heap is not counted";
  EXPECT_LE(used.bytes, 4 * size) << used.bytes / size << " times the file";
  EXPECT_LE(used.allocations, 64);
}

TEST_F(HostileFiles, HundredMegabyteTitleLine) {
  const fs::path file = WriteLarge("hsc.ini", "x", k100MB, 'a', "\\Hard]\r\nHPR1=9\r\n");
  const test::HeapMeter meter;
  const LoadResult result = LoadScoreFile(file);
  ExpectLinearLoad(meter.Used(), file);
  ASSERT_FALSE(result.error.has_value()) << DescribeLoadError(*result.error);
  ASSERT_EQ(result.songs.SongCount(), 1);
  EXPECT_EQ(result.songs[1].Title.size(), k100MB);
  EXPECT_EQ(result.songs[1].Title.find_first_not_of(u'a'), Text::npos);
  EXPECT_EQ(result.songs[1].HiPerfect[1], 9);
}

// A file is read in blocks: every way a line end, a double-byte character
// or a long title can fall on a block's edge must read as the same bytes in
// memory do, songs and the line number of an error alike.
TEST_F(HostileFiles, BlockEdgesChangeNothing) {
  std::string body;
  const char* const ends[] = {"\r\n", "\r", "\n"};
  for (int s = 0; s < 40'000; ++s) {
    body += s % 997 == 5 ? "[\x93\xfa\x96\x7b\\]" : "[S\\]";  // 日本 now and then
    body += ends[s % 3];
    body += "HPR" + std::to_string(s % 9) + "=" + std::to_string(s % 256) + ends[(s + 1) % 3];
    body += "SCORE1" + std::to_string(s % 9) + "=" + std::to_string(s) + ends[(s + 2) % 3];
    if (s == 20'000) body += "[" + std::string(600'000, 'x') + "\\]\r\n";
  }
  body += "HPR9=1\r\n";
  for (std::size_t pad = 0; pad < 12; ++pad) {
    const std::string bytes = std::string(pad, '\n') + body;
    const LoadResult expected = ParseScoreFile(bytes);
    const LoadResult loaded = LoadScoreFile(Write("hsc.ini", bytes));
    ASSERT_TRUE(expected.error && loaded.error) << "pad " << pad;
    EXPECT_EQ(loaded.error->line, expected.error->line) << "pad " << pad;
    ASSERT_EQ(loaded.songs.SongCount(), expected.songs.SongCount()) << "pad " << pad;
    EXPECT_TRUE(std::equal(loaded.songs.All().begin(), loaded.songs.All().end(), expected.songs.All().begin()))
        << "pad " << pad;
  }
}

TEST_F(HostileFiles, HundredMegabyteValueLine) {
  // One key line of 100 MB: leading zeros, then the value.
  const fs::path file = WriteLarge("hsc.ini", "x\\\r\nSCORE11=", k100MB, '0', "1234567\r\n");
  const test::HeapMeter meter;
  const LoadResult result = LoadScoreFile(file);
  ExpectLinearLoad(meter.Used(), file);
  ASSERT_FALSE(result.error.has_value()) << DescribeLoadError(*result.error);
  ASSERT_EQ(result.songs.SongCount(), 1);
  EXPECT_EQ(result.songs[1].BestScore[1][1], 1234567);
}

TEST_F(HostileFiles, HundredMegabyteIgnoredLineBeforeTheSongs) {
  const fs::path file = WriteLarge("hsc.ini", "", k100MB, 'Z', "\r\n[A\\]\r\nHPR2=3\r\n");
  const LoadResult result = LoadScoreFile(file);
  ASSERT_FALSE(result.error.has_value()) << DescribeLoadError(*result.error);
  ASSERT_EQ(result.songs.SongCount(), 1);
  EXPECT_EQ(result.songs[1].Title, u"A");
  EXPECT_EQ(result.songs[1].HiPerfect[2], 3);
}

TEST_F(HostileFiles, CutInsideADoubleByteCharacter) {
  // A full disk cut the file between 95 and 5C of the last 表: that line has
  // no backslash left and is ignored; the songs above are intact.
  const std::string whole = "x\x95\\\\\r\nHPR1=12\r\nx\x95\\\x95\\\\\r\n";
  const fs::path file = Write("hsc.ini", whole);
  fs::resize_file(file, whole.size() - 5);
  const LoadResult result = LoadScoreFile(file);
  ASSERT_FALSE(result.error.has_value()) << DescribeLoadError(*result.error);
  ASSERT_EQ(result.songs.SongCount(), 1);
  EXPECT_EQ(result.songs[1].Title, u"\u8868");
  EXPECT_EQ(result.songs[1].HiPerfect[1], 12);

  // Cut inside a value: the lone lead byte ends the number.
  fs::resize_file(file, 0);
  Write("hsc.ini", "x\\\r\nHPs1=34\x95");
  const LoadResult cutValue = LoadScoreFile(file);
  ASSERT_FALSE(cutValue.error.has_value());
  EXPECT_EQ(cutValue.songs[1].PlayCount[1], 34);
}

// ---- Not a readable file -----------------------------------------------

TEST_F(HostileFiles, DirectoryNamedHscIni) {
  const fs::path file = dir_ / "hsc.ini";
  fs::create_directory(file);
  ExpectFileError(LoadScoreFile(file), file, "Is a directory");
}

TEST_F(HostileFiles, PathsTheKernelRefuses) {
  Write("plain", "x\\\r\n");
  const struct {
    fs::path file;
    std::string reason;
  } cases[] = {
      {dir_ / "missing" / "hsc.ini", "No such file or directory"},
      {dir_ / "plain" / "hsc.ini", "Not a directory"},
      {dir_ / std::string(300, 'n') / "hsc.ini", "File name too long"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.file.string());
    ExpectFileError(LoadScoreFile(c.file), c.file, c.reason);
  }
}

TEST_F(HostileFiles, FileWithoutReadPermission) {
  if (geteuid() == 0) GTEST_SKIP() << "running as root: read permission is not enforced";
  const fs::path file = Write("hsc.ini", "x\\\r\n");
  fs::permissions(file, fs::perms::none);
  ExpectFileError(LoadScoreFile(file), file, "Permission denied");
}

TEST_F(HostileFiles, ReadErrorAfterOpening) {
  // Opens fine, but reading from offset 0 fails with EIO.
  const fs::path file = "/proc/self/mem";
  ExpectFileError(LoadScoreFile(file), file, "Input/output error");
}

TEST_F(HostileFiles, DeviceInsteadOfAFile) {
  // An endless device must be refused, not read until memory runs out.
  const fs::path link = dir_ / "hsc.ini";
  fs::create_symlink("/dev/zero", link);
  ExpectFileError(LoadScoreFile(link), link, "Not a regular file");
}

TEST_F(HostileFiles, FifoWithoutWriter) {
  // Opening a FIFO waits for a writer that never comes: it must be refused
  // instead.
  const fs::path fifo = dir_ / "hsc.ini";
  ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
  auto loading = std::async(std::launch::async, [&] { return LoadScoreFile(fifo); });
  if (loading.wait_for(10s) != std::future_status::ready) {
    // Release the blocked open so the test can end.
    std::FILE* writer = std::fopen(fifo.c_str(), "wb");
    if (writer != nullptr) (void)std::fclose(writer);
    loading.wait();
    FAIL() << "LoadScoreFile blocked on a FIFO";
  }
  ExpectFileError(loading.get(), fifo, "Not a regular file");
}

TEST_F(HostileFiles, FifoSwappedInWhileLoading) {
  // hsc.ini flips between a score file and a FIFO as fast as it can. Each
  // load must read the file or refuse the FIFO: never open a FIFO as if it
  // were the file (it would wait for a writer, or read nothing and call
  // that a table without songs).
  const fs::path file = dir_ / "hsc.ini";
  const fs::path regular = Write("regular", "[A\\]\r\n");
  const fs::path fifo = dir_ / "fifo";
  const fs::path staged = dir_ / "staged";
  ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
  fs::copy_file(regular, file);
  std::atomic<bool> done = false;
  std::thread swapper([&] {
    for (bool toFifo = true; !done; toFifo = !toFifo) {
      if (link((toFifo ? fifo : regular).c_str(), staged.c_str()) == 0) (void)rename(staged.c_str(), file.c_str());
      // Lets a load that did open the FIFO go on, to be caught below.
      const int writer = open(fifo.c_str(), O_WRONLY | O_NONBLOCK);
      if (writer != -1) close(writer);
    }
  });
  int refused = 0;
  for (int i = 0; i < 4000; ++i) {
    const LoadResult result = LoadScoreFile(file);
    if (result.error) {
      ++refused;
      ASSERT_EQ(result.error->reason, "Not a regular file");
    } else {
      ASSERT_EQ(result.songs.SongCount(), 1) << "load " << i << " read something that is not the file";
    }
  }
  done = true;
  swapper.join();
  EXPECT_GT(refused, 0) << "the FIFO was never in place: the test proved nothing";
}

// ---- Long Japanese paths -----------------------------------------------

std::string ReadAll(const fs::path& file) {
  std::ifstream in(file, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// Runs the report tool with `file`, returns its standard output.
std::string Report(const fs::path& file, const fs::path& out) {
  const std::string command = std::string("'") + QUILLBOX_REPORT_EXE + "' --file '" + file.string() +
                              "' perfect > '" + out.string() + "'";
  // The paths are our own and quoted; the shell only does the redirection.
  EXPECT_EQ(std::system(command.c_str()), 0) << command;  // NOLINT(cert-env33-c)
  return ReadAll(out);
}

TEST_F(HostileFiles, SystemWithoutCodePage932) {
  // Without a converter the demo file (Japanese titles) cannot be read: one
  // clear line and status 1, not an abort. A file of plain ASCII needs none.
  const fs::path demo = fs::path(QUILLBOX_EXAMPLES_DIR) / "hsc.ini";
  const fs::path ascii = Write("ascii.ini", "[A\\]\r\nHPR1=5\r\n");
  const auto run = [&](const fs::path& file) {
    const std::string command = std::string("LD_PRELOAD='") + QUILLBOX_NO_CP932_LIB +
                                "' ASAN_OPTIONS=verify_asan_link_order=0 '" + QUILLBOX_REPORT_EXE + "' --file '" +
                                file.string() + "' perfect >'" + (dir_ / "out").string() + "' 2>'" +
                                (dir_ / "err").string() + "'";
    const int status = std::system(command.c_str());  // NOLINT(cert-env33-c)
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  };
  EXPECT_EQ(run(demo), 1);
  EXPECT_EQ(ReadAll(dir_ / "err"), demo.string() +
                                      ": this system has no code page 932 (Shift_JIS) converter -- install iconv's "
                                      "CP932 table (Debian and Ubuntu: libc6, Fedora: glibc-gconv-extra)\n");
  EXPECT_EQ(ReadAll(dir_ / "out"), "");
  EXPECT_EQ(run(ascii), 0) << ReadAll(dir_ / "err");
  EXPECT_NE(ReadAll(dir_ / "out").find("|   5   0"), std::string::npos);
}

TEST_F(HostileFiles, LongJapanesePathWithBlanks) {
  // Each name is 90 Japanese characters and blanks (210 bytes, under the 255
  // of one name); three of them make the path far longer than 260.
  std::string name;
  for (int i = 0; i < 30; ++i) name += "譜面 ";
  const fs::path folder = dir_ / fs::u8path("くいる ぼっくす") / fs::u8path(name) /
                          fs::u8path("スコア " + name) / fs::u8path(name + "表");
  fs::create_directories(folder);
  const fs::path file = folder / "hsc.ini";
  fs::copy_file(fs::path(QUILLBOX_EXAMPLES_DIR) / "hsc.ini", file);
  ASSERT_GT(FromUtf8(file.string()).size(), 260u);

  const LoadResult expected = LoadScoreFile(fs::path(QUILLBOX_EXAMPLES_DIR) / "hsc.ini");
  const LoadResult loaded = LoadScoreFile(file);
  ASSERT_FALSE(loaded.error.has_value()) << DescribeLoadError(*loaded.error);
  ASSERT_GT(loaded.songs.SongCount(), 0);
  ASSERT_EQ(loaded.songs.SongCount(), expected.songs.SongCount());
  for (std::int32_t s = 1; s <= loaded.songs.SongCount(); ++s) EXPECT_EQ(loaded.songs[s], expected.songs[s]);

  const std::string viaLongPath = Report(file, dir_ / "long.txt");
  const std::string viaExamples = Report(fs::path(QUILLBOX_EXAMPLES_DIR) / "hsc.ini", dir_ / "plain.txt");
  EXPECT_FALSE(viaLongPath.empty());
  EXPECT_EQ(viaLongPath, viaExamples);

  // Errors name the long path as it is.
  fs::remove(file);
  ExpectFileError(LoadScoreFile(file), file, "No such file or directory");
}

// ---- Memory --------------------------------------------------------------

#if defined(__SANITIZE_ADDRESS__)
constexpr bool kUnderAsan = true;
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
constexpr bool kUnderAsan = true;
#else
constexpr bool kUnderAsan = false;
#endif
#else
constexpr bool kUnderAsan = false;
#endif

// Peak resident growth while the probe loads `file`, per byte of the file.
double LoadMemoryRatio(const fs::path& file, std::int32_t expectedSongs) {
  const std::string command = std::string("'") + QUILLBOX_MEMPROBE_EXE + "' '" + file.string() + "'";
  // The paths are our own and quoted.
  std::FILE* pipe = popen(command.c_str(), "r");  // NOLINT(cert-env33-c)
  EXPECT_NE(pipe, nullptr);
  if (pipe == nullptr) return 0;
  std::string output;
  char buffer[256];
  for (std::size_t n; (n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0;) output.append(buffer, n);
  EXPECT_EQ(pclose(pipe), 0);
  long before = 0, after = 0;
  int songs = 0;
  std::istringstream fields(output);
  EXPECT_TRUE(fields >> before >> after >> songs) << output;
  EXPECT_EQ(songs, expectedSongs);
  return static_cast<double>(after - before) * 1024.0 / static_cast<double>(fs::file_size(file));
}

TEST_F(HostileFiles, LoadingMemoryIsASmallMultipleOfTheFile) {
  if (kUnderAsan) GTEST_SKIP() << "AddressSanitizer's shadow memory and quarantine distort resident size";
  const fs::path oneLine = WriteLarge("one-line.ini", "x", k100MB, 'a', "\\\r\n");
  const double oneLineRatio = LoadMemoryRatio(oneLine, 1);
  fs::remove(oneLine);

  // Three bytes a song: each costs a whole SongRecord (about 240 bytes).
  const std::size_t songs = 1'000'000;
  const fs::path tiny = WriteLarge("tiny-songs.ini", "", 0, ' ', [&] {
    std::string s;
    s.reserve(songs * 4);
    for (std::size_t i = 0; i < songs; ++i) s += "x\\\r\n";
    return s;
  }());
  const double tinyRatio = LoadMemoryRatio(tiny, static_cast<std::int32_t>(songs));

  fs::remove(tiny);

  // A game's own file: every key of every part, about 700 bytes a song. Its
  // peak must stay within two times the file plus the table.
  const std::int32_t gameSongs = 60'000;
  const fs::path game = WriteLarge("game.ini", "", 0, ' ', [&] {
    std::string s;
    const auto line = [&s](std::initializer_list<std::string_view> pieces) {
      for (const std::string_view piece : pieces) s += piece;
      s += "\r\n";
    };
    for (std::int32_t i = 1; i <= gameSongs; ++i) {
      line({"[\x95\x5C Song ", std::to_string(i), "\\Hard]"});
      for (int p = 1; p <= 8; ++p) {
        const std::string part = std::to_string(p);
        line({"HPR", part, "=", std::to_string(i % 111)});
        line({"HPs", part, "=", std::to_string(i % 300)});
        for (int r = 1; r <= 3; ++r) {
          line({"PR", std::to_string(r), part, "=", std::to_string(i % 97)});
          line({"SCORE", std::to_string(r), part, "=", std::to_string(1'000'000 - i)});
        }
      }
    }
    return s;
  }());
  const double gameRatio = LoadMemoryRatio(game, gameSongs);
  const double gameBytes = static_cast<double>(fs::file_size(game));
  const double tableBytes = static_cast<double>(gameSongs + 1) * sizeof(SongRecord);

  std::printf("peak memory per file byte: one 100 MB line %.2f, 1 000 000 songs of 4 bytes %.1f, "
              "a game's file %.2f (budget %.2f)\n",
              oneLineRatio, tinyRatio, gameRatio, (2 * gameBytes + tableBytes) / gameBytes);
  RecordProperty("one_line_ratio", std::to_string(oneLineRatio));
  RecordProperty("tiny_songs_ratio", std::to_string(tinyRatio));
  RecordProperty("game_file_ratio", std::to_string(gameRatio));
  // The bytes and the title widened to UTF-16 (twice the size): three times.
  EXPECT_LT(oneLineRatio, 4.0);
  // The song table dominates here; this bounds it, it does not call it small.
  EXPECT_LT(tinyRatio, 140.0);
  EXPECT_LT(gameRatio * gameBytes, 2 * gameBytes + tableBytes);
}

}  // namespace
}  // namespace quillbox
