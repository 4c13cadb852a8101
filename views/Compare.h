#pragma once
// What changed from one score file to another: a backup and today's file,
// or one player's file and a friend's.
#include <cstdint>
#include <optional>
#include <vector>

#include "ranks/Ranks.h"
#include "scores/SongTable.h"
#include "views/Views.h"

namespace quillbox {

// The fields compared, in the order changes are listed.
enum class Field : std::uint8_t {
  HiPerfect,
  PlayCount,
  Score1,
  Score2,
  Score3,
  Perfect1,
  Perfect2,
  Perfect3
};
inline constexpr int kFields = 8;

struct Change {
  std::int32_t song;  // in the new table
  std::int32_t part;  // 1 to 8
  Field field;
  std::int32_t from;
  std::int32_t to;
};

struct Comparison {
  std::vector<Change> changes;           // new table's song order, then part, then field
  std::vector<std::int32_t> added;       // songs of the new table only, in its order
  std::vector<std::int32_t> removed;     // songs of the old table only, in its order
  std::optional<RankLines> oldRank, newRank;  // the rank summaries; nullopt where one overflows
  // Lines whose total or rank differs, in order; empty where either overflows.
  std::vector<std::size_t> rankChanged;
};

// Whether two rank lines read the same: total, rank name and points to go.
bool SameRankLine(const RankLine& a, const RankLine& b);

// Songs are matched by title: the k-th song of a title in `old` with the
// k-th song of that title in `now`. Entry s (1 to now's song count) is the
// song of `old` that song s of `now` matches, or 0; entry 0 is 0.
std::vector<std::int32_t> MatchSongs(const Songs& old, const Songs& now);

// Songs matched as MatchSongs matches them.
Comparison CompareTables(const Songs& old, const Songs& now, const Ranks& ranks);

}  // namespace quillbox
