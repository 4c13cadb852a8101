#include "views/Versus.h"

#include <algorithm>
#include <utility>

#include "base/Numbers.h"
#include "views/Compare.h"
#include "views/Views.h"

namespace quillbox {
namespace {

void Count(Tally& tally, std::int32_t mine, std::int32_t theirs) {
  if (mine > theirs) {
    ++tally.wins;
  } else if (mine < theirs) {
    ++tally.losses;
  } else {
    ++tally.draws;
  }
}

void Add(Tally& to, const Tally& from) {
  to.wins += from.wins;
  to.losses += from.losses;
  to.draws += from.draws;
}

// Keeps the largest gaps. Candidates arrive in MINE's song order, then
// part order, so one goes after every kept one with a gap as large.
void Keep(std::vector<Trailing>& kept, const Trailing& candidate) {
  const auto gap = [](const Trailing& t) { return t.theirs - t.mine; };
  if (kept.size() == kTrailingShown && gap(kept.back()) >= gap(candidate)) return;
  const auto at = std::find_if(kept.begin(), kept.end(),
                               [&](const Trailing& t) { return gap(t) < gap(candidate); });
  kept.insert(at, candidate);
  if (kept.size() > kTrailingShown) kept.pop_back();
}

}  // namespace

Versus VersusTables(const Songs& mine, const Songs& theirs, const Ranks& ranks) {
  Versus result;
  const std::vector<std::int32_t> match = MatchSongs(theirs, mine);
  std::vector<bool> matched(static_cast<std::size_t>(theirs.SongCount()) + 1, false);
  std::array<VersusRow, 8> standard{}, added{};  // per part, summed below
  for (std::int32_t s = 1; s <= mine.SongCount(); ++s) {
    const std::int32_t t = match[static_cast<std::size_t>(s)];
    if (t == 0) {
      result.onlyMine.push_back(s);
      continue;
    }
    matched[static_cast<std::size_t>(t)] = true;
    ++result.matched;
    const SongRecord& a = mine[s];
    const SongRecord& b = theirs[t];
    auto& group = s <= 9 ? standard : added;
    for (std::size_t p = 1; p <= 8; ++p) {
      Count(group[p - 1].hiPerfect, a.HiPerfect[p], b.HiPerfect[p]);
      Count(group[p - 1].bestScore, a.BestScore[p][1], b.BestScore[p][1]);
      if (a.HiPerfect[p] < b.HiPerfect[p]) {
        Keep(result.trailing, {s, t, static_cast<std::int32_t>(p), a.HiPerfect[p], b.HiPerfect[p]});
      }
    }
  }
  for (std::size_t p = 0; p < 8; ++p) {
    for (const auto& [group, row] : {std::pair{&standard, kStandardRow}, {&added, kAddedRow}}) {
      const VersusRow& from = (*group)[p];
      for (const std::size_t to : {p, p < 4 ? kFrontRow : kBackRow, row}) {
        Add(result.rows[to].hiPerfect, from.hiPerfect);
        Add(result.rows[to].bestScore, from.bestScore);
      }
    }
  }
  for (std::int32_t t = 1; t <= theirs.SongCount(); ++t) {
    if (!matched[static_cast<std::size_t>(t)]) result.onlyTheirs.push_back(t);
  }
  result.mineRank = RankSummaryLines(mine, ranks);
  result.theirRank = RankSummaryLines(theirs, ranks);
  return result;
}

}  // namespace quillbox
