#include "views/RandomPick.h"

#include <algorithm>
#include <array>
#include <chrono>
#include <cmath>
#include <cstring>

#include "base/Numbers.h"
#include "base/Text.h"

namespace quillbox {

void ClockRandomSource::Reseed() {
  std::uint64_t seed = 0;
  if (fixedSeed_) {
    seed = *fixedSeed_;
  } else {
    // Nanosecond ticks: two presses within a coarse timer tick still differ.
    seed = static_cast<std::uint64_t>(
        std::chrono::high_resolution_clock::now().time_since_epoch().count());
  }
  std::seed_seq sequence{static_cast<std::uint32_t>(seed), static_cast<std::uint32_t>(seed >> 32)};
  engine_.seed(sequence);
}

namespace {
float Draw24(std::uint32_t bits) {
  // 24 random bits scaled by 2^-24: every value is exact in a float and the
  // largest is 1 - 2^-24, so 1.0 can never come out.
  return static_cast<float>(bits >> 8) * 0x1p-24f;
}
// The weighted pick reads the eight play counts of every song, twice; done
// one by one, that is one long chain of dependent steps. GCC and Clang's
// vector types let the eight counts move as one 16-byte value (SIMD where
// the processor has it, plain code where not), and the sums go in 32-bit
// lanes, each holding one count of a pair from its lower or upper half.
// Other compilers get the same operations on plain arrays.
#if QUILLBOX_GNU_EXTENSIONS
using PlayLanes = std::int16_t __attribute__((vector_size(16)));
using SumLanes = std::int32_t __attribute__((vector_size(16)));
static_assert(sizeof(PlayLanes) == 8 * sizeof(std::int16_t));

PlayLanes PlayCountsOf(const SongRecord& song) {
  PlayLanes counts;
  std::memcpy(&counts, &song.PlayCount[1], sizeof counts);
  return counts;
}

SumLanes PairSums(PlayLanes counts) {
  SumLanes pairs;
  std::memcpy(&pairs, &counts, sizeof pairs);
  return ((pairs << 16) >> 16) + (pairs >> 16);  // both halves, sign-extended
}

PlayLanes Highest(PlayLanes a, PlayLanes b) { return a > b ? a : b; }
#else
struct PlayLanes {
  std::array<std::int16_t, 8> lane{};
  std::int16_t operator[](int p) const { return lane[static_cast<std::size_t>(p)]; }
};
struct SumLanes {
  std::array<std::int32_t, 4> lane{};
  std::int32_t operator[](int i) const { return lane[static_cast<std::size_t>(i)]; }
  SumLanes& operator+=(const SumLanes& other) {
    for (std::size_t i = 0; i < lane.size(); ++i) lane[i] += other.lane[i];
    return *this;
  }
};

PlayLanes PlayCountsOf(const SongRecord& song) {
  PlayLanes counts;
  std::copy_n(&song.PlayCount[1], counts.lane.size(), counts.lane.begin());
  return counts;
}

SumLanes PairSums(const PlayLanes& counts) {
  SumLanes pairs;
  for (std::size_t i = 0; i < pairs.lane.size(); ++i) pairs.lane[i] = counts.lane[2 * i] + counts.lane[2 * i + 1];
  return pairs;
}

PlayLanes Highest(PlayLanes a, const PlayLanes& b) {
  for (std::size_t p = 0; p < a.lane.size(); ++p) a.lane[p] = std::max(a.lane[p], b.lane[p]);
  return a;
}
#endif

std::int64_t Total(const SumLanes& lanes) { return std::int64_t{lanes[0]} + lanes[1] + lanes[2] + lanes[3]; }

struct PlayTotals {
  std::int32_t highest = 0;  // never below 0
  std::int64_t sum = 0;
};

PlayTotals SumPlayCounts(const Songs& songs) {
  // Each lane adds two counts a song: 32767 songs cannot overflow it.
  constexpr std::size_t kSongsPerRound = 32767;
  PlayLanes highest{};
  std::int64_t sum = 0;
  const std::span<const SongRecord> all = songs.All();
  for (std::size_t from = 0; from < all.size(); from += kSongsPerRound) {
    SumLanes lanes{};
    for (const SongRecord& song : all.subspan(from, std::min(kSongsPerRound, all.size() - from))) {
      const PlayLanes counts = PlayCountsOf(song);
      highest = Highest(highest, counts);
      lanes += PairSums(counts);
    }
    sum += Total(lanes);
  }
  std::int32_t top = 0;
  for (int p = 0; p < 8; ++p) top = std::max<std::int32_t>(top, highest[p]);
  return {top, sum};
}

}  // namespace

float ClockRandomSource::Draw() { return Draw24(static_cast<std::uint32_t>(engine_())); }

std::optional<SongPart> DrawRandomPart(const Songs& songs, RandomSource& random) {
  const std::int32_t n = songs.SongCount();
  if (n == 0) return std::nullopt;
  random.Reseed();
  const float songDraw = random.Draw();
  const float partDraw = random.Draw();
  const auto part = static_cast<std::int32_t>(std::floor(partDraw * 8.0f)) + 1;
  auto song = static_cast<std::int32_t>(std::floor(static_cast<double>(songDraw) * n)) + 1;
  song = std::min(song, n);  // only a draw of 1, which a RandomSource never gives, could pass n
  return SongPart{song, std::min(part, 8)};
}

std::optional<SongPart> DrawWeightedPart(const Songs& songs, RandomSource& random) {
  const std::int32_t n = songs.SongCount();
  if (n == 0) return std::nullopt;

  // Each pair stands in the list (highest - count + 1) times. The list is
  // never built: its length follows from the highest play count and the sum
  // of all play counts, and entry k is found by walking the songs in list
  // order, a whole song at a time until k lies inside one.
  const PlayTotals totals = SumPlayCounts(songs);
  const std::int64_t pairWeightBase = static_cast<std::int64_t>(totals.highest) + 1;
  const std::int64_t count = 8 * pairWeightBase * n - totals.sum;

  random.Reseed();
  const float draw = random.Draw();
  std::int64_t k = static_cast<std::int64_t>(std::floor(static_cast<double>(draw) * static_cast<double>(count))) + 1;
  k = std::clamp<std::int64_t>(k, 1, count);

  std::int64_t sum = 0;
  std::int32_t s = 0;
  for (const SongRecord& song : songs.All()) {
    ++s;
    const std::int64_t songWeight = 8 * pairWeightBase - Total(PairSums(PlayCountsOf(song)));
    if (sum + songWeight < k) {
      sum += songWeight;
      continue;
    }
    for (std::size_t p = 1; p <= 8; ++p) {
      sum += pairWeightBase - song.PlayCount[p];
      if (sum >= k) return SongPart{s, static_cast<std::int32_t>(p)};
    }
  }
  return SongPart{n, 8};  // unreachable: k <= count, the total of the weights
}

}  // namespace quillbox
