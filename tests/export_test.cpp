#include "tools/report/Export.h"

#include <gtest/gtest.h>

#include <vector>

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

}  // namespace
}  // namespace quillbox
