#include <algorithm>

#include "base/Numbers.h"
#include "views/Views.h"

namespace quillbox {

std::array<float, kRankLines> RankSummaryScales(std::int32_t songs) {
  // Each scale is worked out in double precision and only the final quotient
  // is narrowed to float, in the same order of divisions as the ladder expects.
  const double all = static_cast<double>(songs);
  const double added = static_cast<double>(CheckedSub(songs, kStandardSongs));
  const auto scale = [](double x) { return static_cast<float>(x); };
  return {1.0f,           scale(all / 9), scale(added / 9),     scale(all / 9 / 3),  scale(all / 9 / 3),
          scale(1.0 / 3), scale(1.0 / 3), scale(added / 9 / 3), scale(added / 9 / 3)};
}

Text RankSummaryText(const Songs& songs, const Ranks& ranks) {
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

  struct Line {
    const char16_t* label;
    std::int32_t value;
    float scale;
    bool blankAfter;
  };
  const Line lines[] = {
      {u"公認段位  ", CheckedAdd(a, CheckedMul(2, b)), scales[0], true},
      {u"総合段位  ", CheckedAdd(CheckedAdd(CheckedAdd(a, CheckedMul(2, b)), c), CheckedMul(2, d)), scales[1],
       true},
      {u"追加曲段位  ", CheckedAdd(c, CheckedMul(2, d)), scales[2], true},
      {u"表キャラ  ", CheckedAdd(a, c), scales[3], false},
      {u"裏キャラ  ", CheckedAdd(b, d), scales[4], true},
      {u"標準曲 表キャラ  ", a, scales[5], false},
      {u"標準曲 裏キャラ  ", b, scales[6], false},
      {u"追加曲 表キャラ  ", c, scales[7], false},
      {u"追加曲 裏キャラ  ", d, scales[8], false},
  };

  Text text;
  for (const Line& line : lines) {
    text += line.label;
    text += Decimal(line.value);
    text += u"  ";
    text += RankText(ranks, line.value, line.scale);
    text += line.blankAfter ? u"\r\n\r\n" : u"\r\n";
  }
  return text;
}

}  // namespace quillbox
