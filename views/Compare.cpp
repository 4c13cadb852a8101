#include "views/Compare.h"

#include <algorithm>
#include <string_view>
#include <unordered_map>

#include "base/Numbers.h"
#include "views/Views.h"

namespace quillbox {
namespace {

std::int32_t ValueOf(const SongRecord& song, std::size_t part, Field field) {
  switch (field) {
    case Field::HiPerfect: return song.HiPerfect[part];
    case Field::PlayCount: return song.PlayCount[part];
    case Field::Score1:
    case Field::Score2:
    case Field::Score3:
      return song
          .BestScore[part][static_cast<std::size_t>(field) - static_cast<std::size_t>(Field::Score1) + 1];
    default:
      return song
          .BestPerfect[part][static_cast<std::size_t>(field) - static_cast<std::size_t>(Field::Perfect1) + 1];
  }
}

void AddChanges(const SongRecord& old, const SongRecord& now, std::int32_t song, std::vector<Change>& out) {
  for (std::size_t p = 1; p <= 8; ++p) {
    for (int f = 0; f < kFields; ++f) {
      const auto field = static_cast<Field>(f);
      const std::int32_t from = ValueOf(old, p, field);
      const std::int32_t to = ValueOf(now, p, field);
      if (from != to) out.push_back({song, static_cast<std::int32_t>(p), field, from, to});
    }
  }
}

}  // namespace

std::vector<std::int32_t> MatchSongs(const Songs& old, const Songs& now) {
  // Songs of one title in the old table, in order: the first not yet
  // matched, and a chain through the rest. Going backwards, each song goes
  // in front of its title's chain.
  std::unordered_map<std::u16string_view, std::int32_t> firstOfTitle;
  std::vector<std::int32_t> nextOfTitle(static_cast<std::size_t>(old.SongCount()) + 1, 0);
  firstOfTitle.reserve(static_cast<std::size_t>(old.SongCount()));
  for (std::int32_t s = old.SongCount(); s >= 1; --s) {
    std::int32_t& first = firstOfTitle[old[s].Title];
    nextOfTitle[static_cast<std::size_t>(s)] = first;
    first = s;
  }

  std::vector<std::int32_t> match(static_cast<std::size_t>(now.SongCount()) + 1, 0);
  for (std::int32_t s = 1; s <= now.SongCount(); ++s) {
    const auto found = firstOfTitle.find(now[s].Title);
    if (found == firstOfTitle.end() || found->second == 0) continue;
    match[static_cast<std::size_t>(s)] = found->second;
    found->second = nextOfTitle[static_cast<std::size_t>(found->second)];
  }
  return match;
}

Comparison CompareTables(const Songs& old, const Songs& now, const Ranks& ranks) {
  Comparison result;
  const std::vector<std::int32_t> match = MatchSongs(old, now);
  std::vector<bool> matched(static_cast<std::size_t>(old.SongCount()) + 1, false);
  for (std::int32_t s = 1; s <= now.SongCount(); ++s) {
    const std::int32_t o = match[static_cast<std::size_t>(s)];
    if (o == 0) {
      result.added.push_back(s);
      continue;
    }
    matched[static_cast<std::size_t>(o)] = true;
    AddChanges(old[o], now[s], s, result.changes);
  }
  for (std::int32_t s = 1; s <= old.SongCount(); ++s) {
    if (!matched[static_cast<std::size_t>(s)]) result.removed.push_back(s);
  }
  result.oldRank = RankSummaryLines(old, ranks);
  result.newRank = RankSummaryLines(now, ranks);
  if (result.oldRank && result.newRank) {
    for (std::size_t i = 0; i < kRankLines; ++i) {
      if (!SameRankLine((*result.oldRank)[i], (*result.newRank)[i])) result.rankChanged.push_back(i);
    }
  }
  return result;
}

bool SameRankLine(const RankLine& a, const RankLine& b) {
  return a.total == b.total && a.name == b.name && a.next == b.next;
}

}  // namespace quillbox
