#include <gtest/gtest.h>

#include <algorithm>

#include "tests/support/TestUtil.h"
#include "views/Views.h"

namespace quillbox {
namespace {

using test::U;

class PartDetailTest : public ::testing::Test {
 protected:
  void SetUp() override {
    InitPartNames(names_);
    songs_.AddSong().Title = u"First";
    songs_.AddSong();  // empty title
    SongRecord& third = songs_.AddSong();
    third.Title = u"Third Song";
    third.PlayCount[5] = 12;
    third.HiPerfect[5] = 87;
    third.BestScore[5] = {1, 912345, 900010, 0};
    third.BestPerfect[5] = {1, 87, 80, 0};
    third.PlayCount[8] = -3;
    third.BestScore[8] = {0, 2147483647, -5, -2147483647 - 1};
    third.BestPerfect[8] = {0, 255, 0, 1};
  }
  PartNames names_;
  Songs songs_;
};

TEST_F(PartDetailTest, Example) {
  EXPECT_EQ(PartDetailText(songs_, names_, 3, 5),
            U("3 : Third Song / SORANNE\r\n\r\nplayed 12 times\r\n\r\nHi perfect 87\r\n\r\n"
              "score best3\r\n  1 : 912345(87)\r\n  2 : 900010(80)\r\n  3 : 0(0)"));
}

TEST_F(PartDetailTest, WideNegativeAndEmptyValues) {
  EXPECT_EQ(PartDetailText(songs_, names_, 3, 8),
            U("3 : Third Song / NOVA\r\n\r\nplayed -3 times\r\n\r\nHi perfect 0\r\n\r\n"
              "score best3\r\n  1 : 2147483647(255)\r\n  2 : -5(0)\r\n  3 : -2147483648(1)"));
  const auto empty = PartDetailText(songs_, names_, 2, 1);
  ASSERT_TRUE(empty.has_value());
  EXPECT_EQ(*empty, U("2 :  / MIRELLA\r\n\r\nplayed 0 times\r\n\r\nHi perfect 0\r\n\r\n"
                      "score best3\r\n  1 : 0(0)\r\n  2 : 0(0)\r\n  3 : 0(0)"));
  EXPECT_EQ(std::count(empty->begin(), empty->end(), u'\n'), 9);
  EXPECT_EQ(empty->back(), u')');
}

TEST_F(PartDetailTest, OutsideTheTableShowsNothing) {
  for (auto [song, part] : {std::pair{4, 1}, {-1, 1}, {1, 9}, {1, -1}}) {
    EXPECT_FALSE(PartDetailText(songs_, names_, song, part).has_value()) << song << "," << part;
  }
  EXPECT_TRUE(PartDetailText(songs_, names_, 0, 0).has_value());  // record 0 exists
}

}  // namespace
}  // namespace quillbox
