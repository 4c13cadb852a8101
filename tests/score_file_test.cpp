#include <gtest/gtest.h>

#include <atomic>
#include <filesystem>
#include <fstream>
#include <thread>

#include "scores/Cp932.h"
#include "scores/LoadMessages.h"
#include "scores/ScoreFile.h"
#include "scores/ScoreSource.h"
#include "tests/support/TestUtil.h"

#ifdef _WIN32
#include <windows.h>
#endif

namespace quillbox {
namespace {

using test::Cp932File;
using test::MustParse;

TEST(ScoreFile, HeaderLinesMakeSongsInFileOrder) {
  const Songs songs = MustParse(Cp932File(
      "HPR1=5\n"  // above the first header: ignored
      "[Song A\\Hard]\n"
      "x\\\n"
      "[Song A\\Easy]\n"
      "HPR1=5\\x\n"
      "  ab  \\\n"));
  ASSERT_EQ(songs.SongCount(), 5);
  EXPECT_EQ(songs[1].Title, u"Song A");
  EXPECT_EQ(songs[2].Title, u"");
  EXPECT_EQ(songs[3].Title, u"Song A");  // same title, still a song of its own
  EXPECT_EQ(songs[4].Title, u"PR1=5");   // a backslash anywhere makes a header
  EXPECT_EQ(songs[4].HiPerfect[1], 0);
  EXPECT_EQ(songs[5].Title, u" ab  ");  // blanks are kept, position 1 skipped
  EXPECT_EQ(songs[0], SongRecord{});
  EXPECT_EQ(songs[1].HiPerfect[1], 0);
}

TEST(ScoreFile, FilesWithoutHeadersHaveNoSongs) {
  for (const char* bytes : {"", "\r\n", "HPR1=5\r\nPR11=3\r\n", "just text"}) {
    EXPECT_EQ(MustParse(bytes).SongCount(), 0) << bytes;
  }
  EXPECT_EQ(MustParse(std::string_view{}).SongCount(), 0) << "no bytes at all, not even a buffer";
}

TEST(ScoreFile, DoubleByteCharacterWithBackslashTrailIsNotCut) {
  // 表 is 0x95 0x5C and ソ is 0x83 0x5C in code page 932.
  const std::string bytes = Cp932File("[表ソ曲\\Hard]\nHPR2=7\n");
  ASSERT_NE(bytes.find("\x95\x5C"), std::string::npos);
  const Songs songs = MustParse(bytes);
  ASSERT_EQ(songs.SongCount(), 1);
  EXPECT_EQ(songs[1].Title, u"表ソ曲");
  EXPECT_EQ(songs[1].HiPerfect[2], 7);
}

TEST(ScoreFile, LineEnds) {
  // CR, CR LF and a lone LF all end a line; the last line needs none.
  const Songs songs = MustParse("[a\\]\rHPR1=1\r\nHPR2=2\nHPR3=3\n\rHPR4=4");
  ASSERT_EQ(songs.SongCount(), 1);
  EXPECT_EQ(songs[1].HiPerfect[1], 1);
  EXPECT_EQ(songs[1].HiPerfect[2], 2);
  EXPECT_EQ(songs[1].HiPerfect[3], 3);
  EXPECT_EQ(songs[1].HiPerfect[4], 4);
}

// One key line under a header, and the field it must set.
struct KeyCase {
  const char* line;
  int part;
  int rank;  // -1: a field without ranks
  const char* field;
  long long expected;
};

long long FieldValue(const SongRecord& song, const KeyCase& c) {
  const auto p = static_cast<std::size_t>(c.part);
  const auto r = static_cast<std::size_t>(c.rank < 0 ? 0 : c.rank);
  const std::string field = c.field;
  if (field == "HiPerfect") return song.HiPerfect[p];
  if (field == "PlayCount") return song.PlayCount[p];
  if (field == "BestPerfect") return song.BestPerfect[p][r];
  return song.BestScore[p][r];
}

TEST(ScoreFile, KeyLinesSetTheirField) {
  const KeyCase cases[] = {
      {"HPR3=120", 3, -1, "HiPerfect", 120},
      {"HPR3:120", 3, -1, "HiPerfect", 120},
      {"HPR3 120", 3, -1, "HiPerfect", 120},
      {"HPR3120", 3, -1, "HiPerfect", 20},  // position 5 is never examined
      {"HPR10=5", 1, -1, "HiPerfect", 0},   // value text "=5" is no number
      {"HPRx=5", 0, -1, "HiPerfect", 5},    // no digit reads as part 0
      {"HPR1", 1, -1, "HiPerfect", 0},
      {"HPR", 0, -1, "HiPerfect", 0},
      {"HPR1= 42", 1, -1, "HiPerfect", 42},
      {"HPR1=1,5", 1, -1, "HiPerfect", 1},
      {"HPR1=254.5", 1, -1, "HiPerfect", 254},
      {"HPR1=2.5", 1, -1, "HiPerfect", 2},
      {"HPR1=3.5", 1, -1, "HiPerfect", 4},
      {"HPR1=255", 1, -1, "HiPerfect", 255},
      {"HPR1=-0.4", 1, -1, "HiPerfect", 0},
      {"HPR1=１２", 1, -1, "HiPerfect", 0},  // full-width digits are not digits
      {"PR12=87", 2, 1, "BestPerfect", 87},
      {"PR01=50", 1, 0, "BestPerfect", 50},
      {"PRESET=9", 0, 0, "BestPerfect", 0},  // begins with PR: a PR line
      {"PR32", 2, 3, "BestPerfect", 0},
      {"SCORE12=912345", 2, 1, "BestScore", 912345},
      {"SCORE11=98765pts", 1, 1, "BestScore", 98765},
      {"SCORE38=-2147483648", 8, 3, "BestScore", -2147483648LL},
      {"SCORE38=2147483647.4", 8, 3, "BestScore", 2147483647},
      {"SCORE11=1 2 3\t4", 1, 1, "BestScore", 1234},
      {"SCORE11=+7", 1, 1, "BestScore", 7},
      {"SCORE11=-.5", 1, 1, "BestScore", 0},
      {"SCORE11=1e999", 1, 1, "BestScore", 1},
      {"SCORE11=- 12.6", 1, 1, "BestScore", -13},
      {"SCORE11=1.2.3", 1, 1, "BestScore", 1},
      {"HPs3=15", 3, -1, "PlayCount", 15},
      {"HPs1=-5", 1, -1, "PlayCount", -5},
      {"HPs1=32767.4", 1, -1, "PlayCount", 32767},
      {"HPs1=-32768", 1, -1, "PlayCount", -32768},
      {"HPs1=000000000000000000000000000000012", 1, -1, "PlayCount", 12},
      {"HPs1=-", 1, -1, "PlayCount", 0},
      {"HPs1=-0", 1, -1, "PlayCount", 0},
      {"SCORE11=00000000000000000001234567", 1, 1, "BestScore", 1234567},
      {"SCORE11=2147483647", 1, 1, "BestScore", 2147483647},
      {"SCORE11=12345678", 1, 1, "BestScore", 12345678},
      {"SCORE11=123456789", 1, 1, "BestScore", 123456789},
      {"SCORE11=0000009/", 1, 1, "BestScore", 9},
      {"HPR1=9:", 1, -1, "HiPerfect", 9},
      {"HPR1=", 1, -1, "HiPerfect", 0},
  };
  // Lines of plain ASCII are read from their bytes, others after decoding;
  // a trailing あ, which ends every number, sends each case down the other way.
  for (const std::string tail : {"", "あ"}) {
    for (const KeyCase& c : cases) {
      const Songs songs = MustParse(Cp932File(std::string("[t\\]\n") + c.line + tail + "\n"));
      ASSERT_EQ(songs.SongCount(), 1) << c.line << tail;
      EXPECT_EQ(FieldValue(songs[1], c), c.expected) << c.line << tail;
    }
  }
}

TEST(ScoreFile, LinesThatAreNotKeysAreIgnored) {
  const Songs songs = MustParse("[t\\]\r\nhpr1=5\r\nHPS1=5\r\n HPR1=5\r\nScore11=5\r\nVolume=3\r\n");
  ASSERT_EQ(songs.SongCount(), 1);
  EXPECT_EQ(songs[1], SongRecord{.Title = u"t"});
}

TEST(ScoreFile, LaterLinesOverwriteAndEmptyValueClears) {
  Songs songs = MustParse("[t\\]\r\nHPs2=3\r\nHPs2=7\r\n");
  EXPECT_EQ(songs[1].PlayCount[2], 7);
  songs = MustParse("[t\\]\r\nHPs2=3\r\nHPs2=7\r\nHPs2=\r\n");
  EXPECT_EQ(songs[1].PlayCount[2], 0);
}

TEST(ScoreFile, KeyLinesSetTheNearestSongAbove) {
  const Songs songs = MustParse("[a\\]\r\nHPR1=1\r\n[b\\]\r\nHPR1=2\r\n");
  EXPECT_EQ(songs[1].HiPerfect[1], 1);
  EXPECT_EQ(songs[2].HiPerfect[1], 2);
}

TEST(ScoreFile, FailuresStopAtTheirLine) {
  const struct {
    const char* line;
    LoadErrorKind kind;
    const char* reason;
  } cases[] = {
      {"HPR9=5", LoadErrorKind::PartOutOfRange, "part number 9 is out of range (0 to 8)"},
      {"HPs9=5", LoadErrorKind::PartOutOfRange, "part number 9 is out of range (0 to 8)"},
      {"PR41=5", LoadErrorKind::RankOutOfRange, "rank number 4 is out of range (0 to 3)"},
      {"SCORE91=5", LoadErrorKind::RankOutOfRange, "rank number 9 is out of range (0 to 3)"},
      {"SCORE19=5", LoadErrorKind::PartOutOfRange, "part number 9 is out of range (0 to 8)"},
      {"PR49=5", LoadErrorKind::PartOutOfRange, "part number 9 is out of range (0 to 8)"},
      {"HPR1=-1", LoadErrorKind::ValueOutOfRange, "value is out of range for HiPerfect (0 to 255)"},
      {"HPR1=256", LoadErrorKind::ValueOutOfRange, "value is out of range for HiPerfect (0 to 255)"},
      {"HPR1=255.5", LoadErrorKind::ValueOutOfRange, "value is out of range for HiPerfect (0 to 255)"},
      {"PR11=300", LoadErrorKind::ValueOutOfRange, "value is out of range for BestPerfect (0 to 255)"},
      {"HPs1=32767.5", LoadErrorKind::ValueOutOfRange,
       "value is out of range for PlayCount (-32768 to 32767)"},
      {"SCORE11=2147483648", LoadErrorKind::ValueOutOfRange,
       "value is out of range for BestScore (-2147483648 to 2147483647)"},
      {"\\starts with a backslash", LoadErrorKind::NoTitle,
       "header line starts with the backslash, so it has no title"},
  };
  // Each line as plain ASCII and with a trailing あ (code page 932 bytes).
  const struct {
    std::string bytes;
    Text text;
  } tails[] = {{"", u""}, {"\x82\xA0", u"あ"}};
  for (const auto& tail : tails) {
    for (const auto& c : cases) {
      const LoadResult result = ParseScoreFile(std::string("[t\\]\r\nHPR2=9\r\n") + c.line + tail.bytes +
                                               "\r\nHPR3=1\r\n[u\\]\r\n");
      ASSERT_TRUE(result.error.has_value()) << c.line;
      EXPECT_EQ(result.error->kind, c.kind) << c.line;
      EXPECT_EQ(result.error->line, 3) << c.line;
      EXPECT_EQ(result.error->lineText, FromUtf8(c.line) + tail.text);
      EXPECT_EQ(result.error->reason, c.reason);
      EXPECT_FALSE(result.error->reasonJa.empty());
      // Nothing after the failing line was read.
      EXPECT_EQ(result.songs.SongCount(), 1) << c.line;
      EXPECT_EQ(result.songs[1].HiPerfect[3], 0) << c.line;
    }
  }
}

TEST(ScoreFile, ErrorsBeforeTheFirstHeaderDoNotCount) {
  // Key lines above any header are ignored, bad or not.
  EXPECT_EQ(MustParse("HPR9=5\r\nHPR1=999\r\n").SongCount(), 0);
}

TEST(ScoreFile, ErrorMessagesNameFileLineTextAndReason) {
  const auto dir = std::filesystem::temp_directory_path() / "quillbox score file test";
  std::filesystem::create_directories(dir);
  const auto file = dir / "hsc.ini";
  {
    std::ofstream out(file, std::ios::binary);
    out << Cp932File("[曲\\]\nHPR1=1\nHPR9=5\n");
  }
  const LoadResult result = LoadScoreFile(file);
  ASSERT_TRUE(result.error.has_value());
  EXPECT_EQ(DescribeLoadError(*result.error),
            file.string() +
                ":3: part number 9 is out of range (0 to 8): HPR9=5 -- if you edited the file by hand, fix this "
                "line and try again");
  const Text ja = DescribeLoadErrorJa(*result.error);
  EXPECT_NE(ja.find(FromUtf8(file.string())), Text::npos);
  EXPECT_NE(ja.find(u"行：3"), Text::npos);
  EXPECT_NE(ja.find(u"HPR9=5"), Text::npos);
  EXPECT_NE(ja.find(u"パート番号 9"), Text::npos);

  const LoadResult missing = LoadScoreFile(dir / "no such file.ini");
  ASSERT_TRUE(missing.error.has_value());
  EXPECT_EQ(missing.error->kind, LoadErrorKind::FileError);
  EXPECT_TRUE(DescribeLoadError(*missing.error)
                  .starts_with((dir / "no such file.ini").string() + ": No such file or directory -- "));

  const LoadResult directory = LoadScoreFile(dir);
  ASSERT_TRUE(directory.error.has_value());
  EXPECT_EQ(directory.error->kind, LoadErrorKind::FileError);
  std::filesystem::remove_all(dir);
}

// Every message a score file can cause ends with the one step to take next,
// fitted to what went wrong: the window's as its last paragraph, the report
// tool's as a clause after " -- ".
TEST(ScoreFile, EveryLoadErrorEndsWithItsNextStep) {
  using enum LoadErrorKind;
  using enum FileProblem;
  constexpr const char* kFixTheLine = "hsc.ini を手で書き換えた場合は、この行を直してから起動し直してください。";
  const struct {
    LoadErrorKind kind;
    FileProblem problem;
    const char* ja;
    const char* en;
  } cases[] = {
      {FileError, Missing, " を hsc.ini と同じフォルダーに置いて、起動し直してください。", "check the path"},
      {FileError, InUse, "ゲームを終了してから、起動し直してください。", "close the game"},
      {FileError, NoPermission, "hsc.ini のプロパティでアクセス許可を確認してください。", "permissions"},
      {FileError, Folder, "スコアファイル hsc.ini があるフォルダーに", "hsc.ini is a folder, not a file"},
      {FileError, NotAFolderOnPath, "ファイルの場所を確認して", "a part of it is a file"},
      {FileError, PathTooLong, "浅い場所に移すか", "move the folder"},
      {FileError, LinkLoop, "リンクの参照先を確認して", "symbolic links"},
      {FileError, ReadFailed, "ディスクの接続と状態を確認して", "check the disk"},
      {FileError, TooManyOpen, "ほかのアプリを終了してから、起動し直してください。", "close other programs"},
      {FileError, OutOfMemory, "ほかのアプリを終了してから、もう一度お試しください。", "close other programs"},
      {FileError, NotRegular, "hsc.ini がゲームのスコアファイルか確認してください。", "not a device or pipe"},
      {FileError, KeptChanging, "少し待ってから、もう一度お試しください。", "try again in a moment"},
      {FileError, NotScoreFile, "hsc.ini が hsc.ini か、バックアップした hsc.ini か確認してから、もう一度ドロップ", "hsc.ini or a backup"},
      {FileError, Other, "ファイルの場所と状態を確認して", "check the file"},
      {PartOutOfRange, None, kFixTheLine, "fix this line"},
      {RankOutOfRange, None, kFixTheLine, "fix this line"},
      {ValueOutOfRange, None, kFixTheLine, "fix this line"},
      {NoTitle, None, kFixTheLine, "fix this line"},
      {TooMany, None, "ゲームが書いたスコアファイルか確認してください。", "score file the game wrote"},
#ifdef _WIN32
      {NoDecoder, None, "日本語の言語サポートを追加して", "Japanese language support"},
#else
      {NoDecoder, None, "（Debian・Ubuntu では libc6、Fedora では glibc-gconv-extra）", "libc6"},
#endif
  };
  // Every kind and every file problem has its case.
  for (int kind = 0; kind < kLoadErrorKinds; ++kind) {
    for (int problem = 0; problem < kFileProblems; ++problem) {
      const bool exists = (kind == 0) != (problem == 0);  // a FileError, and only it, has a problem
      const auto listed = std::count_if(std::begin(cases), std::end(cases), [&](const auto& c) {
        return static_cast<int>(c.kind) == kind && static_cast<int>(c.problem) == problem;
      });
      EXPECT_EQ(listed, exists ? 1 : 0) << "kind " << kind << ", problem " << problem;
    }
  }
  for (const auto& c : cases) {
    LoadError error;
    error.kind = c.kind;
    error.problem = c.problem;
    error.path = std::filesystem::path("game") / "hsc.ini";
    error.line = c.kind == FileError || c.kind == NoDecoder ? 0 : 3;
    error.lineText = u"HPR9=5";
    error.reason = "what is wrong";
    error.reasonJa = u"理由の文";
    const Text ja = DescribeLoadErrorJa(error);
    const Text step = ja.substr(ja.rfind(u"\r\n\r\n") + 4);
    EXPECT_NE(step.find(test::U(c.ja)), Text::npos) << test::Show(ja);
    EXPECT_TRUE(step.ends_with(u"。")) << test::Show(ja);
    EXPECT_NE(ja.find(u"理由：理由の文。\r\n\r\n"), Text::npos) << test::Show(ja);
    const std::string en = DescribeLoadError(error);
    EXPECT_EQ(en.find('\n'), std::string::npos) << en;
    EXPECT_NE(en.find(std::string("what is wrong") + (error.line != 0 ? ": HPR9=5" : "") + " -- "), std::string::npos)
        << en;
    EXPECT_NE(en.substr(en.rfind(" -- ")).find(c.en), std::string::npos) << en;
  }
}

TEST(ScoreFile, DeepFolderWithJapaneseNameLoads) {
  // Over 260 characters in all: the old Windows path limit must not apply.
  std::filesystem::path dir = std::filesystem::temp_directory_path();
#ifdef _WIN32
  dir = std::filesystem::path(LR"(\\?\)" + std::filesystem::absolute(dir).wstring());
#endif
  const std::filesystem::path top = dir / std::filesystem::path(u8"quillbox 深い フォルダー");
  dir = top;
  for (int i = 0; i < 6; ++i) dir /= std::filesystem::path(u8"ゲームのフォルダー 名前が長い " + std::u8string(40, u8'x'));
  std::filesystem::create_directories(dir);
  ASSERT_GT(dir.native().size(), 300u);
  const std::string bytes = Cp932File("[深い曲\\]\nHPR1=7\n");
#ifdef _WIN32
  // The C runtime cannot create files this deep; the system call can.
  const HANDLE file = CreateFileW((dir / "hsc.ini").c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                  FILE_ATTRIBUTE_NORMAL, nullptr);
  ASSERT_NE(file, INVALID_HANDLE_VALUE);
  DWORD written = 0;
  WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
  CloseHandle(file);
#else
  std::ofstream(dir / "hsc.ini", std::ios::binary) << bytes;
#endif
  const LoadResult result = LoadScoreFile(dir / "hsc.ini");
  EXPECT_FALSE(result.error.has_value()) << (result.error ? DescribeLoadError(*result.error) : "");
  ASSERT_EQ(result.songs.SongCount(), 1);
  EXPECT_EQ(result.songs[1].Title, u"深い曲");
  EXPECT_EQ(result.songs[1].HiPerfect[1], 7);
  std::error_code ignored;  // clean-up only: the C runtime may not reach this deep either
  std::filesystem::remove_all(top, ignored);
}

TEST(ScoreFile, ControlCharactersInMessagesAreShownAsPictures) {
  LoadError error;
  error.kind = LoadErrorKind::PartOutOfRange;
  error.path = "f";
  error.line = 2;
  error.lineText = Text(u"HPR9=\t") + u'\0';
  error.reason = "r";
  EXPECT_TRUE(DescribeLoadError(error).starts_with("f:2: r: HPR9=\u2409\u2400 -- "));
  // A file's name may hold a line break too (a dropped file on Linux).
  const LoadError named = FileLoadError("d/a\nb", FileProblem::Folder, "r", u"r");
  EXPECT_EQ(DescribeLoadError(named), "d/a\u240Ab: r -- a\u240Ab is a folder, not a file: name the score file");
  EXPECT_NE(DescribeDropErrorJa(named).find(u"ファイル：d/a\u240Ab\r\n"), Text::npos);
}

TEST(Cp932, DecodesWithBackslashAndReplacesBadUnits) {
  const struct {
    std::string bytes;
    Text text;
  } cases[] = {
      {"a\\b~", u"a\\b~"},                   // 0x5C stays the backslash, never the yen sign
      {"\x95\x5C\x83\x5C", u"表ソ"},          // trail byte 0x5C is part of the character
      {"\x82\xA0", u"あ"},
      {"\xB1", u"ｱ"},                        // half-width katakana
      {"\x85\x40x", u"\uFFFDx"},             // unassigned pair: one unit, one replacement
      {"\x81", u"\uFFFD"},                   // lead byte at the end
      {"\x81\x0Dz", u"\uFFFD\rz"},           // lead byte without a trail keeps the next byte
      {std::string("a\0b", 3), Text(u"a\0b", 3)},
      // Single bytes without a character read the same on every platform...
      {"\x80|\xA0|\xFD|\xFE|\xFF", u"\uFFFD|\uFFFD|\uFFFD|\uFFFD|\uFFFD"},
      {"\x82\xA0\xA0\x82\xA0", u"あ\uFFFDあ"},
      // ...but 0x80 and 0xA0 as trail bytes belong to their character.
      {"\x81\x80\x88\xA0", u"÷唖"},
      {"\x81\xFD" "a", u"\uFFFD\uFFFDa"},  // 0xFD is no trail byte
  };
  for (const auto& c : cases) {
    EXPECT_EQ(DecodeCp932(c.bytes), c.text) << c.bytes;
  }
}

}  // namespace
}  // namespace quillbox

