#pragma once
// The song table and the part names that every view reads.
#include <array>
#include <cstdint>
#include <span>
#include <vector>

#include "base/Text.h"

namespace quillbox {

inline constexpr int kParts = 9;       // index 0 exists but is never shown
inline constexpr int kScoreRanks = 4;  // best-score places; 0 is never shown
inline constexpr int kStandardSongs = 9;

struct SongRecord {
  Text Title;
  std::array<std::int16_t, kParts> PlayCount{};
  std::array<std::uint8_t, kParts> HiPerfect{};
  std::array<std::array<std::uint8_t, kScoreRanks>, kParts> BestPerfect{};
  std::array<std::array<std::int32_t, kScoreRanks>, kParts> BestScore{};

  friend bool operator==(const SongRecord&, const SongRecord&) = default;
};

// Record 0 always exists and stays empty; songs are records 1..SongCount().
class Songs {
 public:
  Songs() : records_(1) {}

  std::int32_t SongCount() const { return static_cast<std::int32_t>(records_.size() - 1); }
  const SongRecord& operator[](std::int32_t index) const {
    return records_.at(static_cast<std::size_t>(index));
  }
  SongRecord& operator[](std::int32_t index) { return records_.at(static_cast<std::size_t>(index)); }
  // Songs 1..N in table order, for loops over the whole table.
  std::span<const SongRecord> All() const { return std::span(records_).subspan(1); }

  // Appends an empty record and returns it.
  SongRecord& AddSong();
  // Makes room for `songs` songs at once; only a hint.
  void Reserve(std::size_t songs);

 private:
  std::vector<SongRecord> records_;
};

using PartNames = std::array<Text, kParts>;

// Index 0 stays empty; 1..8 are the characters the parts belong to.
void InitPartNames(PartNames& names);

}  // namespace quillbox
