#include "views/RandomPick.h"

#include <algorithm>
#include <chrono>
#include <cmath>

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

  std::int32_t highest = 0;
  for (std::int32_t s = 1; s <= n; ++s) {
    for (std::size_t p = 1; p <= 8; ++p) highest = std::max<std::int32_t>(highest, songs[s].PlayCount[p]);
  }
  // Each pair stands in the list (highest - count + 1) times. The list is
  // never built: its length is the sum of the weights, and entry k is found
  // by walking the pairs in list order.
  const auto weight = [&](std::int32_t s, std::size_t p) {
    return static_cast<std::int64_t>(highest) - songs[s].PlayCount[p] + 1;
  };
  std::int64_t count = 0;
  for (std::int32_t s = 1; s <= n; ++s) {
    for (std::size_t p = 1; p <= 8; ++p) count += weight(s, p);
  }

  random.Reseed();
  const float draw = random.Draw();
  std::int64_t k = static_cast<std::int64_t>(std::floor(static_cast<double>(draw) * static_cast<double>(count))) + 1;
  k = std::clamp<std::int64_t>(k, 1, count);

  std::int64_t sum = 0;
  for (std::int32_t s = 1; s <= n; ++s) {
    for (std::size_t p = 1; p <= 8; ++p) {
      sum += weight(s, p);
      if (sum >= k) return SongPart{s, static_cast<std::int32_t>(p)};
    }
  }
  return SongPart{n, 8};  // unreachable: k <= count, the total of the weights
}

}  // namespace quillbox
