#include "views/Versus.h"

#include <gtest/gtest.h>

#include <tuple>
#include <vector>

#include "tests/support/TestUtil.h"

namespace quillbox {
namespace {

using test::U;

Songs Titled(std::initializer_list<const char*> titles) {
  Songs songs;
  for (const char* title : titles) songs.AddSong().Title = U(title);
  return songs;
}

std::tuple<std::int64_t, std::int64_t, std::int64_t> Wld(const Tally& t) { return {t.wins, t.losses, t.draws}; }

// Each part wins, loses or draws once per song; rows sum them by part
// group and by MINE's song group (songs 1 to 9 standard, 10 on added).
TEST(VersusTest, TalliesByPartAndGroup) {
  Ranks ranks;
  InitRanks(ranks);
  Songs mine, theirs;
  for (int s = 1; s <= 10; ++s) {
    SongRecord& a = mine.AddSong();
    SongRecord& b = theirs.AddSong();
    a.Title = b.Title = U("song ") + Decimal(s);
    // Hi-perfect: part 1 wins, part 5 loses, the rest draw. Best score of
    // rank 1 only: part 2 wins on song 10, rank 2 never counts.
    a.HiPerfect[1] = 9;
    b.HiPerfect[5] = 9;
    if (s == 10) a.BestScore[2][1] = 100;
    b.BestScore[3][2] = 100;
  }
  const Versus v = VersusTables(mine, theirs, ranks);
  struct Row {
    std::size_t row;
    std::tuple<std::int64_t, std::int64_t, std::int64_t> hiPerfect, bestScore;
  };
  for (const Row& want : {Row{0, {10, 0, 0}, {0, 0, 10}}, Row{1, {0, 0, 10}, {1, 0, 9}},
                          Row{4, {0, 10, 0}, {0, 0, 10}}, Row{kFrontRow, {10, 0, 30}, {1, 0, 39}},
                          Row{kBackRow, {0, 10, 30}, {0, 0, 40}}, Row{kStandardRow, {9, 9, 54}, {0, 0, 72}},
                          Row{kAddedRow, {1, 1, 6}, {1, 0, 7}}}) {
    EXPECT_EQ(Wld(v.rows[want.row].hiPerfect), want.hiPerfect) << "row " << want.row;
    EXPECT_EQ(Wld(v.rows[want.row].bestScore), want.bestScore) << "row " << want.row;
  }
  EXPECT_EQ(v.matched, 10);
}

// The ten largest gaps, ties in MINE's song order then part; songs matched
// as compare matches them (k-th of a title with k-th), the rest apart.
TEST(VersusTest, TrailingTenAndSongsOnlyOneSideHas) {
  Ranks ranks;
  InitRanks(ranks);
  Songs mine = Titled({"a", "b", "a", "x"});
  Songs theirs = Titled({"y", "a", "b", "a", "z"});
  // Gaps: song 1 parts 1-8 behind by 5, song 3 part 2 by 7 and part 8 by
  // 5, part 3 by 1; song 2 part 1 ahead. Eleven trailing pairs, ten kept.
  for (std::size_t p = 1; p <= 8; ++p) theirs[2].HiPerfect[p] = 5;
  theirs[4].HiPerfect[2] = 7;
  theirs[4].HiPerfect[8] = 5;
  theirs[4].HiPerfect[3] = 1;
  mine[2].HiPerfect[1] = 3;
  const Versus v = VersusTables(mine, theirs, ranks);
  std::vector<std::tuple<std::int32_t, std::int32_t, std::int32_t>> got;  // song, their song, part
  for (const Trailing& t : v.trailing) got.emplace_back(t.mineSong, t.theirSong, t.part);
  const std::vector<std::tuple<std::int32_t, std::int32_t, std::int32_t>> want = {
      {3, 4, 2}, {1, 2, 1}, {1, 2, 2}, {1, 2, 3}, {1, 2, 4}, {1, 2, 5}, {1, 2, 6}, {1, 2, 7}, {1, 2, 8}, {3, 4, 8}};
  EXPECT_EQ(got, want);
  EXPECT_EQ(v.matched, 3);
  EXPECT_EQ(v.onlyMine, std::vector<std::int32_t>{4});
  EXPECT_EQ(v.onlyTheirs, (std::vector<std::int32_t>{1, 5}));
  EXPECT_EQ(Wld(v.rows[0].hiPerfect), std::make_tuple(1, 1, 1));
}

}  // namespace
}  // namespace quillbox
