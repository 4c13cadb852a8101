#pragma once
// The report texts shown in the text box. Each is built whole from the song
// table; none keeps state between calls.
#include <array>
#include <cstdint>
#include <optional>
#include <string_view>

#include "base/Numbers.h"
#include "ranks/Ranks.h"
#include "scores/SongTable.h"

namespace quillbox {

using ChartMode = std::int16_t;
inline constexpr ChartMode kHiPerfectChart = 0;
inline constexpr ChartMode kBestScoreChart = 1;
inline constexpr ChartMode kPlayCountChart = 2;

// One row per song, one cell per part. Modes other than 0 to 2 give rows
// without cells.
Text ChartText(const Songs& songs, ChartMode mode);

inline constexpr int kRankLines = 9;

// The ladder's scale of each rank line for a table of `songs` songs, in the
// order of the lines.
std::array<float, kRankLines> RankSummaryScales(std::int32_t songs);

// One line of the rank summary as numbers.
struct RankLine {
  std::u16string_view label;         // without its two closing blanks
  std::int32_t total = 0;            // the line's weighted total
  Text name;                         // the rank's name; empty past the last rung
  std::optional<std::int32_t> next;  // points to the next rank; none past the last rung
  float scale = 0;                   // the ladder's scale for this line
  bool blankAfter = false;           // an empty line follows it in the text
  bool operator==(const RankLine&) const = default;
};
using RankLines = std::array<RankLine, kRankLines>;

// The nine lines; nullopt when a sum, a value or a rank leaves 32 bits.
std::optional<RankLines> RankSummaryLines(const Songs& songs, const Ranks& ranks);

// One line as the summary shows it, without its line end.
Text RankLineText(const RankLine& line);
// The nine lines as the rank view shows them.
Text RankSummaryText(const RankLines& lines);
// The same from the table. Throws OverflowError where RankSummaryLines
// gives nullopt; nothing partial is returned.
Text RankSummaryText(const Songs& songs, const Ranks& ranks);

// Everything the table holds about one part of one song; nullopt when song
// is outside 0..N or part outside 0..8.
std::optional<Text> PartDetailText(const Songs& songs, const PartNames& names, std::int32_t song,
                                   std::int32_t part);

}  // namespace quillbox
