#include "views/Views.h"

namespace quillbox {

Text ChartText(const Songs& songs, ChartMode mode) {
  const bool wide = mode == kBestScoreChart;
  const bool hasCells = mode == kHiPerfectChart || mode == kBestScoreChart || mode == kPlayCountChart;
  const Text header = wide ? u" MIRELLA TOPAZ  ONYX   PIP     SORANNE LUMINA BRISKA NOVA\r\n"
                           : u"  MRL TPZ ONX PIP   SRN LUM BRI NOV\r\n";
  const Text separator = wide ? u"+-----------------------------+-----------------------------+\r\n"
                              : u"+-----------------+-----------------+\r\n";
  const std::size_t cellWidth = wide ? 7 : 4;

  Text body;
  for (std::int32_t s = 1; s <= songs.SongCount(); ++s) {
    const SongRecord& song = songs[s];
    if (s == 10) body += separator;  // standard songs above, added songs below
    body += u'|';
    for (std::size_t p = 1; p <= 8; ++p) {
      if (hasCells) {
        std::int64_t value = 0;
        switch (mode) {
          case kHiPerfectChart: value = song.HiPerfect[p]; break;
          case kBestScoreChart: value = song.BestScore[p][1]; break;
          default: value = song.PlayCount[p]; break;
        }
        body += PadLeft(value, cellWidth);
      }
      if (p == 4) body += u" |";
    }
    body += u" |  ";
    body += song.Title;
    body += u"\r\n";
  }
  return header + separator + body + separator;
}

}  // namespace quillbox
