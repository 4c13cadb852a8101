#pragma once
// Start-up, view dispatch and copy: the three operations every window event
// runs through. The tables are filled at start-up and replaced only by a
// reload, which keeps the start-up table beside the newest.
#include <filesystem>
#include <optional>
#include <vector>

#include "core/WindowOps.h"
#include "ranks/Ranks.h"
#include "scores/ScoreFile.h"
#include "views/RandomPick.h"
#include "views/Views.h"

namespace quillbox {

inline constexpr char16_t kCaptionSuffix[] = u"   Ver ";
inline constexpr char16_t kSignature[] = u"dori-fen record chart \"quillbox!\" ";

// The messages the app itself shows (a score file's are the loader's).
enum class AppMessage {
  OutOfMemory,           // a view's text or the copied text cannot be built
  RankOverflow,          // the rank summary's totals overflow
  ClipboardBusy,         // another program holds the clipboard
  ClipboardOutOfMemory,  // no memory for the clipboard's copy of the text
  Unfinished,            // an operation ended in a failure nobody expected
  NoWindow,              // the window itself could not be made
  DroppedNotAFile,       // something that is neither a file nor a folder was dropped
  DroppedFolder,         // a folder was dropped
};
inline constexpr int kAppMessages = static_cast<int>(AppMessage::DroppedFolder) + 1;

// What went wrong, then on a line of its own the one step to take next.
// `detail`, the failure's own words, goes on the line after the first.
Text AppMessageText(AppMessage message, const Text& detail = {});

// Major in plain decimal, '.', minor with at least two digits: "0.90".
Text VersionText(VersionNumbers version);

class App {
 public:
  // `scoreFile` replaces hsc.ini in the program's directory (the report tool's --file).
  App(WindowOps& window, RandomSource& random, std::optional<std::filesystem::path> scoreFile = {});

  // Returns false when the score file could not be loaded; the window has
  // then been told and no view is shown.
  bool Form_Load();
  void Radio_MouseDown(std::int16_t index, std::int16_t button = 0, std::int16_t shift = 0, float x = 0,
                       float y = 0);
  void Command1_Click();
  // Score files dropped on the window. One shows what changed from it to the
  // loaded file; two or more, the history from the oldest of them to the
  // loaded file. Every file is loaded before the text box changes: on any
  // failure the user is told and the box keeps what it had. The loaded file
  // itself, dropped, is read anew and stands as the current file: alone, it
  // shows what changed since start-up.
  void Form_DropFiles(const std::vector<std::filesystem::path>& files);
  // F5 or the text box's menu entry: reads the score file again, as start-up
  // does, and shows what changed since start-up; the new table becomes the
  // one every view shows. On failure the user is told and the table and the
  // box stay as they were. Nothing is written.
  void Form_Reload();

  void ShowChart(ChartMode mode);
  // The picks and the rank summary return false when they left the text box
  // as it was (an empty table, or an overflow that was reported).
  bool ShowRankSummary();
  bool ShowPartDetail(std::int32_t song, std::int32_t part);
  bool PickRandomPart();
  bool PickWeightedPart();

  const Songs& songs() const { return songs_; }
  const std::optional<LoadError>& loadError() const { return loadError_; }
  std::filesystem::path ScoreFilePath() const;

 private:
  // Every read of a dropped file: its table, or nullopt when it could not be
  // loaded (the user has been told).
  // A backup must be a score file; the loaded hsc.ini dropped again is read
  // as start-up reads it.
  std::optional<Songs> LoadDropped(const std::filesystem::path& file, LoadMode mode = LoadMode::ScoreFileOnly);
  // The history of `files` and then `current`, dated `currentModified`.
  // Holds two of the dropped tables at a time. Nullopt when a file could not
  // be loaded (the user has been told).
  std::optional<Text> HistoryOf(const std::vector<std::filesystem::path>& files, Songs& current,
                                const Text& currentModified);

  WindowOps& window_;
  RandomSource& random_;
  std::optional<std::filesystem::path> scoreFile_;
  Ranks ranks_;
  PartNames partNames_;
  Songs songs_;  // the newest table: what the views show
  // The start-up table once a reload has replaced songs_; the session's
  // changes are always told against it. At most these two are held.
  std::optional<Songs> startSongs_;
  Text songsModified_;  // the file's time when songs_ was read
  std::optional<LoadError> loadError_;
};

// The path as the user's messages show it.
Text PathForUser(const std::filesystem::path& path);

}  // namespace quillbox
