#include <algorithm>

#include "base/Numbers.h"
#include "views/Views.h"

namespace quillbox {
namespace {

RankLines LinesOf(const Songs& songs, const Ranks& ranks) {
  const std::int32_t n = songs.SongCount();
  std::int32_t a = 0, b = 0, c = 0, d = 0;
  auto addParts = [](std::int32_t& sum, const SongRecord& song, std::size_t first) {
    for (std::size_t p = first; p < first + 4; ++p) sum = CheckedAdd(sum, song.HiPerfect[p]);
  };
  // With fewer than nine songs the missing standard songs count as 0.
  for (std::int32_t s = 1; s <= std::min(n, kStandardSongs); ++s) {
    addParts(a, songs[s], 1);
    addParts(b, songs[s], 5);
  }
  for (std::int32_t s = kStandardSongs + 1; s <= n; ++s) {
    addParts(c, songs[s], 1);
    addParts(d, songs[s], 5);
  }

  const std::array<float, kRankLines> scales = RankSummaryScales(n);
  const std::int32_t official = CheckedAdd(a, CheckedMul(2, b));
  const std::int32_t added = CheckedAdd(c, CheckedMul(2, d));
  RankLines lines{{
      {u"公認段位", official, {}, {}, scales[0], true},
      {u"総合段位", CheckedAdd(official, added), {}, {}, scales[1], true},
      {u"追加曲段位", added, {}, {}, scales[2], true},
      {u"表キャラ", CheckedAdd(a, c), {}, {}, scales[3], false},
      {u"裏キャラ", CheckedAdd(b, d), {}, {}, scales[4], true},
      {u"標準曲 表キャラ", a, {}, {}, scales[5], false},
      {u"標準曲 裏キャラ", b, {}, {}, scales[6], false},
      {u"追加曲 表キャラ", c, {}, {}, scales[7], false},
      {u"追加曲 裏キャラ", d, {}, {}, scales[8], false},
  }};
  for (RankLine& line : lines) {
    if (const std::optional<RankPlace> place = RankPlaceOf(ranks, line.total, line.scale)) {
      line.name = ranks[static_cast<std::size_t>(place->rung)].Name;
      line.next = place->missing;
    }
  }
  return lines;
}

}  // namespace

std::array<float, kRankLines> RankSummaryScales(std::int32_t songs) {
  // Each scale is worked out in double precision and only the final quotient
  // is narrowed to float, in the same order of divisions as the ladder expects.
  const double all = static_cast<double>(songs);
  const double added = static_cast<double>(CheckedSub(songs, kStandardSongs));
  const auto scale = [](double x) { return static_cast<float>(x); };
  return {1.0f,           scale(all / 9), scale(added / 9),     scale(all / 9 / 3),  scale(all / 9 / 3),
          scale(1.0 / 3), scale(1.0 / 3), scale(added / 9 / 3), scale(added / 9 / 3)};
}

std::optional<RankLines> RankSummaryLines(const Songs& songs, const Ranks& ranks) {
  try {
    return LinesOf(songs, ranks);
  } catch (const OverflowError&) {
    return std::nullopt;
  }
}

Text RankLineText(const RankLine& line) {
  Text text(line.label);
  text += u"  ";
  text += Decimal(line.total);
  text += u"  ";
  if (line.next) {
    text += line.name;
    text += u"  next ";
    text += Decimal(*line.next);
  }
  return text;
}

Text RankSummaryText(const RankLines& lines) {
  Text text;
  for (const RankLine& line : lines) {
    text += RankLineText(line);
    text += line.blankAfter ? u"\r\n\r\n" : u"\r\n";
  }
  return text;
}

Text RankSummaryText(const Songs& songs, const Ranks& ranks) {
  // Computed without the catch, so that the overflow reaches the caller as it happened.
  return RankSummaryText(LinesOf(songs, ranks));
}

}  // namespace quillbox
