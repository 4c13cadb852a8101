#include "report/Export.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <limits>
#include <vector>

#include "report/Console.h"

namespace quillbox {
namespace {

// A large export reaches the writer in pieces that each end between two
// songs, and stops at the first piece that cannot be written.
TEST(ExportTest, LargeTablesGoOutInWholeSongs) {
  Songs songs;
  for (int s = 0; s < 10000; ++s) songs.AddSong().Title = Text(1, u't');
  PartNames names;
  InitPartNames(names);
  const struct {
    ExportFormat format;
    std::u16string_view pieceEnd;
  } cases[] = {{ExportFormat::Json, u"]}]}"}, {ExportFormat::Csv, u"\r\n"}, {ExportFormat::Tsv, u"\n"}};
  for (const auto& c : cases) {
    std::vector<Text> pieces;
    EXPECT_TRUE(WriteExport(songs, names, c.format, u"0.90.3", [&](const Text& piece) {
      pieces.push_back(piece);
      return true;
    }));
    ASSERT_GT(pieces.size(), 1u) << static_cast<int>(c.format);
    for (std::size_t i = 0; i + 1 < pieces.size(); ++i) {
      EXPECT_TRUE(pieces[i].ends_with(c.pieceEnd)) << "piece " << i;
    }

    int calls = 0;
    EXPECT_FALSE(WriteExport(songs, names, c.format, u"0.90.3", [&](const Text&) { return ++calls < 2; }));
    EXPECT_EQ(calls, 2) << "no piece after the one that failed";
  }
}

// A console gets the text in pieces of at most 32 KiB, none ending inside a
// surrogate pair; a short write goes on where it stopped, and a write that
// takes nothing fails the text.
TEST(ConsoleOutput, PiecesOfAtMost32KiBAndShortWritesContinued) {
  Text text(40000, u'a');
  text[kConsolePiece - 1] = 0xD83C;  // U+1F3B5 across the first piece's end
  text[kConsolePiece] = 0xDFB5;
  const struct {
    std::size_t takes;  // the most one write takes
    bool written;
  } cases[] = {{std::numeric_limits<std::size_t>::max(), true}, {1000, true}, {0, false}};
  for (const auto& c : cases) {
    Text out;
    const bool written = WriteInPieces(text, [&](const char16_t* piece, std::size_t n) {
      EXPECT_LE(n, kConsolePiece);
      EXPECT_FALSE(out.size() + n < text.size() && piece[n - 1] >= 0xD800 && piece[n - 1] <= 0xDBFF);
      const std::size_t taken = std::min(n, c.takes);
      out.append(piece, taken);
      return taken;
    });
    EXPECT_EQ(written, c.written) << c.takes;
    if (c.written) {
      EXPECT_EQ(out, text) << c.takes;
    }
  }
}

// Explains itself only to a console of its own (a double-click) and only
// when given nothing to do.
TEST(ConsoleOutput, ExplainsItselfOnlyWhenStartedAloneWithoutArguments) {
  EXPECT_TRUE(ExplainsItself(1, 1));
  EXPECT_FALSE(ExplainsItself(2, 1));  // a command prompt shares the console
  EXPECT_FALSE(ExplainsItself(1, 2));
  EXPECT_FALSE(ExplainsItself(0, 1));  // no console at all
}

// A terminal shows every C0 and C1 control as U+FFFD, the edges of both
// ranges included; line ends, tabs and the characters around them stay.
TEST(ConsoleOutput, ControlsShowOnATerminal) {
  using std::literals::operator""sv;
  const struct {
    std::u16string_view in, shown;
  } cases[] = {
      {u"\x1B]0;title\x07x", u"\uFFFD]0;title\uFFFDx"},
      {u"\x1B[2J", u"\uFFFD[2J"},
      {u"\u0000\u001F \u007F\u0080\u009F\u00A0"sv, u"\uFFFD\uFFFD \u007F\uFFFD\uFFFD\u00A0"},
      {u"a\tb\r\n表\u2400", u"a\tb\r\n表\u2400"},
  };
  for (const auto& c : cases) EXPECT_EQ(ShownOnTerminal(c.in), c.shown) << ToUtf8(Text(c.in));
}

}  // namespace
}  // namespace quillbox
