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

  // One text, sized up front: a chart of a large table runs to megabytes,
  // and growing it step by step would copy it over and over.
  const std::size_t rowLength = 1 + 2 + 4 + 2 + (hasCells ? 8 * cellWidth : 0);
  std::size_t size = header.size() + 3 * separator.size();
  for (std::int32_t s = 1; s <= songs.SongCount(); ++s) size += rowLength + songs[s].Title.size();

  Text text;
  text.reserve(size);
  text += header;
  text += separator;
  for (std::int32_t s = 1; s <= songs.SongCount(); ++s) {
    const SongRecord& song = songs[s];
    if (s == 10) text += separator;  // standard songs above, added songs below
    text += u'|';
    for (std::size_t p = 1; p <= 8; ++p) {
      if (hasCells) {
        std::int64_t value = 0;
        switch (mode) {
          case kHiPerfectChart: value = song.HiPerfect[p]; break;
          case kBestScoreChart: value = song.BestScore[p][1]; break;
          default: value = song.PlayCount[p]; break;
        }
        AppendPadLeft(text, value, cellWidth);
      }
      if (p == 4) text += u" |";
    }
    text += u" |  ";
    text += song.Title;
    text += u"\r\n";
  }
  text += separator;
  return text;
}

}  // namespace quillbox
