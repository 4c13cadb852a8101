#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>

#include "base/Numbers.h"
#include "base/Text.h"

namespace quillbox {
namespace {

TEST(RoundHalfEven, TiesGoToTheEvenNeighbour) {
  const struct {
    double in;
    double out;
  } cases[] = {
      {2.5, 2},        {3.5, 4},    {254.5, 254}, {255.5, 256}, {-0.5, 0},       {-1.5, -2},
      {-2.5, -2},      {0.49999999999999994, 0},   {2.5000000000000004, 3},     {1e300, 1e300},
      {-2147483648.5, -2147483648}, {2147483647.5, 2147483648}, {0.0, 0},      {7.0, 7},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(RoundHalfEven(c.in), c.out) << c.in;
  }
  EXPECT_TRUE(std::isinf(RoundHalfEven(std::numeric_limits<double>::infinity())));
}

TEST(RoundToInt32, OutsideTheRangeIsAnOverflowNotAClamp) {
  EXPECT_EQ(RoundToInt32(2147483646.5), 2147483646);
  EXPECT_EQ(RoundToInt32(-2147483648.4), std::numeric_limits<std::int32_t>::min());
  EXPECT_THROW(RoundToInt32(2147483647.5), OverflowError);
  EXPECT_THROW(RoundToInt32(-2147483648.6), OverflowError);
  EXPECT_THROW(RoundToInt32(std::nan("")), OverflowError);
}

TEST(CheckedArithmetic, OverflowThrowsInsteadOfWrapping) {
  constexpr auto kMax = std::numeric_limits<std::int32_t>::max();
  constexpr auto kMin = std::numeric_limits<std::int32_t>::min();
  EXPECT_EQ(CheckedAdd(kMax - 1, 1), kMax);
  EXPECT_THROW(CheckedAdd(kMax, 1), OverflowError);
  EXPECT_EQ(CheckedSub(0, kMax), kMin + 1);
  EXPECT_THROW(CheckedSub(kMin, 1), OverflowError);
  EXPECT_THROW(CheckedSub(0, kMin), OverflowError);
  EXPECT_EQ(CheckedMul(2, 1073741823), 2147483646);
  EXPECT_THROW(CheckedMul(2, 1073741824), OverflowError);
}

TEST(Decimal, PlainAndPadded) {
  EXPECT_EQ(Decimal(0), u"0");
  EXPECT_EQ(Decimal(-5), u"-5");
  EXPECT_EQ(Decimal(std::numeric_limits<std::int64_t>::min()), u"-9223372036854775808");
  EXPECT_EQ(PadLeft(-1, 4), u"  -1");
  EXPECT_EQ(PadLeft(255, 4), u" 255");
  EXPECT_EQ(PadLeft(10250, 4), u"10250");  // wider than the cell: whole, no blank
  EXPECT_EQ(PadLeft(1234567, 7), u"1234567");
}

TEST(Utf8, RoundTripsJapaneseAndReplacesBadInput) {
  const Text japanese = u"くいるぼっくす！表ソ\r\n\U0001F600";
  EXPECT_EQ(FromUtf8(ToUtf8(japanese)), japanese);
  EXPECT_EQ(ToUtf8(u"\xD800x"), "\xEF\xBF\xBDx");  // unpaired surrogate
  EXPECT_EQ(FromUtf8("a\xFF" "b\xE3\x81"), u"a\uFFFDb\uFFFD\uFFFD");
}

TEST(Utf8, AsciiAroundAnyCharacterAtAnyPlace) {
  // ASCII goes eight characters at a time: every place of another character
  // within and around such a run must give the same bytes.
  const std::pair<std::u16string_view, std::string_view> others[] = {
      {u"\u00E9", "\xC3\xA9"}, {u"表", "\xE8\xA1\xA8"}, {u"\U0001F600", "\xF0\x9F\x98\x80"},
      {u"\xDC00", "\xEF\xBF\xBD"}, {u"\x7F", "\x7F"}};
  for (const auto& [other, bytes] : others) {
    for (std::size_t place = 0; place <= 18; ++place) {
      const Text text = Text(place, u'a') + Text(other) + Text(18 - place, u'z');
      EXPECT_EQ(ToUtf8(text), std::string(place, 'a') + std::string(bytes) + std::string(18 - place, 'z'))
          << "place " << place;
    }
  }
}

TEST(Utf8, OverlongFormsAreNotCharacters) {
  // Each spells '/' (or NUL) in more bytes than it takes; only the shortest
  // forms decode, the longest legal ones included.
  for (const char* overlong : {"\xC0\xAF", "\xC1\xBF", "\xE0\x80\xAF", "\xF0\x80\x80\xAF", "\xC0\x80"}) {
    SCOPED_TRACE(::testing::PrintToString(std::string(overlong)));
    EXPECT_EQ(FromUtf8(overlong).find_first_not_of(u'\uFFFD'), Text::npos);
  }
  EXPECT_EQ(FromUtf8("\xC2\x80\xE0\xA0\x80\xF0\x90\x80\x80"), u"\u0080\u0800\U00010000");
}

TEST(Utf8, OutputIsSizedToItsText) {
  // A chart of a large table is mostly ASCII: its UTF-8 must not hold room
  // for three bytes a character.
  const std::string utf8 = ToUtf8(Text(1 << 20, u'x') + u"表");
  EXPECT_EQ(utf8.size(), (1u << 20) + 3);
  EXPECT_LT(utf8.capacity(), utf8.size() + 64);
}

}  // namespace
}  // namespace quillbox
