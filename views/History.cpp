#include "views/History.h"

#include <algorithm>
#include <utility>

#include "base/Numbers.h"
#include "views/Compare.h"

namespace quillbox {
namespace {

std::int64_t Plays(const SongRecord& song) {
  std::int64_t plays = 0;
  for (std::size_t p = 1; p <= 8; ++p) plays += song.PlayCount[p];
  return plays;
}

HistoryStep StepOf(const Comparison& comparison, const Songs& now, const std::optional<RankLines>& before,
                   const std::optional<RankLines>& after) {
  HistoryStep step;
  for (const Change& change : comparison.changes) {
    if (change.field == Field::HiPerfect && change.to > change.from) ++step.partsImproved;
    if (change.field == Field::Score1 && change.to > change.from) ++step.newBestScores;
    if (change.field == Field::PlayCount)
      step.playsAdded += static_cast<std::int64_t>(change.to) - change.from;
  }
  for (const std::int32_t s : comparison.added) step.playsAdded += Plays(now[s]);
  step.songsAdded = static_cast<std::int32_t>(comparison.added.size());
  step.songsRemoved = static_cast<std::int32_t>(comparison.removed.size());
  if (before && after) {
    step.rankChanges.emplace();
    for (std::size_t i = 0; i < kRankLines; ++i) {
      const RankLine& a = (*before)[i];
      const RankLine& b = (*after)[i];
      if (a.name != b.name) step.rankChanges->push_back({b.label, a.name, b.name});
    }
  }
  return step;
}

}  // namespace

void AddToHistory(History& history, const ScoreSnapshot& snapshot, const Songs* previous,
                  const Ranks& ranks) {
  FileSummary file{snapshot.name, snapshot.modified, snapshot.songs.SongCount(), 0, std::nullopt};
  for (const SongRecord& song : snapshot.songs.All()) file.plays += Plays(song);
  if (previous == nullptr || history.files.empty()) {
    file.rank = RankSummaryLines(snapshot.songs, ranks);
  } else {
    const Comparison comparison = CompareTables(*previous, snapshot.songs, ranks);
    file.rank = comparison.newRank;
    history.steps.push_back(StepOf(comparison, snapshot.songs, history.files.back().rank, file.rank));
  }
  history.files.push_back(std::move(file));
}

History BuildHistory(const std::vector<ScoreSnapshot>& snapshots, const Ranks& ranks) {
  History history;
  const Songs* previous = nullptr;
  for (const ScoreSnapshot& snapshot : snapshots) {
    AddToHistory(history, snapshot, previous, ranks);
    previous = &snapshot.songs;
  }
  return history;
}

const RankLine* LineOf(const History& history, std::size_t file, std::size_t line) {
  const auto& rank = history.files[file].rank;
  return rank && line < rank->size() ? &(*rank)[line] : nullptr;
}

std::optional<std::int64_t> TotalChange(const History& history, std::size_t file, std::size_t line) {
  const RankLine* now = LineOf(history, file, line);
  const RankLine* before = file > 0 ? LineOf(history, file - 1, line) : nullptr;
  if (now == nullptr || before == nullptr) return std::nullopt;
  return static_cast<std::int64_t>(now->total) - before->total;
}

}  // namespace quillbox
