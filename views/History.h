#pragma once
// Progress across several score files: backups of hsc.ini and today's file,
// each summed up, and what changed from each file to the next.
#include <array>
#include <cstdint>
#include <optional>
#include <vector>

#include "ranks/Ranks.h"
#include "scores/SongTable.h"
#include "views/Views.h"

namespace quillbox {

// One score file as history reads it.
struct ScoreSnapshot {
  Text name;      // as the player named it (a path, a dropped file's name)
  Text modified;  // "YYYY-MM-DD HH:MM" in local time; empty when unknown
  Songs songs;
};

struct FileSummary {
  Text name;
  Text modified;
  std::int32_t songs = 0;
  std::int64_t plays = 0;  // every play count of parts 1 to 8
  std::optional<RankLines> rank;  // nullopt where the summary overflows
};

struct RankNameChange {
  std::u16string_view label;
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

// Line `line` of file `file`'s rank summary; nullptr where it overflowed.
const RankLine* LineOf(const History& history, std::size_t file, std::size_t line);

// How far a line's total moved from the file before; nullopt for the first
// file and where either summary overflowed.
std::optional<std::int64_t> TotalChange(const History& history, std::size_t file, std::size_t line);

}  // namespace quillbox
