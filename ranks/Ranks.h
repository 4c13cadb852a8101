#pragma once
// The kyu/dan rank ladder: rank name and points to the next rank.
#include <array>
#include <cstdint>
#include <optional>

#include "base/Numbers.h"
#include "base/Text.h"

namespace quillbox {

struct RankEntry {
  Text Name;
  std::int32_t Threshold = 0;  // points at scale 1 at which this name stops
};

inline constexpr int kRungs = 28;
using Ranks = std::array<RankEntry, kRungs>;

void InitRanks(Ranks& ranks);

// A rung's threshold at `scale`, as RankText compares it; throws
// OverflowError outside 32 bits.
std::int32_t ScaledThreshold(const RankEntry& rung, float scale);

// Where a value stands on the ladder: the first rung whose scaled threshold
// is above it, and the points still missing to that threshold.
struct RankPlace {
  int rung = 0;
  std::int32_t missing = 0;
};

// nullopt when the value passes every rung. Throws OverflowError when a
// scaled threshold or the difference leaves 32 bits.
std::optional<RankPlace> RankPlaceOf(const Ranks& ranks, std::int32_t value, float scale);

// The first rung whose scaled threshold is above `value`, as
// "NAME  next MISSING"; empty when the value passes every rung.
// Throws OverflowError when a scaled threshold or the difference leaves 32 bits.
Text RankText(const Ranks& ranks, std::int32_t value, float scale);

}  // namespace quillbox
