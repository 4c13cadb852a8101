#include "render/Compare.h"

#include <gtest/gtest.h>

#include "tests/support/TestUtil.h"

namespace quillbox {
namespace {

using test::Show;
using test::U;

// A rank summary that overflows is told in the comparison, not an error:
// null in JSON, a line in the text beside the other file's summary.
TEST(CompareTest, RankSummaryOverflowIsNullAndALine) {
  Ranks ranks;
  InitRanks(ranks);
  PartNames names;
  InitPartNames(names);
  Songs old;
  old.AddSong().Title = U("a");
  Songs now = old;
  // About 702 000 songs at 255 pass 2^31 in the summary's second line.
  for (int s = 0; s < 702'000; ++s) now.AddSong().HiPerfect.fill(255);

  for (const bool overflowIsNew : {true, false}) {
    const Songs& before = overflowIsNew ? old : now;
    const Songs& after = overflowIsNew ? now : old;
    const Comparison comparison = CompareTables(before, after, ranks);
    ASSERT_EQ(comparison.oldRank.has_value(), overflowIsNew);
    ASSERT_EQ(comparison.newRank.has_value(), !overflowIsNew);

    const Text json = ComparisonJson(before, after, comparison);
    const Text rank = json.substr(json.rfind(u",\"rank\":"));
    EXPECT_TRUE(
        rank.starts_with(overflowIsNew ? U(",\"rank\":{\"old\":\"公認段位") : U(",\"rank\":{\"old\":null,")))
        << Show(rank.substr(0, 40));
    EXPECT_EQ(rank.ends_with(u",\"new\":null}}\n"), overflowIsNew) << Show(rank);

    const Text text = ComparisonText(before, after, names, comparison);
    const Text overflow = overflowIsNew ? U("  new  the rank summary overflows 32-bit arithmetic\r\n")
                                        : U("  old  the rank summary overflows 32-bit arithmetic\r\n");
    EXPECT_NE(text.find(U("rank: 9 lines changed\r\n")), Text::npos);
    EXPECT_NE(text.find(overflow), Text::npos);
    EXPECT_NE(text.find(overflowIsNew ? U("  old  公認段位  ") : U("  new  公認段位  ")), Text::npos);
  }
}

}  // namespace
}  // namespace quillbox
