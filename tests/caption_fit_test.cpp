#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "ui/common/CaptionFit.h"

namespace quillbox::ui {
namespace {

// The sizes at which a caption fits need not run together: where the line's
// rounding puts the ink, one size may be cut while a smaller one is not.
TEST(FittingSize, LargestSizeThatFitsDownToTheFirstAtOrBelowTheSmallest) {
  const struct {
    const char* what;
    double designed, step, smallest;
    std::vector<double> fitting;
    double size;
  } cases[] = {
      {"fits as designed", 9, 0.5, 6, {9, 8}, 9},
      {"one step down", 11, 0.5, 6, {10.5, 9, 8.5}, 10.5},
      {"past a cut size", 11, 0.5, 6, {9.5, 8}, 9.5},
      {"fits only at the smallest", 9, 0.5, 6, {6}, 6},
      {"none fits: the smallest", 9, 0.5, 6, {}, 6},
      {"none fits: the first below it", 9.25, 0.5, 6, {}, 5.75},
      {"at the smallest already", 6, 0.5, 6, {}, 6},
      {"below the smallest already", 5, 0.5, 6, {}, 5},
  };
  for (const auto& c : cases) {
    const auto fits = [&c](double size) {
      return std::find(c.fitting.begin(), c.fitting.end(), size) != c.fitting.end();
    };
    EXPECT_EQ(FittingSize(c.designed, c.step, c.smallest, fits), c.size) << c.what;
  }
  // The Windows window's pixel heights, whole numbers.
  EXPECT_EQ(FittingSize(20L, 1L, 8L, [](long px) { return px <= 19; }), 19L);
  EXPECT_EQ(FittingSize(20L, 1L, 8L, [](long) { return false; }), 8L);
}

}  // namespace
}  // namespace quillbox::ui
