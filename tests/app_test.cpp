#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <new>

#include "core/App.h"
#include "core/FileTime.h"
#include "render/Compare.h"
#include "render/History.h"
#include "tests/support/HeapCount.h"
#include "tests/support/ScriptedRandom.h"
#include "tests/support/TestUtil.h"
#include "report/Console.h"
#include "report/TextWindow.h"
#include "scores/LoadMessages.h"

namespace quillbox {
namespace {

using test::ScriptedRandom;
using test::Show;
using test::U;

// The app's window in these tests: the version 0.90 and the test's folder as
// the program's, with another program's text on the clipboard.
TextWindow MakeWindow(const std::filesystem::path& directory) {
  TextWindow window({0, 90}, [directory] { return directory; });
  window.SetClipboard(u"old");
  return window;
}

class AppTest : public ::testing::Test {
 protected:
  void SetUp() override { std::filesystem::create_directories(dir_); }
  void TearDown() override { std::filesystem::remove_all(dir_); }

  void WriteScores(std::string_view utf8) {
    std::ofstream(dir_ / "hsc.ini", std::ios::binary) << test::Cp932File(utf8);
  }

  std::filesystem::path dir_ =
      std::filesystem::temp_directory_path() /
      ("quillbox app test " + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) +
       ::testing::UnitTest::GetInstance()->current_test_info()->name());
  TextWindow window_ = MakeWindow(dir_);
  ScriptedRandom random_;
};

constexpr const char* kTwoSongs =
    "[First\\]\nHPR1=12\nHPs2=3\nSCORE11=812340\nPR11=12\n[表ソ\\]\nHPR8=1\nHPs8=-1\n";

TEST_F(AppTest, StartUpSetsCaptionMarksOptionAndShowsHiPerfectChart) {
  WriteScores(kTwoSongs);
  App app(window_, random_);
  ASSERT_TRUE(app.Form_Load());
  EXPECT_EQ(window_.caption(), u"くいるぼっくす！   Ver 0.90");
  EXPECT_EQ(window_.log(), "caption;mark;disp;");
  EXPECT_TRUE(window_.errors().empty());
  EXPECT_EQ(window_.disp(), ChartText(app.songs(), 0));
  EXPECT_EQ(app.songs().SongCount(), 2);
  EXPECT_EQ(app.songs()[2].Title, u"表ソ");
}

TEST_F(AppTest, LoadFailureSetsCaptionOnlyAndReports) {
  const struct {
    const char* file;  // nullptr: no file at all
    const char* mustMention;
  } cases[] = {
      // Common reasons in Japanese alone, without the system's English words.
      {nullptr, "理由：ファイルが見つかりません。\r\n"},
      {"[a\\]\nHPR9=5\n", "行：2"},
      {"[a\\]\nPR41=5\n", "順位番号 4"},
      {"[a\\]\nHPR1=256\n", "HPR1=256"},
      // The key as the line shows it; a value below the range does not "exceed" it.
      {"[a\\]\nHPs1=-40000\n", "理由：HPs（プレイ回数）の値が範囲外です（-32768～32767）。\r\n"},
      {"[a\\]\nHPR1=-1\n", "理由：HPR（ハイパーフェクト）の値が範囲外です（0～255）。\r\n"},
      {"[a\\]\nSCORE11=9999999999\n", "理由：SCORE（ベストスコア）の値が範囲外です（-2147483648～2147483647）。\r\n"},
      {"[a\\]\n\\b\n", "曲名がありません"},
  };
  for (const auto& c : cases) {
    std::filesystem::remove(dir_ / "hsc.ini");
    if (c.file != nullptr) WriteScores(c.file);
    TextWindow window = MakeWindow(dir_);
    App app(window, random_);
    EXPECT_FALSE(app.Form_Load());
    EXPECT_EQ(window.log(), "caption;error;") << c.mustMention;
    EXPECT_FALSE(window.marked());
    EXPECT_TRUE(window.disp().empty());
    ASSERT_EQ(window.errors().size(), 1u);
    EXPECT_NE((window.errors()[0] + u"\r\n").find(U(c.mustMention)), Text::npos) << Show(window.errors()[0]);
    EXPECT_NE(window.errors()[0].find(FromUtf8((dir_ / "hsc.ini").string())), Text::npos);
  }
}

TEST_F(AppTest, DispatchRunsTheOptionsView) {
  WriteScores(kTwoSongs);
  App app(window_, random_);
  ASSERT_TRUE(app.Form_Load());
  PartNames names;
  InitPartNames(names);
  Ranks ranks;
  InitRanks(ranks);
  const Songs& songs = app.songs();

  for (const std::int16_t mode : std::initializer_list<std::int16_t>{1, 2, 0, 1, 1}) {
    window_.SetDispText({});
    app.Radio_MouseDown(mode, /*button=*/2, /*shift=*/1, 3.5f, 4.5f);
    EXPECT_EQ(window_.disp(), ChartText(songs, mode)) << mode;
  }
  app.Radio_MouseDown(3);
  EXPECT_EQ(window_.disp(), RankSummaryText(songs, ranks));

  random_.draws = {0.99f, 0.5f};  // song 2, part 5
  app.Radio_MouseDown(4);
  EXPECT_EQ(window_.disp(), *PartDetailText(songs, names, 2, 5));

  // Highest count 3: song 2 part 8 at -1 weighs 5, the last five entries.
  random_.draws = {0x1.fffffep-1f};
  app.Radio_MouseDown(5);
  EXPECT_EQ(window_.disp(), *PartDetailText(songs, names, 2, 8));

  window_.ClearLog();
  for (const std::int16_t index : std::initializer_list<std::int16_t>{6, -1, 100, -32768, 32767}) {
    app.Radio_MouseDown(index);
  }
  EXPECT_EQ(window_.log(), "");
}

TEST_F(AppTest, PicksOnAnEmptyTableLeaveTheTextAlone) {
  WriteScores("; nothing here\n");
  App app(window_, random_);
  ASSERT_TRUE(app.Form_Load());
  const Text chart = window_.disp();
  EXPECT_EQ(chart, U("  MRL TPZ ONX PIP   SRN LUM BRI NOV\r\n+-----------------+-----------------+\r\n"
                     "+-----------------+-----------------+\r\n"));
  app.Radio_MouseDown(4);
  app.Radio_MouseDown(5);
  EXPECT_EQ(window_.disp(), chart);
  EXPECT_TRUE(window_.errors().empty());
  app.Radio_MouseDown(3);  // nine lines even without songs
  EXPECT_EQ(std::count(window_.disp().begin(), window_.disp().end(), u'\n'), 13);
}

TEST_F(AppTest, CopyAppendsTheSignatureLine) {
  WriteScores(kTwoSongs);
  App app(window_, random_);
  ASSERT_TRUE(app.Form_Load());
  const Text signature = u"dori-fen record chart \"quillbox!\" 0.90\r\n";
  ASSERT_EQ(signature.size(), 40u);

  window_.ClearLog();
  app.Command1_Click();
  EXPECT_EQ(window_.log(), "replace;");
  EXPECT_EQ(window_.clipboard(), ChartText(app.songs(), 0) + signature);
  EXPECT_EQ(window_.disp(), ChartText(app.songs(), 0));  // the box is not touched

  window_.SetDispText(
      u"1 : x / NOVA\r\n\r\nplayed 0 times\r\n\r\nHi perfect 0\r\n\r\nscore best3\r\n  1 : 0(0)");
  app.Command1_Click();
  EXPECT_EQ(window_.clipboard(), window_.disp() + signature);  // signature right after ")"

  window_.SetDispText({});
  app.Command1_Click();
  EXPECT_EQ(window_.clipboard(), signature);
}

TEST_F(AppTest, FailedCopyChangesNothingAndSaysWhy) {
  WriteScores(kTwoSongs);
  App app(window_, random_);
  ASSERT_TRUE(app.Form_Load());
  // Only a busy clipboard is blamed on another program.
  for (const auto& [result, message] : {std::pair{ClipboardResult::Busy, AppMessage::ClipboardBusy},
                                        std::pair{ClipboardResult::OutOfMemory, AppMessage::ClipboardOutOfMemory}}) {
    window_.SetClipboardResult(result);
    window_.ClearLog();
    app.Command1_Click();
    EXPECT_EQ(window_.log(), "replace;error;");
    EXPECT_EQ(window_.clipboard(), u"old");
    EXPECT_EQ(window_.errors().back(), AppMessageText(message));
  }
  EXPECT_EQ(AppMessageText(AppMessage::ClipboardOutOfMemory).find(u"ほかのプログラム"), Text::npos);

  // A text that cannot be built leaves the user's clipboard alone.
  window_.SetClipboardResult(ClipboardResult::Replaced);
  window_.SetDispTooLarge(true);
  window_.ClearLog();
  app.Command1_Click();
  EXPECT_EQ(window_.log(), "error;");
  EXPECT_EQ(window_.clipboard(), u"old");
}

// Stands in for a table so large that building a view runs out of memory.
class ExhaustedRandom final : public RandomSource {
 public:
  void Reseed() override {}
  float Draw() override { throw std::bad_alloc(); }
};

TEST_F(AppTest, OutOfMemoryInAViewIsReportedAndChangesNothing) {
  WriteScores(kTwoSongs);
  ExhaustedRandom exhausted;
  App app(window_, exhausted);
  ASSERT_TRUE(app.Form_Load());
  const Text chart = window_.disp();
  window_.ClearLog();
  app.Radio_MouseDown(4);
  app.Radio_MouseDown(5);
  EXPECT_EQ(window_.log(), "error;error;");
  EXPECT_EQ(window_.disp(), chart);
  ASSERT_EQ(window_.errors().size(), 2u);
  EXPECT_NE(window_.errors()[0].find(u"メモリ"), Text::npos);
}

// A drop changes the text box only, and only when every dropped file loads.
TEST_F(AppTest, DroppedFilesShowTheirComparisonOrLeaveTheBoxAlone) {
  WriteScores(kTwoSongs);
  App app(window_, random_);
  ASSERT_TRUE(app.Form_Load());
  const auto write = [this](const char* name, std::string_view utf8) {
    std::ofstream(dir_ / name, std::ios::binary) << test::Cp932File(utf8);
    return dir_ / name;
  };
  const auto backup = write("backup.ini", "[First\\]\nHPR1=10\nPR11=12\n");
  const auto bad = write("bad.ini", "[a\\]\nHPR9=5\n");
  const auto notes = write("notes.txt", "buy milk\nHPR1=5\n");
  const auto picture = dir_ / "picture.png";  // binary, with a backslash that would make a song
  std::ofstream(picture, std::ios::binary) << std::string_view("\x89PNG\r\n\0\0[x\\]\r\n", 14);
  std::filesystem::create_directories(dir_ / "folder");
  const Text chart = window_.disp();

  const struct {
    std::vector<std::filesystem::path> files;
    const char* mustMention;  // in the one message; nullptr: no message, the comparison shown
  } cases[] = {
      {{backup}, nullptr},
      // The dropped file named, and what to do with it; no restart.
      {{bad}, "行：2\r\n内容：HPR9=5\r\n理由：パート番号 9 は範囲外です（0～8）。\r\n\r\n"
              "bad.ini が hsc.ini かバックアップした hsc.ini か確認してから、もう一度ドロップしてください。"},
      {{backup, bad}, "行：2"},
      {{backup, dir_ / "folder"}, "フォルダーは読み込めません。ドロップできるのはファイルだけです。"},
      // Gone between the drag and the drop: told as missing, not as start-up's advice.
      {{dir_ / "gone.ini"}, "理由：ファイルが見つかりません。\r\n\r\ngone.ini がその場所にあるか確認してから、もう一度ドロップしてください。"},
      {{notes}, "notes.txt が hsc.ini かバックアップした hsc.ini か確認してから、もう一度ドロップしてください。"},
      {{backup, picture}, "NUL バイト"},
  };
  Ranks ranks;
  InitRanks(ranks);
  PartNames names;
  InitPartNames(names);
  for (const auto& c : cases) {
    TextWindow window = MakeWindow(dir_);
    App dropped(window, random_);
    ASSERT_TRUE(dropped.Form_Load());
    window.ClearLog();
    dropped.Form_DropFiles(c.files);
    if (c.mustMention == nullptr) {
      EXPECT_EQ(window.log(), "disp;");  // the mark stays where it was
      const Songs old = LoadScoreFile(backup).songs;
      EXPECT_EQ(window.disp(), ComparisonText(old, dropped.songs(), names, CompareTables(old, dropped.songs(), ranks),
                                                Language::Japanese));
      dropped.Radio_MouseDown(0);
      EXPECT_EQ(window.disp(), chart);
    } else {
      EXPECT_EQ(window.log(), "error;");
      EXPECT_EQ(window.disp(), chart);
      ASSERT_EQ(window.errors().size(), 1u);
      EXPECT_NE(window.errors()[0].find(U(c.mustMention)), Text::npos) << Show(window.errors()[0]);
    }
  }
}

// Two or more dropped files: their history, oldest first whatever the drop's
// order, then the loaded file; the mark stays where it was.
TEST_F(AppTest, DroppedFilesShowTheirHistoryOldestFirst) {
  WriteScores(kTwoSongs);
  App app(window_, random_);
  ASSERT_TRUE(app.Form_Load());
  const char* const files[] = {"new.ini", "old.ini", "mid.ini"};
  const auto now = std::filesystem::file_time_type::clock::now();
  for (int i = 0; i < 3; ++i) {
    std::ofstream(dir_ / files[i], std::ios::binary) << test::Cp932File("[First\\]\nHPR1=" + std::to_string(i) + "\n");
  }
  std::filesystem::last_write_time(dir_ / "old.ini", now - std::chrono::hours(3));
  std::filesystem::last_write_time(dir_ / "mid.ini", now - std::chrono::hours(2));
  std::filesystem::last_write_time(dir_ / "new.ini", now - std::chrono::hours(1));
  // The game saves after start-up: the loaded table keeps the date it was read with.
  const ScoreSnapshot loaded{PathForUser(dir_ / "hsc.ini"), ModifiedText(dir_ / "hsc.ini").value_or(Text()),
                             app.songs()};
  WriteScores("[First\\]\nHPR1=50\n");
  std::filesystem::last_write_time(dir_ / "hsc.ini", now + std::chrono::hours(2));
  window_.ClearLog();
  app.Form_DropFiles({dir_ / "new.ini", dir_ / "old.ini", dir_ / "mid.ini"});
  EXPECT_EQ(window_.log(), "disp;");

  std::vector<ScoreSnapshot> expected;
  for (const char* name : {"old.ini", "mid.ini", "new.ini"}) {
    expected.push_back({PathForUser(dir_ / name), ModifiedText(dir_ / name).value_or(Text()),
                        LoadScoreFile(dir_ / name).songs});
  }
  Ranks ranks;
  InitRanks(ranks);
  expected.push_back(loaded);
  EXPECT_EQ(window_.disp(), HistoryText(expected, ranks, Language::Japanese)) << Show(window_.disp());

  // hsc.ini dropped among them is read now and listed once, last.
  app.Form_DropFiles({dir_ / "new.ini", dir_ / "hsc.ini", dir_ / "old.ini", dir_ / "mid.ini"});
  expected.back() = {PathForUser(dir_ / "hsc.ini"), ModifiedText(dir_ / "hsc.ini").value_or(Text()),
                     LoadScoreFile(dir_ / "hsc.ini").songs};
  EXPECT_EQ(window_.disp(), HistoryText(expected, ranks, Language::Japanese)) << Show(window_.disp());
  // Alone, it shows what changed since start-up.
  app.Form_DropFiles({dir_ / "hsc.ini"});
  PartNames names;
  InitPartNames(names);
  const Songs& current = expected.back().songs;
  EXPECT_EQ(window_.disp(), ComparisonText(loaded.songs, current, names, CompareTables(loaded.songs, current, ranks),
                                            Language::Japanese));
}

// A history of many dropped files holds two of their tables at a time, not all.
TEST_F(AppTest, DroppedHistoryHoldsTwoTablesAtATime) {
  WriteScores(kTwoSongs);
  App app(window_, random_);
  ASSERT_TRUE(app.Form_Load());
  std::string big;
  for (int song = 0; song < 3000; ++song) big.append("[s").append(std::to_string(song)).append("\\]\nHPR1=1\n");
  std::vector<std::filesystem::path> files;
  for (const char* name : {"b0.ini", "b1.ini", "b2.ini", "b3.ini", "b4.ini", "b5.ini"}) {
    files.push_back(dir_ / name);
    std::ofstream(files.back(), std::ios::binary) << big;
  }
  const auto peakOf = [&](std::size_t count) {
    test::ResetPeakLiveBytes();
    const std::int64_t before = test::PeakLiveBytes();
    app.Form_DropFiles({files.begin(), files.begin() + static_cast<std::ptrdiff_t>(count)});
    return test::PeakLiveBytes() - before;
  };
  const std::int64_t table = [&] {
    test::ResetPeakLiveBytes();
    const std::int64_t before = test::PeakLiveBytes();
    const Songs songs = LoadScoreFile(files.front()).songs;
    return test::PeakLiveBytes() - before;
  }();
  const std::int64_t two = peakOf(2);
  const std::int64_t six = peakOf(6);
  EXPECT_LT(six - two, table) << "two files: " << two << " bytes at most, six: " << six << ", a table: " << table;
}

// One word per thing in every Japanese message: アプリ for other programs,
// 表示します, the backup named alike, a full-width colon after Japanese.
TEST(Wording, EveryJapaneseMessageKeepsToOneWordPerThing) {
  std::vector<Text> messages{kDoubleClickHelp};
  for (int m = 0; m < kAppMessages; ++m) messages.push_back(AppMessageText(static_cast<AppMessage>(m), u"詳細"));
  std::vector<LoadError> errors;
  for (int p = 1; p < kFileProblems; ++p)
    errors.push_back(FileLoadError("hsc.ini", static_cast<FileProblem>(p), "why", u"理由"));
  for (int k = 1; k < kLoadErrorKinds; ++k)
    errors.push_back({static_cast<LoadErrorKind>(k), FileProblem::None, "hsc.ini", 2, u"HPR9=5", "why", u"理由"});
  for (const char* bytes : {"[a\\]\nPR11=300\n", "[a\\]\nHPs1=-40000\n"})
    errors.push_back(*ParseScoreFile(bytes).error);
  for (const LoadError& error : errors) {
    messages.push_back(DescribeLoadErrorJa(error));
    messages.push_back(DescribeDropErrorJa(error));
    messages.push_back(DescribeReloadErrorJa(error));
  }
  EXPECT_NE(messages.back().find(u"HPs（プレイ回数）の値が"), Text::npos) << Show(messages.back());
  for (const Text& message : messages) {
    for (const char16_t* banned : {u"プログラム", u"出します", u"バックアップの hsc.ini"})
      EXPECT_EQ(message.find(banned), Text::npos) << Show(message);
    for (std::size_t i = 1; i < message.size(); ++i)
      EXPECT_FALSE(message[i] == u':' && message[i - 1] >= 0x3000) << Show(message);
  }
}

// F5 through a session: each reload is told against the start-up table, the
// views then show the newest, a failed reload changes nothing, and a dropped
// backup is compared with the newest table.
TEST_F(AppTest, ReloadShowsTheSessionsChangesAndSwapsInTheNewTable) {
  WriteScores(kTwoSongs);
  App app(window_, random_);
  ASSERT_TRUE(app.Form_Load());
  const Songs start = app.songs();
  Ranks ranks;
  InitRanks(ranks);
  PartNames names;
  InitPartNames(names);
  const auto sinceStart = [&](const Songs& now) {
    return ComparisonText(start, now, names, CompareTables(start, now, ranks), Language::Japanese);
  };

  // Unchanged: the box says so, as compare does.
  app.Form_Reload();
  EXPECT_EQ(window_.disp(), sinceStart(start)) << Show(window_.disp());

  for (const char* hpr : {"40", "55"}) {
    WriteScores(std::string("[First\\]\nHPR1=") + hpr + "\nPR11=20\n[表ソ\\]\nHPR8=1\n[New\\]\nHPR3=7\n");
    window_.ClearLog();
    app.Form_Reload();
    EXPECT_EQ(window_.log(), "disp;");
    const Songs now = LoadScoreFile(dir_ / "hsc.ini").songs;
    EXPECT_EQ(window_.disp(), sinceStart(now)) << Show(window_.disp());
    EXPECT_NE(window_.disp(), sinceStart(start));
    app.Radio_MouseDown(0);
    EXPECT_EQ(window_.disp(), ChartText(now, 0));
  }
  app.Command1_Click();
  EXPECT_EQ(window_.clipboard(), window_.disp() + u"dori-fen record chart \"quillbox!\" 0.90\r\n");

  // A bad file: its message, naming the file, and nothing else changes.
  const Text shown = window_.disp();
  WriteScores("[First\\]\nHPR9=1\n");
  window_.ClearLog();
  app.Form_Reload();
  EXPECT_EQ(window_.log(), "error;");
  ASSERT_EQ(window_.errors().size(), 1U);
  EXPECT_NE(window_.errors().back().find(PathForUser(dir_ / "hsc.ini")), Text::npos);
  EXPECT_NE(window_.errors().back().find(u"F5"), Text::npos);
  EXPECT_EQ(window_.disp(), shown);
  EXPECT_EQ(app.songs().SongCount(), 3);

  // A backup dropped after the reload is compared with the newest table.
  std::ofstream(dir_ / "old.ini", std::ios::binary) << test::Cp932File(kTwoSongs);
  app.Form_DropFiles({dir_ / "old.ini"});
  EXPECT_EQ(window_.disp(),
            ComparisonText(start, app.songs(), names, CompareTables(start, app.songs(), ranks), Language::Japanese));
}

// Reloads hold the start-up table and the newest, never one per reload.
TEST_F(AppTest, ReloadsHoldTwoTables) {
  std::string big;
  for (int song = 0; song < 3000; ++song) big.append("[s").append(std::to_string(song)).append("\\]\nHPR1=1\n");
  std::ofstream(dir_ / "hsc.ini", std::ios::binary) << big;
  App app(window_, random_);
  ASSERT_TRUE(app.Form_Load());
  // What the heap holds once a reload has finished.
  const auto liveAfterReload = [&] {
    app.Form_Reload();
    test::ResetPeakLiveBytes();
    return test::PeakLiveBytes();
  };
  liveAfterReload();
  const std::int64_t second = liveAfterReload();
  for (int i = 0; i < 4; ++i) liveAfterReload();
  EXPECT_LT(liveAfterReload() - second, 1 << 16) << "after the second reload: " << second << " bytes";
}

// Each message of the app says what went wrong, then, after a blank line,
// the one step to take next.
TEST(AppMessageText, EveryMessageEndsWithItsNextStep) {
  const struct {
    AppMessage message;
    const char* what;
    const char* step;
  } cases[] = {
      {AppMessage::OutOfMemory, "メモリが足りない", "ほかのアプリを終了してから、もう一度お試しください。"},
      {AppMessage::RankOverflow, "段位を計算できませんでした。", "段位以外の表示はそのまま使えます。"},
      {AppMessage::ClipboardBusy, "ほかのアプリがクリップボードを使っています。", "少し待ってから、もう一度コピーしてください。"},
      {AppMessage::ClipboardOutOfMemory, "メモリが足りません。", "ほかのアプリを終了してから、もう一度コピーしてください。"},
      {AppMessage::Unfinished, "処理を完了できませんでした。",
       "もう一度お試しください。続くときは、くいるぼっくす！を起動し直してください。"},
      {AppMessage::NoWindow, "ウィンドウを作成できませんでした。", "ほかのアプリを終了してから、起動し直してください。"},
      {AppMessage::DroppedNotAFile, "ファイルでないもの",
       "バックアップした hsc.ini のファイルそのものをウィンドウへドラッグ＆ドロップしてください。"},
      {AppMessage::DroppedFolder, "フォルダーは読み込めません。",
       "フォルダーを開いて、バックアップした hsc.ini のファイルそのものをウィンドウへドラッグ＆ドロップしてください。"},
  };
  ASSERT_EQ(std::size(cases), static_cast<std::size_t>(kAppMessages));
  for (const auto& c : cases) {
    const Text text = AppMessageText(c.message);
    const std::size_t blank = text.find(u"\r\n\r\n");
    ASSERT_NE(blank, Text::npos) << Show(text);
    EXPECT_NE(text.substr(0, blank).find(U(c.what)), Text::npos) << Show(text);
    EXPECT_EQ(text.substr(blank + 4), U(c.step));
  }
  // The failure's own words stand between what went wrong and the step.
  EXPECT_TRUE(AppMessageText(AppMessage::Unfinished, u"no clock").starts_with(u"処理を完了できませんでした。\r\nno clock\r\n\r\n"));
}

TEST(VersionText, MinorHasAtLeastTwoDigits) {
  const struct {
    std::int16_t major, minor;
    const char16_t* text;
  } cases[] = {{0, 90, u"0.90"}, {0, 5, u"0.05"}, {1, 0, u"1.00"}, {2, 123, u"2.123"}, {10, 7, u"10.07"}, {0, -5, u"0.-05"}};
  for (const auto& c : cases) EXPECT_EQ(VersionText({c.major, c.minor}), c.text);
}

}  // namespace
}  // namespace quillbox
