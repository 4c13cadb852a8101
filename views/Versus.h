#pragma once
// Head to head: one player's score file against a friend's, song by song
// and part by part, songs matched as compare matches them.
#include <array>
#include <cstdint>
#include <optional>
#include <vector>

#include "ranks/Ranks.h"
#include "scores/SongTable.h"
#include "views/Views.h"

namespace quillbox {

struct Tally {
  std::int64_t wins = 0, losses = 0, draws = 0;
};

struct VersusRow {
  Tally hiPerfect;
  Tally bestScore;  // best score of rank 1
};

// Rows: parts 1 to 8 at 0 to 7, then front parts, back parts, standard
// songs and added songs (by MINE's song number).
inline constexpr std::size_t kFrontRow = 8, kBackRow = 9, kStandardRow = 10, kAddedRow = 11, kVersusRows = 12;

struct Trailing {
  std::int32_t mineSong;
  std::int32_t theirSong;
  std::int32_t part;
  std::int32_t mine;    // hi-perfect values
  std::int32_t theirs;
};

struct Versus {
  std::array<VersusRow, kVersusRows> rows{};
  std::int64_t matched = 0;
  std::vector<Trailing> trailing;         // at most ten: the largest gap first, then MINE's song order, then part
  std::vector<std::int32_t> onlyMine;     // in MINE's order
  std::vector<std::int32_t> onlyTheirs;   // in THEIRS's order
  std::optional<RankLines> mineRank, theirRank;  // rank summaries; nullopt where one overflows
};

inline constexpr std::size_t kTrailingShown = 10;

Versus VersusTables(const Songs& mine, const Songs& theirs, const Ranks& ranks);

}  // namespace quillbox
