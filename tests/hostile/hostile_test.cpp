// Hostile score-file contents: each case states exactly what loading must
// give, not only that it survives.
#include <gtest/gtest.h>

#include <ostream>
#include <string>
#include <string_view>
#include <variant>

#include "ranks/Ranks.h"
#include "scores/Cp932.h"
#include "scores/ScoreFile.h"
#include "tests/support/HeapCount.h"
#include "tests/support/TestUtil.h"
#include "views/Views.h"

namespace quillbox {
namespace {

using namespace std::string_literals;

using test::MustParse;

std::size_t CountCrLf(const Text& text) {
  std::size_t n = 0;
  for (std::size_t i = 0; i + 1 < text.size(); ++i) n += (text[i] == u'\r' && text[i + 1] == u'\n') ? 1 : 0;
  return n;
}

// ---- How the cases show in test names and failures ----------------------

// Bytes as C escapes, long runs cut: a case of 100 000 digits stays one
// short line.
std::string ShowBytes(std::string_view bytes) {
  constexpr std::size_t kShown = 32;
  std::string out;
  for (const char c : bytes.substr(0, kShown)) {
    const auto b = static_cast<unsigned char>(c);
    if (c == '\r') {
      out += "\\r";
    } else if (c == '\n') {
      out += "\\n";
    } else if (c == '\\') {
      out += "\\\\";
    } else if (b < 0x20 || b >= 0x7F) {
      constexpr char kHex[] = "0123456789ABCDEF";
      out += {'\\', 'x', kHex[b >> 4], kHex[b & 15]};
    } else {
      out += c;
    }
  }
  if (bytes.size() > kShown) out += "... (" + std::to_string(bytes.size()) + " bytes)";
  return out;
}

const char* KindName(LoadErrorKind kind) {
  switch (kind) {
    case LoadErrorKind::FileError: return "FileError";
    case LoadErrorKind::PartOutOfRange: return "PartOutOfRange";
    case LoadErrorKind::RankOutOfRange: return "RankOutOfRange";
    case LoadErrorKind::ValueOutOfRange: return "ValueOutOfRange";
    case LoadErrorKind::NoTitle: return "NoTitle";
    case LoadErrorKind::TooMany: return "TooMany";
    case LoadErrorKind::NoDecoder: return "NoDecoder";
  }
  return "?";
}

// ---- Value texts -------------------------------------------------------

struct ValueCase {
  std::string name;
  std::string line;  // a whole key line, read under one header
  // The stored number, or the kind of error loading must stop with.
  std::variant<std::int64_t, LoadErrorKind> expected;
};

std::int64_t FieldOf(const SongRecord& song, std::string_view line) {
  const auto digit = [&](std::size_t i) {
    return i < line.size() && line[i] >= '0' && line[i] <= '9' ? static_cast<std::size_t>(line[i] - '0') : 0;
  };
  if (line.rfind("HPR", 0) == 0) return song.HiPerfect[digit(3)];
  if (line.rfind("PR", 0) == 0) return song.BestPerfect[digit(3)][digit(2)];
  if (line.rfind("SCORE", 0) == 0) return song.BestScore[digit(6)][digit(5)];
  return song.PlayCount[digit(3)];
}

const std::string kDigits9 = std::string(100000, '9');
const std::string kZeros = std::string(100000, '0');

void PrintTo(const ValueCase& c, std::ostream* os) {
  *os << ShowBytes(c.line) << " -> ";
  if (const auto* kind = std::get_if<LoadErrorKind>(&c.expected)) {
    *os << KindName(*kind);
  } else {
    *os << std::get<std::int64_t>(c.expected);
  }
}

class ValueTextTest : public testing::TestWithParam<ValueCase> {};

TEST_P(ValueTextTest, ReadsExactlyOrStopsWithTheRightError) {
  const ValueCase& c = GetParam();
  // A value of 9 first, so that a line that wrongly sets nothing shows.
  const std::string key = c.line.substr(0, c.line.rfind("SCORE", 0) == 0 ? 8 : 5);
  const std::string file = "[Song\\]\r\n" + key + "9\r\n" + c.line + "\r\nHPs8=1\r\n";
  const LoadResult result = ParseScoreFile(file);
  if (const auto* kind = std::get_if<LoadErrorKind>(&c.expected)) {
    ASSERT_TRUE(result.error.has_value());
    EXPECT_EQ(result.error->kind, *kind);
    EXPECT_EQ(result.error->line, 3);
    EXPECT_EQ(result.songs[1].PlayCount[8], 0) << "no line after the error may be read";
  } else {
    ASSERT_FALSE(result.error.has_value()) << DescribeLoadError(*result.error);
    EXPECT_EQ(FieldOf(result.songs[1], c.line), std::get<std::int64_t>(c.expected));
    EXPECT_EQ(result.songs[1].PlayCount[8], 1);
  }
}

INSTANTIATE_TEST_SUITE_P(
    Hostile, ValueTextTest,
    testing::Values(
        ValueCase{"Exponent", "HPs1=1e999", 1}, ValueCase{"MinusZero", "HPs1=-0", 0},
        ValueCase{"LeadingPointHalf", "HPs1=.5", 0}, ValueCase{"TwoAndAHalf", "HPs1=2.5", 2},
        ValueCase{"ThreeAndAHalf", "HPs1=3.5", 4}, ValueCase{"MinusPointHalf", "HPs1=-.5", 0},
        ValueCase{"MinusTwoAndAHalf", "HPs1=-2.5", -2}, ValueCase{"ExplicitPlus", "HPs1=+7", 7},
        ValueCase{"BlanksBetweenDigits", "HPs1= 1 2 ", 12}, ValueCase{"TabBeforeDigits", "HPs1=\t7", 7},
        ValueCase{"SecondPointEnds", "HPs1=1.2.3", 1}, ValueCase{"PointAlone", "HPs1=.", 0},
        ValueCase{"SignAlone", "HPs1=-", 0}, ValueCase{"TwoSigns", "HPs1=--5", 0},
        ValueCase{"HexPrefix", "HPs1=0x1F", 0}, ValueCase{"CommaEnds", "HPs1=1,5", 1},
        ValueCase{"NulValue", "HPR1=\0"s, 0}, ValueCase{"NulEndsNumber", "HPR1=7\0 9"s, 7},
        ValueCase{"FullWidthDigit", "HPs1=\x82\x50", 0},
        ValueCase{"HiPerfectTieDown", "HPR1=254.5", 254},
        ValueCase{"HiPerfectTieUp", "HPR1=255.5", LoadErrorKind::ValueOutOfRange},
        ValueCase{"PlayCountLowest", "HPs1=-32768", -32768},
        ValueCase{"PlayCountBelow", "HPs1=-32768.6", LoadErrorKind::ValueOutOfRange},
        ValueCase{"ScoreHighest", "SCORE11=2147483647.4", 2147483647},
        ValueCase{"ScoreAbove", "SCORE11=2147483647.5", LoadErrorKind::ValueOutOfRange},
        // 100 000 digits: too large for every field, but exact when the
        // digits are zeros or only a fraction.
        ValueCase{"HugeHiPerfect", "HPR1=" + kDigits9, LoadErrorKind::ValueOutOfRange},
        ValueCase{"HugeBestPerfect", "PR11=" + kDigits9, LoadErrorKind::ValueOutOfRange},
        ValueCase{"HugeScore", "SCORE11=" + kDigits9, LoadErrorKind::ValueOutOfRange},
        ValueCase{"HugePlayCount", "HPs1=" + kDigits9, LoadErrorKind::ValueOutOfRange},
        ValueCase{"HugeNegativeScore", "SCORE11=-" + kDigits9, LoadErrorKind::ValueOutOfRange},
        ValueCase{"ZerosThenValue", "HPR1=" + kZeros + "42", 42},
        ValueCase{"ZerosThenNegative", "SCORE11=-" + kZeros + "123456789", -123456789},
        ValueCase{"OnlyZeros", "HPs1=-" + kZeros, 0},
        ValueCase{"TinyFraction", "HPR1=0." + kZeros + "1", 0},
        ValueCase{"NinesFraction", "HPR1=1." + kDigits9, 2},
        ValueCase{"HalfWithZeros", "HPR1=3.5" + kZeros, 4},
        ValueCase{"ZerosThenHalf", "HPR1=" + kZeros + ".5", 0}),
    [](const testing::TestParamInfo<ValueCase>& param) { return param.param.name; });

// ---- Line ends, NUL bytes ----------------------------------------------

TEST(HostileLines, OnlyCarriageReturnsGiveNoSongsAndNoError) {
  const Songs songs = MustParse(std::string(1'000'000, '\r'));
  EXPECT_EQ(songs.SongCount(), 0);
}

TEST(HostileLines, EmptyLinesBetweenKeyLinesAreIgnored) {
  const Songs songs = MustParse("\r\r\rx\\\r\r\r\rHPR1=5\r\r\n\r\n\nHPR2=6\r");
  ASSERT_EQ(songs.SongCount(), 1);
  EXPECT_EQ(songs[1].HiPerfect[1], 5);
  EXPECT_EQ(songs[1].HiPerfect[2], 6);
}

TEST(HostileLines, NulBytesAreOrdinaryCharacters) {
  // Position 1 is skipped whatever it is, NUL included. A NUL in a title is
  // shown as its picture, or the Windows text box would stop at it; that
  // holds for titles with Japanese characters (decoded lines) too.
  const Songs songs =
      MustParse("a\0b\0c\\tail\r\n\0\\\r\nHPR\0=5\r\nHPR1=9\r\nHPR1=\0\r\n[\0\x95\x5c\\\r\n"s);
  ASSERT_EQ(songs.SongCount(), 3);
  EXPECT_EQ(songs[1].Title, u"\u2400b\u2400c");
  EXPECT_EQ(songs[3].Title, u"\u2400表");
  EXPECT_EQ(songs[2].Title, u"");
  EXPECT_EQ(songs[2].HiPerfect[0], 5) << "a NUL in the part position reads as part 0";
  EXPECT_EQ(songs[2].HiPerfect[1], 0) << "HPR1=<NUL> reads 0";
}

TEST(HostileLines, AMegabyteOfNulsIsOneIgnoredLine) {
  const Songs songs = MustParse(std::string(1 << 20, '\0'));
  EXPECT_EQ(songs.SongCount(), 0);
}

// ---- Code page 932 -----------------------------------------------------

struct TitleCase {
  std::string name;
  std::string bytes;  // the whole file
  std::int32_t songs;
  Text lastTitle;  // title of the last song, when there is one
  std::int64_t hiPerfect1 = -1;  // HiPerfect(1) of the last song, or -1 to skip
};

void PrintTo(const TitleCase& c, std::ostream* os) {
  *os << ShowBytes(c.bytes) << " -> " << c.songs << (c.songs == 1 ? " song" : " songs");
}

class Cp932TitleTest : public testing::TestWithParam<TitleCase> {};

TEST_P(Cp932TitleTest, DecodesUnitByUnit) {
  const TitleCase& c = GetParam();
  const Songs songs = MustParse(c.bytes);
  ASSERT_EQ(songs.SongCount(), c.songs);
  if (c.songs == 0) return;
  EXPECT_EQ(songs[c.songs].Title, c.lastTitle);
  if (c.hiPerfect1 >= 0) {
    EXPECT_EQ(songs[c.songs].HiPerfect[1], c.hiPerfect1);
  }
}

INSTANTIATE_TEST_SUITE_P(
    Hostile, Cp932TitleTest,
    testing::Values(
        // A lead byte that ends a line stands alone: it must not take the CR
        // (or the CR LF) and with it the next line.
        TitleCase{"LeadAtEndOfHeaderLine", "xAB\\\x81\r\nHPR1=5\r\n", 1, u"AB", 5},
        TitleCase{"LeadAtEndOfKeyLine", "x\\\r\nHPR1=5\x81\r\nHPR2=6\r\n", 1, u"", 5},
        TitleCase{"LeadAtEndOfIgnoredLine", "zz\x81\r\nxT\\\r\nHPR1=3\r\n", 1, u"T", 3},
        TitleCase{"LeadAtEndOfFile", "xT\\\r\nHPR1=5\x81", 1, u"T", 5},
        TitleCase{"LeadBeforeLoneCr", "xT\\\x95\rHPR1=4", 1, u"T", 4},
        // 0x5C after a lead byte is a trail byte, not a backslash.
        TitleCase{"TrailBackslashIsNoHeader", "xAB\x81\\\r\n", 0, u""},
        TitleCase{"TrailBackslashInTitle", "x\x95\\\x81\\\\Hard\r\n", 1, u"\u8868\u2015"},
        // Each unit that does not decode is one U+FFFD; a bad pair takes its
        // 0x5C trail byte with it.
        TitleCase{"UnassignedPairs", "xA\x85\x40" "B\x85\\\\\r\n", 1, u"A\uFFFDB\uFFFD"},
        // With text after it, the pair's 0x5C cannot pass for the backslash.
        TitleCase{"UnassignedPairBeforeText", "xA\x85\\B\\\r\n", 1, u"A\uFFFDB"},
        TitleCase{"LeadBeforeBlank", "xA\x81 B\\\r\n", 1, u"A\uFFFD B"},
        TitleCase{"UnassignedRowTwice", "x\xEB\x40\xEB\x40\\\r\n", 1, u"\uFFFD\uFFFD"},
        TitleCase{"SingleBytesWithoutCharacter", "x\x80\xA0\xFD\xFE\xFF\\\r\n", 1,
                  u"\uFFFD\uFFFD\uFFFD\uFFFD\uFFFD"},
        TitleCase{"HalfWidthKatakana", "x\xB8\xB2\xD9\\\r\n", 1, u"\uFF78\uFF72\uFF99"},
        // A UTF-8 byte-order mark is read as code page 932 like any other
        // bytes: EF BB is one bad unit, BF is a half-width katakana.
        TitleCase{"Utf8BomBeforeHeader", "\xEF\xBB\xBF[Song A\\Hard]\r\nHPR1=5\r\n", 1, u"\uFF7F[Song A", 5},
        TitleCase{"Utf8BomBeforeBackslash", "\xEF\xBB\xBF\\x\r\nHPR1=6\r\n", 1, u"\uFF7F", 6},
        TitleCase{"Utf8BomBeforeKeyLine", "\xEF\xBB\xBFHPR1=5\r\nx\\\r\nHPR2=1\r\n", 1, u"", 0},
        TitleCase{"Utf8Title", "x\xE6\x97\xA5\xE6\x9C\xAC\\\r\n", 1, u"\u8B4C\uFF65\u8B5B\uFF6C"}),
    [](const testing::TestParamInfo<TitleCase>& param) { return param.param.name; });

TEST(HostileCp932, DecoderKeepsEveryOtherUnitAroundABadOne) {
  EXPECT_EQ(DecodeCp932("AB\x81"), u"AB\uFFFD");
  EXPECT_EQ(DecodeCp932("\x81"), u"\uFFFD");
  EXPECT_EQ(DecodeCp932("\x95\\\x95"), u"\u8868\uFFFD");
  EXPECT_EQ(DecodeCp932("a\x85\x40z"), u"a\uFFFDz");
}

TEST(HostileCp932, BadUnitsPastTheScratchBufferStayInPlace) {
  // Long runs of valid text around bad units, so decoding goes through its
  // buffer many times over.
  std::string bytes;
  Text expected;
  for (int i = 0; i < 50'000; ++i) {
    bytes += "\x95\\a";
    expected += u"\u8868a";
    if (i % 997 == 0) {
      bytes += "\x85\x40";
      expected += u'\uFFFD';
    }
  }
  EXPECT_EQ(DecodeCp932(bytes), expected);
}

// ---- Large tables and titles -------------------------------------------

TEST(HostileSizes, TwoHundredThousandSongs) {
  // Work in proportion to what is read and written: loading and each view
  // allocate at most four times the file and the table, or the text; what
  // doubles as it grows stays within that. A table or a text grown by fixed
  // steps would copy itself thousands of times over.
  constexpr std::int64_t kSongs = 200'000;
  std::string file;
  for (int s = 0; s < kSongs; ++s) file += "[S\\]\r\nHPR1=200\r\nHPs2=3\r\n";
  const test::HeapMeter loading;
  const Songs songs = MustParse(file);
  const std::int64_t loadBytes = loading.Used().bytes;
  ASSERT_EQ(songs.SongCount(), kSongs);
  EXPECT_EQ(songs[200'000].HiPerfect[1], 200);
  EXPECT_EQ(songs[123'456].PlayCount[2], 3);
  const auto tableBytes = static_cast<std::int64_t>((kSongs + 1) * sizeof(SongRecord));
  ASSERT_GE(loadBytes, tableBytes) << "the heap is not counted";
  EXPECT_LE(loadBytes, 4 * (std::ssize(file) + tableBytes));

  for (const ChartMode mode : {kHiPerfectChart, kBestScoreChart, kPlayCountChart}) {
    const test::HeapMeter drawing;
    const Text chart = ChartText(songs, mode);
    const std::int64_t chartBytes = drawing.Used().bytes;
    EXPECT_EQ(CountCrLf(chart), 200'000u + 4) << "mode " << mode;
    const std::int64_t textBytes = std::ssize(chart) * std::int64_t{sizeof(char16_t)};
    EXPECT_GE(chartBytes, textBytes) << "mode " << mode;
    EXPECT_LE(chartBytes, 4 * textBytes) << "mode " << mode;
  }
  Ranks ranks;
  InitRanks(ranks);
  const test::HeapMeter summing;
  const Text summary = RankSummaryText(songs, ranks);
  // Sums over the table, which it neither copies nor turns into text.
  EXPECT_LT(summing.Used().bytes, kSongs);
  EXPECT_EQ(CountCrLf(summary), 13u);
  // Nine standard songs at 200 each, 199 991 added songs at 200 each.
  EXPECT_EQ(summary.rfind(u"公認段位  1800  ", 0), 0u);
  EXPECT_NE(summary.find(u"\r\n総合段位  40000000  "), Text::npos);
  EXPECT_NE(summary.find(u"\r\n追加曲段位  39998200  "), Text::npos);
}

TEST(HostileSizes, RankSummaryOverflowsInsteadOfWrapping) {
  // Every hi-perfect at 255 adds 3060 to the whole-table line per song: the
  // largest table whose total still fits in 32 bits, and one song more.
  // Built in memory, as a file of 700 000 such songs would take long to read.
  Ranks ranks;
  InitRanks(ranks);
  Songs songs;
  const auto addFullSong = [&songs] {
    SongRecord& song = songs.AddSong();
    for (std::size_t p = 1; p <= 8; ++p) song.HiPerfect[p] = 255;
  };
  for (int s = 0; s < 701'792; ++s) addFullSong();
  const Text summary = RankSummaryText(songs, ranks);
  EXPECT_EQ(CountCrLf(summary), 13u);
  // 701 792 x 3060 = 2 147 483 520: past every rung, so no rank text.
  EXPECT_NE(summary.find(u"\r\n総合段位  2147483520  \r\n\r\n"), Text::npos);

  addFullSong();
  EXPECT_THROW(RankSummaryText(songs, ranks), OverflowError);
  // The charts have no arithmetic to overflow.
  EXPECT_EQ(CountCrLf(ChartText(songs, kHiPerfectChart)), 701'793u + 4);
}

TEST(HostileSizes, MegabyteTitleOfTrailBackslashes) {
  // 表 is 95 5C: half a million of them and not one cut.
  std::string file = "x";
  for (int i = 0; i < (1 << 19); ++i) file += "\x95\\";
  file += "\\rest\r\nHPR1=77\r\n";
  const Songs songs = MustParse(file);
  ASSERT_EQ(songs.SongCount(), 1);
  EXPECT_EQ(songs[1].Title, Text(1 << 19, u'\u8868'));
  EXPECT_EQ(songs[1].HiPerfect[1], 77);
}

TEST(HostileSizes, ErrorKeepsOnlyTheShownPartOfAHugeLine) {
  // A message shows 200 characters and an ellipsis; a line of any length
  // must not be kept whole (as UTF-16, twice its size) to show that much.
  for (const std::string& tail : {std::string(1 << 20, 'a'), std::string(1 << 19, 'a') + "\x82\xA0"}) {
    const LoadResult result = ParseScoreFile("x\\\r\nHPR9=" + tail);
    ASSERT_TRUE(result.error.has_value());
    EXPECT_EQ(result.error->lineText.size(), 201u);
    const std::string message = DescribeLoadError(*result.error);
    EXPECT_NE(message.find("aaaa\xE2\x80\xA6 -- "), std::string::npos) << "cut with an ellipsis";
  }
}

TEST(HostileSizes, MegabyteAsciiTitle) {
  const std::string title(1 << 20, 'T');
  const Songs songs = MustParse("x" + title + "\\\r\n");
  ASSERT_EQ(songs.SongCount(), 1);
  EXPECT_EQ(songs[1].Title, Text(1 << 20, u'T'));
  const Text chart = ChartText(songs, kHiPerfectChart);
  EXPECT_EQ(CountCrLf(chart), 4u);
  // Header, separator, the row (bars, cells, title, CR LF), separator.
  EXPECT_EQ(chart.size(), 37u + 39u + (39u + (1u << 20) + 2u) + 39u);
}

}  // namespace
}  // namespace quillbox