namespace quillbox {
namespace {

using std::chrono::milliseconds;
using namespace std::string_view_literals;

// A file whose stamp before and after each reading, and whose bytes, are
// set per opening.
class ChangingSource final : public ScoreSource {
 public:
  struct Opening {
    std::string bytes;
    FileStamp before, after;
    std::optional<FileStamp> settled;  // the stamp looked at once more, if it differs from `after`
  };
  explicit ChangingSource(std::vector<Opening> openings) : openings_(std::move(openings)) {}

  std::optional<LoadError> Open() override {
    if (opened_ == openings_.size()) return LoadError{};
    at_ = &openings_[opened_++];
    stamps_ = 0;
    offset_ = 0;
    return std::nullopt;
  }
  bool Stamp(FileStamp& stamp, int&) override {
    const int n = stamps_++;
    stamp = n == 0 ? at_->before : (n == 1 || !at_->settled ? at_->after : *at_->settled);
    return true;
  }
  bool Read(char* into, std::size_t size, std::size_t& got, int&) override {
    got = std::min<std::size_t>({size, 4096, at_->bytes.size() - offset_});  // less than was asked for
    at_->bytes.copy(into, got, offset_);
    offset_ += got;
    return true;
  }
  void Close() override {}
  std::size_t opened() const { return opened_; }

