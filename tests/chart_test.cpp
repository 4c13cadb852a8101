#include <gtest/gtest.h>

#include "tests/support/TestUtil.h"
#include "views/Views.h"

namespace quillbox {
namespace {

using test::Show;

const Text kNarrowHeader = u"  MRL TPZ ONX PIP   SRN LUM BRI NOV\r\n";
const Text kNarrowSep = u"+-----------------+-----------------+\r\n";
const Text kWideHeader = u" MIRELLA TOPAZ  ONYX   PIP     SORANNE LUMINA BRISKA NOVA\r\n";
const Text kWideSep = u"+-----------------------------+-----------------------------+\r\n";

Songs TwoSongs() {
  Songs songs;
  SongRecord& first = songs.AddSong();
  first.Title = u"First Song";
  first.HiPerfect = {0, 12, 5, 0, 100, 7, 0, 0, 255};
  const std::int32_t scores[] = {812340, 0, 1234567, 0, 98765, 0, 0, 5};
  for (std::size_t p = 1; p <= 8; ++p) first.BestScore[p][1] = scores[p - 1];
  first.BestScore[1][2] = 999;  // other ranks never show
  SongRecord& second = songs.AddSong();
  second.Title = u"Second Song";
  second.HiPerfect = {9, 3, 3, 3, 3, 0, 0, 0, 1};
  second.BestScore[1][1] = 12345678;
  return songs;
}

TEST(Chart, FixedTextsHaveTheirWidths) {
  EXPECT_EQ(kNarrowHeader.size(), 35u + 2);
  EXPECT_EQ(kNarrowSep.size(), 37u + 2);
  EXPECT_EQ(kWideHeader.size(), 57u + 2);
  EXPECT_EQ(kWideSep.size(), 61u + 2);
}

TEST(Chart, HiPerfectExample) {
  const Text expected = kNarrowHeader + kNarrowSep +
                        u"|  12   5   0 100 |   7   0   0 255 |  First Song\r\n"
                        u"|   3   3   3   3 |   0   0   0   1 |  Second Song\r\n" +
                        kNarrowSep;
  EXPECT_EQ(ChartText(TwoSongs(), kHiPerfectChart), expected) << Show(ChartText(TwoSongs(), 0));
}

TEST(Chart, BestScoreExampleShiftsOnlyTheWideRow) {
  const Text expected = kWideHeader + kWideSep +
                        u"| 812340      01234567      0 |  98765      0      0      5 |  First Song\r\n"
                        u"|12345678      0      0      0 |      0      0      0      0 |  Second Song\r\n" +
                        kWideSep;
  EXPECT_EQ(ChartText(TwoSongs(), kBestScoreChart), expected) << Show(ChartText(TwoSongs(), 1));
}

TEST(Chart, PlayCountsNegativeAndTooWide) {
  Songs songs;
  SongRecord& song = songs.AddSong();
  song.PlayCount = {5, -1, 10250, 0, 32767, -32768, 9999, 1, 2};
  EXPECT_EQ(ChartText(songs, kPlayCountChart),
            kNarrowHeader + kNarrowSep + u"|  -110250   032767 |-327689999   1   2 |  \r\n" + kNarrowSep);
}

TEST(Chart, SeparatorBetweenStandardAndAddedSongs) {
  const auto countSeparators = [](const Text& text) {
    std::size_t n = 0;
    for (std::size_t pos = 0; (pos = text.find(kNarrowSep, pos)) != Text::npos; pos += kNarrowSep.size()) ++n;
    return n;
  };
  Songs songs;
  EXPECT_EQ(ChartText(songs, 0), kNarrowHeader + kNarrowSep + kNarrowSep);
  for (int i = 1; i <= 9; ++i) songs.AddSong().Title = Decimal(i);
  EXPECT_EQ(countSeparators(ChartText(songs, 0)), 2u);
  songs.AddSong().Title = u"10";
  const Text ten = ChartText(songs, 0);
  EXPECT_EQ(countSeparators(ten), 3u);
  EXPECT_NE(ten.find(u"|  9\r\n" + kNarrowSep + u"|   0"), Text::npos) << Show(ten);
}

TEST(Chart, OtherModesHaveBarsAndTitlesOnly) {
  const Text expected =
      kNarrowHeader + kNarrowSep + u"| | |  First Song\r\n| | |  Second Song\r\n" + kNarrowSep;
  for (ChartMode mode : {ChartMode{3}, ChartMode{-1}, ChartMode{32767}}) {
    EXPECT_EQ(ChartText(TwoSongs(), mode), expected);
  }
}

}  // namespace
}  // namespace quillbox
