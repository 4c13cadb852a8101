#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <limits>
#include <map>
#include <random>
#include <set>
#include <vector>

#include "tests/support/HeapCount.h"
#include "tests/support/ScriptedRandom.h"
#include "views/RandomPick.h"

namespace quillbox {
namespace {

using test::ScriptedRandom;

constexpr float kLargestBelowOne = 0x1.fffffep-1f;
// A pick may keep a running sum per song; one entry per play-count weight
// would be millions of times more.
constexpr std::int64_t kPickBytesPerSong = 16;

Songs TableWithPlayCounts(std::initializer_list<std::array<std::int16_t, 8>> rows) {
  Songs songs;
  for (const auto& row : rows) {
    SongRecord& song = songs.AddSong();
    for (std::size_t p = 1; p <= 8; ++p) song.PlayCount[p] = row[p - 1];
  }
  return songs;
}

TEST(UniformPick, SongFromFirstDrawPartFromSecond) {
  const Songs two = TableWithPlayCounts({{}, {}});
  const Songs one = TableWithPlayCounts({{}});
  const struct {
    const Songs* songs;
    float songDraw, partDraw;
    SongPart expected;
  } cases[] = {
      {&two, 0, 0, {1, 1}},
      {&two, 0.99999f, 0.99999f, {2, 8}},
      {&two, kLargestBelowOne, kLargestBelowOne, {2, 8}},
      {&two, 0.5f, 0.5f, {2, 5}},
      {&two, 0.49f, 0.124f, {1, 1}},
      {&two, 0.49f, 0.125f, {1, 2}},
      {&one, 0.99999f, 0.3f, {1, 3}},
  };
  for (const auto& c : cases) {
    ScriptedRandom random({c.songDraw, c.partDraw});
    EXPECT_EQ(DrawRandomPart(*c.songs, random), c.expected) << c.songDraw << " " << c.partDraw;
    EXPECT_EQ(random.log, "RDD");
  }
}

TEST(WeightedPick, WorkedExample) {
  const Songs songs = TableWithPlayCounts({{2, 2, 2, 2, 2, 2, 2, 2}, {2, 0, 2, 2, 2, 2, 2, 1}});
  // 19 entries: song 2 part 2 holds 10-12, part 8 holds 18-19.
  const struct {
    float draw;
    SongPart expected;
  } cases[] = {
      {0, {1, 1}},  {0.5f, {2, 2}},  {0.99999f, {2, 8}}, {kLargestBelowOne, {2, 8}},
      {8.5f / 19, {2, 1}}, {9.5f / 19, {2, 2}}, {11.5f / 19, {2, 2}}, {12.5f / 19, {2, 3}},
      {16.5f / 19, {2, 7}}, {17.5f / 19, {2, 8}},
  };
  for (const auto& c : cases) {
    ScriptedRandom random({c.draw});
    EXPECT_EQ(DrawWeightedPart(songs, random), c.expected) << c.draw;
    EXPECT_EQ(random.log, "RD");
  }
}

TEST(WeightedPick, EqualCountsAreUniformAndNegativesWeighMore) {
  const Songs equal = TableWithPlayCounts({{}, {}, {}});
  for (int k = 1; k <= 24; ++k) {
    ScriptedRandom random({(static_cast<float>(k) - 0.5f) / 24});
    EXPECT_EQ(DrawWeightedPart(equal, random), (SongPart{(k - 1) / 8 + 1, (k - 1) % 8 + 1})) << k;
  }
  // Highest count stays 0: weights 2 and 6 for -1 and -5, then 1 each.
  const Songs negative = TableWithPlayCounts({{-1, -5, 0, 0, 0, 0, 0, 0}});
  const struct {
    int entry;
    SongPart expected;
  } cases[] = {{1, {1, 1}}, {2, {1, 1}}, {3, {1, 2}}, {8, {1, 2}}, {9, {1, 3}}, {14, {1, 8}}};
  for (const auto& c : cases) {
    ScriptedRandom random({(static_cast<float>(c.entry) - 0.5f) / 14});
    EXPECT_EQ(DrawWeightedPart(negative, random), c.expected) << c.entry;
  }
}

TEST(Picks, EmptyTableDrawsNothing) {
  ScriptedRandom random;  // no draws
  EXPECT_FALSE(DrawRandomPart(Songs{}, random).has_value());
  EXPECT_FALSE(DrawWeightedPart(Songs{}, random).has_value());
  EXPECT_EQ(random.log, "");
}

TEST(WeightedPick, LongListsCostNoMoreThanShortOnes) {
  // One pair at 32767 and all others at 0 in 100 songs: about 26 million
  // entries, none of which may be built. What the pick allocates may follow
  // the songs, never the length of the list: the same as for a list of 800.
  const test::HeapMeter building;
  Songs songs;
  for (int s = 0; s < 100; ++s) songs.AddSong();
  ASSERT_GE(building.Used().bytes, std::int64_t{100 * sizeof(SongRecord)}) << "the heap is not counted";
  ScriptedRandom shortDraw({kLargestBelowOne});
  const test::HeapMeter shortMeter;
  EXPECT_EQ(DrawWeightedPart(songs, shortDraw), (SongPart{100, 8}));
  const test::HeapCount shortList = shortMeter.Used();

  songs[1].PlayCount[1] = 32767;
  ScriptedRandom random({kLargestBelowOne});
  const test::HeapMeter meter;
  EXPECT_EQ(DrawWeightedPart(songs, random), (SongPart{100, 8}));
  const test::HeapCount longList = meter.Used();
  EXPECT_LE(longList.bytes, shortList.bytes);
  EXPECT_LE(longList.bytes, kPickBytesPerSong * 100);

  // Past the 32-bit count: 4096 songs with one pair at 32767, others at -32768.
  Songs big;
  for (int s = 0; s < 4096; ++s) big.AddSong().PlayCount.fill(-32768);
  big[1].PlayCount[1] = 32767;
  ScriptedRandom last({kLargestBelowOne});
  const test::HeapMeter bigMeter;
  EXPECT_EQ(DrawWeightedPart(big, last), (SongPart{4096, 8}));
  EXPECT_LE(bigMeter.Used().bytes, kPickBytesPerSong * 4096);
  ScriptedRandom first({0});
  EXPECT_EQ(DrawWeightedPart(big, first), (SongPart{1, 1}));  // entry 1: the only entry of part 1
  ScriptedRandom second({0x1p-24f});
  EXPECT_EQ(DrawWeightedPart(big, second), (SongPart{1, 2}));  // entry 129 lies in part 2's 65536
}

// The pair that entry k of the candidate list names, found the plain way:
// pair by pair in list order.
SongPart EntryOfList(const Songs& songs, double draw) {
  std::int64_t highest = 0;
  for (std::int32_t s = 1; s <= songs.SongCount(); ++s) {
    for (std::size_t p = 1; p <= 8; ++p) highest = std::max<std::int64_t>(highest, songs[s].PlayCount[p]);
  }
  std::int64_t count = 0;
  for (std::int32_t s = 1; s <= songs.SongCount(); ++s) {
    for (std::size_t p = 1; p <= 8; ++p) count += highest - songs[s].PlayCount[p] + 1;
  }
  const auto k = static_cast<std::int64_t>(std::floor(draw * static_cast<double>(count))) + 1;
  std::int64_t sum = 0;
  for (std::int32_t s = 1; s <= songs.SongCount(); ++s) {
    for (std::size_t p = 1; p <= 8; ++p) {
      sum += highest - songs[s].PlayCount[p] + 1;
      if (sum >= k) return {s, static_cast<std::int32_t>(p)};
    }
  }
  return {};
}

TEST(WeightedPick, LargeTablesMatchThePlainWalkOfTheList) {
  // Tables past 32767 songs with counts at both ends of their range, where
  // sums taken eight at a time could overflow or lose a song.
  std::mt19937 random(3);  // NOLINT(cert-msc32-c,cert-msc51-cpp): the same tables every run
  const auto table = [&](std::int32_t n,
                         const std::function<std::int16_t(std::int32_t, std::size_t)>& count) {
    Songs songs;
    for (std::int32_t s = 1; s <= n; ++s) {
      SongRecord& song = songs.AddSong();
      for (std::size_t p = 1; p <= 8; ++p) song.PlayCount[p] = count(s, p);
    }
    return songs;
  };
  const Songs tables[] = {
      table(70'000,
            [](std::int32_t s, std::size_t p) {
              return static_cast<std::int16_t>(s % 9000 == 0 && p == 5 ? 32767 : -32768);
            }),
      table(70'000, [](std::int32_t, std::size_t) { return std::int16_t{32767}; }),
      table(40'000,
            [](std::int32_t s, std::size_t p) { return static_cast<std::int16_t>(s % 3 == 0 ? -1 - p : p); }),
      table(1'000, [&](std::int32_t, std::size_t) { return static_cast<std::int16_t>(random()); }),
  };
  std::vector<float> draws = {0, 0x1p-24f, 0.25f, 0.5f, 0.75f, 0.999f, kLargestBelowOne};
  for (int i = 0; i < 20; ++i) draws.push_back(static_cast<float>(random() >> 8) * 0x1p-24f);
  for (const Songs& songs : tables) {
    for (const float draw : draws) {
      ScriptedRandom scripted({draw});
      EXPECT_EQ(DrawWeightedPart(songs, scripted), EntryOfList(songs, draw))
          << songs.SongCount() << " songs, draw " << draw;
    }
  }
}

TEST(ClockRandom, DrawsStayBelowOneAndFixedSeedsRepeat) {
  ClockRandomSource a(42), b(42);
  a.Reseed();
  b.Reseed();
  for (int i = 0; i < 100000; ++i) {
    const float r = a.Draw();
    ASSERT_GE(r, 0.0f);
    ASSERT_LT(r, 1.0f);
    ASSERT_EQ(r, b.Draw());
  }
  // Reseeding with a fixed seed starts the same sequence again.
  a.Reseed();
  const float first = a.Draw();
  a.Reseed();
  EXPECT_EQ(a.Draw(), first);
}

TEST(ClockRandom, WeightedFrequenciesFollowTheWeights) {
  // Weights 1, 2, 3, 4 on song 1's parts 1-4 (counts 3, 2, 1, 0) and 4 on
  // each of parts 5-8: chi-square over 8 cells, 7 degrees of freedom.
  const Songs songs = TableWithPlayCounts({{3, 2, 1, 0, 0, 0, 0, 0}});
  const double weights[8] = {1, 2, 3, 4, 4, 4, 4, 4};
  constexpr int kPicks = 26000;
  std::map<int, int> seen;
  for (int seed = 0; seed < kPicks; ++seed) {
    ClockRandomSource random(static_cast<std::uint64_t>(seed));
    ++seen[DrawWeightedPart(songs, random)->part];
  }
  double chi2 = 0;
  for (int p = 1; p <= 8; ++p) {
    const double expected = kPicks * weights[p - 1] / 26;
    chi2 += (seen[p] - expected) * (seen[p] - expected) / expected;
  }
  EXPECT_LT(chi2, 24.32) << "p < 0.001 for 7 degrees of freedom";
}

TEST(ClockRandom, ClockSeedsDifferWithinOneTick) {
  ClockRandomSource random;
  std::set<float> draws;
  for (int i = 0; i < 50; ++i) {
    random.Reseed();
    draws.insert(random.Draw());
  }
  EXPECT_GT(draws.size(), 40u);
}

}  // namespace
}  // namespace quillbox
