#include <gtest/gtest.h>

#include <limits>

#include "ranks/Ranks.h"
#include "tests/support/TestUtil.h"

namespace quillbox {
namespace {

class RankTextTest : public ::testing::Test {
 protected:
  void SetUp() override { InitRanks(ranks_); }
  Ranks ranks_;
};

TEST_F(RankTextTest, LadderIsStrictlyRising) {
  for (int i = 1; i < kRungs; ++i) EXPECT_LT(ranks_[i - 1].Threshold, ranks_[i].Threshold) << i;
  EXPECT_EQ(ranks_[0].Name, u"なし");
  EXPECT_EQ(ranks_[27].Name, u"神");
  EXPECT_EQ(ranks_[27].Threshold, 20000);
}

TEST_F(RankTextTest, NamesTheFirstRungAboveTheValue) {
  const float third = static_cast<float>(1.0 / 3);
  const float tenNinths = static_cast<float>(10.0 / 9);
  ASSERT_EQ(static_cast<double>(third), 0.3333333432674408);
  ASSERT_EQ(static_cast<double>(tenNinths), 1.1111111640930176);
  const struct {
    std::int32_t value;
    float scale;
    const char* expected;
  } cases[] = {
      {0, 1, "なし  next 240"},
      {239, 1, "なし  next 1"},
      {240, 1, "十級  next 240"},
      {250, 1, "十級  next 230"},
      {4480, 1, "三級  next 420"},
      {10798, 1, "覇王  next 1"},
      {10799, 1, "神  next 9201"},
      {19999, 1, "神  next 1"},
      {20000, 1, ""},
      {std::numeric_limits<std::int32_t>::max(), 1, ""},
      {-10, 1, "なし  next 250"},
      {1800, third, "一級  next 660"},
      {6000, tenNinths, "一級  next 2200"},
      {0, 0, ""},
      {-5, 0, "なし  next 5"},
      {5259, 0.5f, "名人  next 1"},   // 10521 * 0.5 = 5260.5 rounds to 5260
      {5260, 0.5f, "超人  next 23"},  // 10566 * 0.5 = 5283
      {5305, 0.5f, "魔人  next 1"},   // 10611 * 0.5 = 5305.5 rounds to 5306
      {0, -1, ""},                    // negative scale: every threshold is below 0
      {-20001, -1, "なし  next 19761"},  // ... unless the value is lower still
  };
  for (const auto& c : cases) {
    EXPECT_EQ(RankText(ranks_, c.value, c.scale), test::U(c.expected)) << c.value << " @ " << c.scale;
  }
}

TEST_F(RankTextTest, OverflowIsAnErrorNotAWrap) {
  // A scaled threshold beyond 32 bits.
  EXPECT_THROW(RankText(ranks_, std::numeric_limits<std::int32_t>::max(), 200000.0f), OverflowError);
  EXPECT_EQ(RankText(ranks_, 0, 200000.0f), u"なし  next 48000000");  // low rungs still fit
  // Missing points beyond 32 bits: threshold 240 minus the lowest value.
  EXPECT_THROW(RankText(ranks_, std::numeric_limits<std::int32_t>::min(), 1), OverflowError);
}

}  // namespace
}  // namespace quillbox
