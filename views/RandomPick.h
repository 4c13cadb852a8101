#pragma once
// Picking a song and part to play next, uniformly or towards the parts
// played least.
#include <cstdint>
#include <optional>
#include <random>

#include "scores/SongTable.h"

namespace quillbox {

// The platform generator the picks rely on. Draws are single precision and
// lie in [0, 1), never 1.
class RandomSource {
 public:
  virtual ~RandomSource() = default;
  virtual void Reseed() = 0;
  virtual float Draw() = 0;
};

// Mersenne Twister; Reseed takes the high-resolution clock unless a fixed seed
// was given, in which case every reseed starts the same sequence again.
class ClockRandomSource final : public RandomSource {
 public:
  // The engine's default seed is never drawn from: both picks call Reseed()
  // before their first draw.
  ClockRandomSource() = default;  // NOLINT(cert-msc32-c,cert-msc51-cpp)
  explicit ClockRandomSource(std::uint64_t fixedSeed) : fixedSeed_(fixedSeed) {}  // NOLINT(cert-msc32-c,cert-msc51-cpp)
  void Reseed() override;
  float Draw() override;

 private:
  std::optional<std::uint64_t> fixedSeed_;
  std::mt19937 engine_;
};

struct SongPart {
  std::int32_t song = 0;
  std::int32_t part = 0;
  friend bool operator==(const SongPart&, const SongPart&) = default;
};

// Both return nullopt for an empty table, without touching the generator.
std::optional<SongPart> DrawRandomPart(const Songs& songs, RandomSource& random);
std::optional<SongPart> DrawWeightedPart(const Songs& songs, RandomSource& random);

}  // namespace quillbox