 private:
  std::vector<Opening> openings_;
  Opening* at_ = nullptr;
  std::size_t opened_ = 0;
  int stamps_ = 0;
  std::size_t offset_ = 0;
};

TEST(ScoreSource, AFileThatChangesWhileReadIsReadAgain) {
  const std::string half = "[a\\]\r\nHPR1=5\r\n";
  const std::string whole = half + "[b\\]\r\nHPR1=6\r\n";
  const std::string cut = half + "[b\\]\r\nHPR9";  // cut inside a line: an error of its own
  const FileStamp old{whole.size(), 1000, 0};
  const FileStamp grown{whole.size(), 1001, 0};
  const FileStamp recent{whole.size(), 2000, 0};  // 10 ms before the clock below
  using Opening = ChangingSource::Opening;
  const struct {
    const char* what;
    std::vector<Opening> openings;
    std::int32_t songs;                 // -1: the file kept changing
    std::vector<milliseconds> slept;
  } cases[] = {
      {"unchanged", {{whole, old, old, {}}}, 2, {}},
      {"grew while read", {{half, {half.size(), 1000, 0}, old, {}}, {whole, old, old, {}}}, 2, {milliseconds(25)}},
      {"rewritten, same size", {{whole, old, grown, {}}, {whole, grown, grown, {}}}, 2, {milliseconds(25)}},
      {"fewer bytes than its size", {{half, old, old, {}}, {whole, old, old, {}}}, 2, {milliseconds(25)}},
      {"cut line while written", {{cut, {cut.size(), 1000, 0}, old, {}}, {whole, old, old, {}}}, 2, {milliseconds(25)}},
      {"just written, then still", {{whole, recent, recent, {}}}, 2, {milliseconds(10)}},
      {"changed, then just written",
       {{half, {half.size(), 1000, 0}, old, {}}, {whole, recent, recent, {}}},
       2,
       {milliseconds(25), milliseconds(50)}},
      {"empty, then written", {{"", {0, 1000, 0}, {0, 1000, 0}, old}, {whole, old, old, {}}}, 2,
       {milliseconds(100), milliseconds(25)}},
      {"just written, then again",
       {{whole, recent, recent, grown}, {whole, old, old, {}}},
       2,
       {milliseconds(10), milliseconds(25)}},
      {"keeps changing",
       std::vector<Opening>(7, {whole, old, grown, {}}),
       -1,
       {milliseconds(25), milliseconds(50), milliseconds(100), milliseconds(150), milliseconds(250), milliseconds(400)}},
  };
  for (const auto& c : cases) {
    ChangingSource source(c.openings);
    std::vector<milliseconds> slept;
    RereadPolicy policy;
    policy.sleep = [&](milliseconds wait) { slept.push_back(wait); };
    policy.now = [] { return std::chrono::system_clock::time_point(std::chrono::seconds(2000) + milliseconds(10)); };
    const LoadResult result = LoadScoreSource(source, "hsc.ini", LoadMode::StartUp, policy);
    EXPECT_EQ(slept, c.slept) << c.what;
    EXPECT_EQ(source.opened(), c.openings.size()) << c.what;
    if (c.songs < 0) {
      ASSERT_TRUE(result.error.has_value()) << c.what;
      EXPECT_EQ(result.error->problem, FileProblem::KeptChanging);
      EXPECT_EQ(DescribeLoadError(*result.error),
                "hsc.ini: the file kept changing while it was read (the game seems to be saving it) -- try again in "
                "a moment");
      continue;
    }
    EXPECT_FALSE(result.error.has_value()) << c.what;
    EXPECT_EQ(result.songs.SongCount(), c.songs) << c.what;
  }
}

// Where a score file is asked for, a file that is none is refused; at
// start-up the same bytes are an empty table or odd titles, as the game's
// file is read.
TEST(ScoreSource, OnlyScoreFilesWhereAScoreFileIsAskedFor) {
  const struct {
    std::string bytes;
    std::int32_t startUpSongs;
    const char* refusal;  // nullptr: taken
  } cases[] = {
      {"", 0, "no song"},
      {"buy milk\r\nHPR1=5\r\n", 0, "no song"},
      {std::string("\x89PNG\r\n\x1a\n\0\0\0\rIHDR\\\r\n"sv), 1, "NUL byte"},
      {std::string("[a\\]\r\nHPR1=5\r\n") + std::string(300000, 'x') + std::string(1, '\0'), 1, "NUL byte"},
      {"[a\\]\r\nHPR1=5\r\n", 1, nullptr},
  };
  for (const auto& c : cases) {
    for (const LoadMode mode : {LoadMode::StartUp, LoadMode::ScoreFileOnly}) {
      const FileStamp stamp{c.bytes.size(), 1000, 0};
      ChangingSource source({{c.bytes, stamp, stamp, {}}});
      const LoadResult result = LoadScoreSource(source, "notes.txt", mode, RereadPolicy{});
      if (mode == LoadMode::StartUp || c.refusal == nullptr) {
        EXPECT_FALSE(result.error.has_value()) << c.bytes.size();
        EXPECT_EQ(result.songs.SongCount(), c.startUpSongs) << c.bytes.size();
        continue;
      }
      ASSERT_TRUE(result.error.has_value()) << c.bytes.size();
      EXPECT_EQ(result.error->problem, FileProblem::NotScoreFile);
      EXPECT_NE(DescribeLoadError(*result.error).find(c.refusal), std::string::npos);
      EXPECT_EQ(result.songs.SongCount(), 0);
    }
  }
}

// A real file rewritten by another thread, in pieces with a rest between
// rewrites, as a game saves: every table read is one of the two versions
// whole, never a part of one.
TEST(ScoreSource, AFileRewrittenWhileReadIsNeverShownHalfWritten) {
  auto table = [](int songs) {
    std::string bytes;
    for (int i = 0; i < songs; ++i) bytes += "[song " + std::to_string(i) + "\\]\r\nHPR1=5\r\nHPs1=7\r\n";
    return bytes;
  };
  const std::string versions[] = {table(3000), table(2000)};
  const auto file = std::filesystem::temp_directory_path() / ("quillbox rewritten " + std::to_string(
                                                                  std::hash<std::thread::id>{}(std::this_thread::get_id())));
  std::ofstream(file, std::ios::binary) << versions[0];
  std::atomic<bool> done = false;
  std::thread writer([&] {
    for (int n = 0; !done; ++n) {
      const std::string& bytes = versions[n % 2];
      std::ofstream out(file, std::ios::binary | std::ios::trunc);
      for (std::size_t at = 0; at < bytes.size(); at += 16384) {
        out.write(bytes.data() + at, static_cast<std::streamsize>(std::min<std::size_t>(16384, bytes.size() - at)));
        out.flush();
      }
      out.close();
      std::this_thread::sleep_for(milliseconds(80));
    }
  });
  int whole = 0;
  for (int i = 0; i < 30; ++i) {
    const LoadResult result = LoadScoreFile(file);
    if (result.error) {
      EXPECT_EQ(result.error->problem, FileProblem::KeptChanging) << DescribeLoadError(*result.error);
      continue;
    }
    const std::int32_t songs = result.songs.SongCount();
    EXPECT_TRUE(songs == 3000 || songs == 2000) << "read " << i << ": " << songs << " songs";
    whole += 1;
  }
  done = true;
  writer.join();
  std::filesystem::remove(file);
  EXPECT_GT(whole, 0);
}

}  // namespace
}  // namespace quillbox
