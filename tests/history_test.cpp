#include "render/History.h"

#include <gtest/gtest.h>

#include "tests/support/TestUtil.h"

namespace quillbox {
namespace {

using test::Show;
using test::U;

// A rank summary that overflows in the middle file is said in every format,
// not an error, and the files on either side keep theirs: the chart shows
// their points without a line across the gap.
TEST(HistoryTest, RankSummaryOverflowIsSaidInEveryFormat) {
  Ranks ranks;
  InitRanks(ranks);
  std::vector<ScoreSnapshot> files(3);
  for (int f = 0; f < 3; ++f) {
    files[static_cast<std::size_t>(f)].name = U("f") + Decimal(f + 1);
    for (int s = 0; s < 10; ++s) files[static_cast<std::size_t>(f)].songs.AddSong().HiPerfect.fill(50);
  }
  // About 702 000 songs at 255 pass 2^31 in the summary's second line.
  for (int s = 0; s < 702'000; ++s) files[1].songs.AddSong().HiPerfect.fill(255);

  const History history = BuildHistory(files, ranks);
  ASSERT_EQ(history.files.size(), 3u);
  EXPECT_TRUE(history.files[0].rank && history.files[2].rank);
  EXPECT_FALSE(history.files[1].rank);
  ASSERT_EQ(history.steps.size(), 2u);
  EXPECT_FALSE(history.steps[0].rankChanges || history.steps[1].rankChanges);

  const Text text = HistoryText(history);
  for (const char* line : {"     1   2  the rank summary overflows 32-bit arithmetic\r\n",
                           "     2   3  the rank summary overflows 32-bit arithmetic\r\n",
                           "    2  the rank summary overflows 32-bit arithmetic\r\n",
                           "    3   5400     一級  next 1980\r\n"}) {
    EXPECT_NE(text.find(U(line)), Text::npos) << line << "\n" << Show(text.substr(0, 1500));
  }
  const Text json = HistoryJson(history);
  EXPECT_NE(json.find(U("\"file\":\"f2\",\"modified\":null,\"songs\":702010,")), Text::npos) << Show(json);
  EXPECT_NE(json.find(U("\"rank\":null}")), Text::npos);
  EXPECT_NE(json.find(U("\"songsRemoved\":0,\"rankChanges\":null}")), Text::npos);
  const Text html = HistoryHtml(history, ranks);
  EXPECT_NE(html.find(U("data-file=\"1\" data-total=\"5400\"")), Text::npos);
  EXPECT_EQ(html.find(U("data-file=\"2\"")), Text::npos);
  EXPECT_EQ(html.find(U("class=\"line\"")), Text::npos);
}

}  // namespace
}  // namespace quillbox
