#include "views/Views.h"

namespace quillbox {

std::optional<Text> PartDetailText(const Songs& songs, const PartNames& names, std::int32_t song,
                                   std::int32_t part) {
  if (song < 0 || song > songs.SongCount() || part < 0 || part > 8) return std::nullopt;
  const SongRecord& record = songs[song];
  const auto p = static_cast<std::size_t>(part);
  Text text = Decimal(song) + u" : " + record.Title + u" / " + names[p] + u"\r\n\r\n";
  text += u"played " + Decimal(record.PlayCount[p]) + u" times\r\n\r\n";
  text += u"Hi perfect " + Decimal(record.HiPerfect[p]) + u"\r\n\r\n";
  text += u"score best3";
  for (std::size_t rank = 1; rank <= 3; ++rank) {
    text += u"\r\n  " + Decimal(static_cast<std::int64_t>(rank)) + u" : " +
            Decimal(record.BestScore[p][rank]) + u"(" + Decimal(record.BestPerfect[p][rank]) + u")";
  }
  return text;
}

}  // namespace quillbox
