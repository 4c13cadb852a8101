#pragma once
// Progress across several score files: backups of hsc.ini and today's file,
// each summed up, and what changed from each file to the next.
#include <array>
#include <cstdint>
#include <optional>
#include <vector>

#include "ranks/Ranks.h"
#include "scores/SongTable.h"

namespace quillbox {

// One score file as history reads it.
struct ScoreSnapshot {
  Text name;      // as the player named it (a path, a dropped file's name)
  Text modified;  // "YYYY-MM-DD HH:MM" in local time; empty when unknown
  Songs songs;
};

// One line of a rank summary, taken apart.
struct RankLine {
  Text label;                        // without its two closing blanks
  std::int32_t total = 0;            // the line's weighted total
  Text name;                         // the rank's name; empty past the last rung
  std::optional<std::int32_t> next;  // points to the next rank; none past the last rung
  float scale = 0;                   // the ladder's scale for this line
};

struct FileSummary {
  Text name;
  Text modified;
  std::int32_t songs = 0;
  std::int64_t plays = 0;  // every play count of parts 1 to 8
  // The nine lines in the summary's order; nullopt where the summary overflows.
  std::optional<std::vector<RankLine>> rank;
};

struct RankNameChange {
  Text label;
  Text from;
  Text to;
};

// From one file to the next, over songs matched as compare matches them.
struct HistoryStep {
  std::int32_t partsImproved = 0;  // hi-perfect raised
  std::int32_t newBestScores = 0;  // best score (rank 1) raised
  std::int64_t playsAdded = 0;     // play counts' rise, plus every play of an added song
  std::int32_t songsAdded = 0;
  std::int32_t songsRemoved = 0;
  // Lines whose rank name changed; nullopt where either summary overflows.
  std::optional<std::vector<RankNameChange>> rankChanges;
};

struct History {
  std::vector<FileSummary> files;
  std::vector<HistoryStep> steps;  // steps[i] leads from files[i] to files[i + 1]
};

// Adds `snapshot` after the files already in `history`; `previous` is the
// table of the last of them (nullptr for the first). Lets a caller hold only
// two tables at a time.
void AddToHistory(History& history, const ScoreSnapshot& snapshot, const Songs* previous, const Ranks& ranks);
History BuildHistory(const std::vector<ScoreSnapshot>& snapshots, const Ranks& ranks);

// Lined up for a fixed-pitch font, ASCII rules, CR LF line ends.
Text HistoryText(const History& history);
// One line of JSON and one LF (the shape is in docs/report-formats.md).
Text HistoryJson(const History& history);
// One self-contained UTF-8 page: inline CSS and SVG, no script, nothing fetched.
Text HistoryHtml(const History& history, const Ranks& ranks);

inline Text HistoryText(const std::vector<ScoreSnapshot>& snapshots, const Ranks& ranks) {
  return HistoryText(BuildHistory(snapshots, ranks));
}
inline Text HistoryJson(const std::vector<ScoreSnapshot>& snapshots, const Ranks& ranks) {
  return HistoryJson(BuildHistory(snapshots, ranks));
}
inline Text HistoryHtml(const std::vector<ScoreSnapshot>& snapshots, const Ranks& ranks) {
  return HistoryHtml(BuildHistory(snapshots, ranks), ranks);
}

}  // namespace quillbox
