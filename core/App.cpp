#include "core/App.h"

#include <algorithm>
#include <new>
#include <system_error>

#include "base/Numbers.h"
#include "core/ProgramDirectory.h"
#include "core/FileTime.h"
#include "render/Compare.h"
#include "render/History.h"

namespace quillbox {

Text AppMessageText(AppMessage message, const Text& detail) {
  const Text details = detail.empty() ? Text() : u"\r\n" + detail;
  switch (message) {
    // A table built from a huge score file can make a view's text too big
    // for memory; the user is told and the text box keeps what it had.
    case AppMessage::OutOfMemory:
      return u"メモリが足りないため、処理を完了できませんでした。\r\n\r\n"
             u"ほかのアプリを終了してから、もう一度お試しください。";
    // Only hundreds of thousands of songs reach this; every other view
    // reads the same table without sums this large.
    case AppMessage::RankOverflow:
      return u"段位を計算できませんでした。曲が多すぎて、合計が計算できる範囲を超えています。\r\n\r\n"
             u"段位以外の表示はそのまま使えます。";
    case AppMessage::ClipboardBusy:
      return u"コピーできませんでした。ほかのアプリがクリップボードを使っています。\r\n\r\n"
             u"少し待ってから、もう一度コピーしてください。";
    case AppMessage::ClipboardOutOfMemory:
      return u"コピーできませんでした。メモリが足りません。\r\n\r\n"
             u"ほかのアプリを終了してから、もう一度コピーしてください。";
    // Nothing the user did can be named, but starting afresh clears
    // whatever state the failure left.
    case AppMessage::Unfinished:
      return u"処理を完了できませんでした。" + details +
             u"\r\n\r\nもう一度お試しください。続くときは、くいるぼっくす！を起動し直してください。";
    case AppMessage::DroppedNotAFile:
      return u"ファイルでないものは読み込めません。ドロップできるのはファイルだけです。" + details +
             u"\r\n\r\nバックアップした hsc.ini のファイルそのものをウィンドウへドラッグ＆ドロップしてください。";
    case AppMessage::DroppedFolder:
      return u"フォルダーは読み込めません。ドロップできるのはファイルだけです。" + details +
             u"\r\n\r\nフォルダーを開いて、バックアップした hsc.ini のファイルそのものをウィンドウへドラッグ＆ドロップしてください。";
    case AppMessage::NoWindow:
      return u"ウィンドウを作成できませんでした。" + details +
             u"\r\n\r\nほかのアプリを終了してから、起動し直してください。";
  }
  return {};
}

Text VersionText(VersionNumbers version) {
  // The "00" format: at least two digits, the sign (if any) before them.
  const int magnitude = version.minor < 0 ? -version.minor : version.minor;
  Text text = Decimal(version.major);
  text += u'.';
  if (version.minor < 0) text += u'-';
  if (magnitude < 10) text += u'0';
  text += Decimal(magnitude);
  return text;
}

App::App(WindowOps& window, RandomSource& random, std::optional<std::filesystem::path> scoreFile)
    : window_(window), random_(random), scoreFile_(std::move(scoreFile)) {}

std::filesystem::path App::ScoreFilePath() const {
  return scoreFile_ ? *scoreFile_ : ScoreFileFor(window_.ProgramDirectory());
}

bool App::Form_Load() {
  window_.SetCaption(window_.GetCaption() + kCaptionSuffix + VersionText(window_.ProgramVersion()));
  InitRanks(ranks_);
  InitPartNames(partNames_);

  // Taken before the read: a save by the game during it must not lend the
  // table a later date than its numbers have.
  songsModified_ = ModifiedText(ScoreFilePath()).value_or(Text());
  LoadResult loaded = LoadScoreFile(ScoreFilePath());
  if (loaded.error) {
    // Nothing half-loaded is kept: no view is ever shown from a bad file.
    loadError_ = std::move(loaded.error);
    window_.ShowError(DescribeLoadErrorJa(*loadError_));
    return false;
  }
  songs_ = std::move(loaded.songs);

  window_.MarkFirstOption();
  try {
    ShowChart(kHiPerfectChart);
  } catch (const std::bad_alloc&) {
    window_.ShowError(AppMessageText(AppMessage::OutOfMemory));
  }
  return true;
}

void App::Radio_MouseDown(std::int16_t index, std::int16_t, std::int16_t, float, float) {
  try {
    switch (index) {
      case 0:
      case 1:
      case 2: ShowChart(index); break;
      case 3: ShowRankSummary(); break;
      case 4: PickRandomPart(); break;
      case 5: PickWeightedPart(); break;
      default: break;
    }
  } catch (const std::bad_alloc&) {
    window_.ShowError(AppMessageText(AppMessage::OutOfMemory));
  }
}

void App::Command1_Click() {
  // The whole text first: should building it fail, the user's clipboard
  // must still hold what it held.
  Text text;
  try {
    text = window_.GetDispText();
    text += kSignature;
    text += VersionText(window_.ProgramVersion()) + u"\r\n";
  } catch (const std::bad_alloc&) {
    window_.ShowError(AppMessageText(AppMessage::OutOfMemory));
    return;
  }
  switch (window_.ReplaceClipboardText(text)) {
    case ClipboardResult::Replaced: break;
    case ClipboardResult::Busy: window_.ShowError(AppMessageText(AppMessage::ClipboardBusy)); break;
    case ClipboardResult::OutOfMemory: window_.ShowError(AppMessageText(AppMessage::ClipboardOutOfMemory)); break;
  }
}

Text PathForUser(const std::filesystem::path& path) {
  const auto u8 = path.u8string();
  return FromUtf8(std::string_view(reinterpret_cast<const char*>(u8.data()), u8.size()));
}

std::optional<Songs> App::LoadDropped(const std::filesystem::path& file, LoadMode mode) {
  LoadResult loaded = LoadScoreFile(file, mode);
  if (loaded.error) {
    window_.ShowError(DescribeDropErrorJa(*loaded.error));
    return std::nullopt;
  }
  return std::move(loaded.songs);
}

// Oldest first by modification time (ties keep the drop's order), then the
// current file; each named and dated as the report tool names and dates it.
std::optional<Text> App::HistoryOf(const std::vector<std::filesystem::path>& files, Songs& current,
                                   const Text& currentModified) {
  std::vector<std::size_t> order(files.size());
  std::vector<std::filesystem::file_time_type> times(files.size());
  for (std::size_t i = 0; i < files.size(); ++i) {
    order[i] = i;
    std::error_code error;
    times[i] = std::filesystem::last_write_time(files[i], error);
  }
  std::stable_sort(order.begin(), order.end(), [&](std::size_t a, std::size_t b) { return times[a] < times[b]; });
  History history;
  Songs previous;
  for (const std::size_t i : order) {
    const Text modified = ModifiedText(files[i]).value_or(Text());
    std::optional<Songs> loaded = LoadDropped(files[i]);
    if (!loaded) return std::nullopt;
    ScoreSnapshot snapshot{PathForUser(files[i]), modified, std::move(*loaded)};
    AddToHistory(history, snapshot, history.files.empty() ? nullptr : &previous, ranks_);
    previous = std::move(snapshot.songs);
  }
  // Lent to the snapshot and given back, so that no third table is made.
  ScoreSnapshot last{PathForUser(ScoreFilePath()), currentModified, std::move(current)};
  struct GiveBack {
    Songs& to;
    Songs& from;
    ~GiveBack() { to = std::move(from); }
  } giveBack{current, last.songs};
  AddToHistory(history, last, &previous, ranks_);
  return HistoryText(history, Language::Japanese);
}

namespace {

// Whether `file` is the file the table was loaded from, by any name.
bool IsSameFile(const std::filesystem::path& file, const std::filesystem::path& loaded) {
  std::error_code error;
  return std::filesystem::equivalent(file, loaded, error) && !error;
}

}  // namespace

void App::Form_DropFiles(const std::vector<std::filesystem::path>& files) {
  if (files.empty()) return;
  try {
    // Refused before any file is read, so that a folder among good files
    // does not cost the user a wait for nothing. A file that is gone is left
    // to the loader, which tells it as missing.
    for (const std::filesystem::path& file : files) {
      std::error_code error;
      const std::filesystem::file_status status = std::filesystem::status(file, error);
      if (std::filesystem::is_directory(status)) {
        window_.ShowError(AppMessageText(AppMessage::DroppedFolder, PathForUser(file)));
        return;
      }
      if (std::filesystem::exists(status) && !std::filesystem::is_regular_file(status)) {
        window_.ShowError(AppMessageText(AppMessage::DroppedNotAFile, PathForUser(file)));
        return;
      }
    }
    // The loaded file dropped again is read now and stands last, as the
    // current file, instead of a second row beside the start-up table.
    const std::filesystem::path loadedPath = ScoreFilePath();
    std::vector<std::filesystem::path> backups;
    for (const std::filesystem::path& file : files) {
      if (!IsSameFile(file, loadedPath)) backups.push_back(file);
    }
    std::optional<Songs> fresh;
    Text freshModified;
    if (backups.size() < files.size()) {
      freshModified = ModifiedText(loadedPath).value_or(Text());
      fresh = LoadDropped(loadedPath, LoadMode::StartUp);
      if (!fresh) return;
    }
    if (backups.empty()) {
      // Only the loaded file: what changed since start-up.
      const Songs& start = startSongs_ ? *startSongs_ : songs_;
      window_.SetDispText(ComparisonText(start, *fresh, partNames_, CompareTables(start, *fresh, ranks_),
                                        Language::Japanese));
      return;
    }
    if (files.size() == 1) {
      const std::optional<Songs> dropped = LoadDropped(files.front());
      if (!dropped) return;
      window_.SetDispText(ComparisonText(*dropped, songs_, partNames_, CompareTables(*dropped, songs_, ranks_),
                                        Language::Japanese));
      return;
    }
    const std::optional<Text> text =
        fresh ? HistoryOf(backups, *fresh, freshModified) : HistoryOf(backups, songs_, songsModified_);
    if (text) window_.SetDispText(*text);
  } catch (const std::bad_alloc&) {
    window_.ShowError(AppMessageText(AppMessage::OutOfMemory));
  }
}

void App::Form_Reload() {
  if (loadError_) return;  // no table, no window to reload into
  try {
    const std::filesystem::path file = ScoreFilePath();
    Text modified = ModifiedText(file).value_or(Text());
    LoadResult loaded = LoadScoreFile(file);
    if (loaded.error) {
      window_.ShowError(DescribeReloadErrorJa(*loaded.error));
      return;
    }
    // The text is built before any table moves, so that running out of
    // memory here leaves the tables as they were.
    const Songs& start = startSongs_ ? *startSongs_ : songs_;
    const Text text = ComparisonText(start, loaded.songs, partNames_, CompareTables(start, loaded.songs, ranks_),
                                     Language::Japanese);
    if (!startSongs_) startSongs_ = std::move(songs_);
    songs_ = std::move(loaded.songs);
    songsModified_ = std::move(modified);
    window_.SetDispText(text);
  } catch (const std::bad_alloc&) {
    window_.ShowError(AppMessageText(AppMessage::OutOfMemory));
  }
}

void App::ShowChart(ChartMode mode) { window_.SetDispText(ChartText(songs_, mode)); }

bool App::ShowRankSummary() {
  Text text;
  try {
    text = RankSummaryText(songs_, ranks_);
  } catch (const OverflowError&) {
    window_.ShowError(AppMessageText(AppMessage::RankOverflow));
    return false;
  }
  window_.SetDispText(text);
  return true;
}

bool App::ShowPartDetail(std::int32_t song, std::int32_t part) {
  const std::optional<Text> text = PartDetailText(songs_, partNames_, song, part);
  if (!text) return false;
  window_.SetDispText(*text);
  return true;
}

bool App::PickRandomPart() {
  const auto pick = DrawRandomPart(songs_, random_);
  return pick && ShowPartDetail(pick->song, pick->part);
}

bool App::PickWeightedPart() {
  const auto pick = DrawWeightedPart(songs_, random_);
  return pick && ShowPartDetail(pick->song, pick->part);
}

}  // namespace quillbox
