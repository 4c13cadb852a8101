// Loads arbitrary bytes as a score file and, when that succeeds, builds every
// view from the table, checking properties that wrong output would break,
// and that a view shown on a terminal carries no control that drives it.
// A failed check aborts, which libFuzzer and the corpus replay both report.
#include <algorithm>
#include <array>
#include <cerrno>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "base/Numbers.h"
#include "fuzz/Inputs.h"
#include "fuzz/LoadChecks.h"
#include "ranks/Ranks.h"
#include "scores/LoadMessages.h"
#include "views/RandomPick.h"
#include "views/Views.h"

namespace {

using quillbox::Songs;
using quillbox::Text;

// Bounds the per-song work so that a run stays fast on huge tables.
constexpr std::int32_t kMaxDetailSongs = 256;

// Counts of CR LF pairs, lone CRs and lone LFs: views write lines only as CR LF.
struct LineEnds {
  std::size_t crlf = 0;
  std::size_t loneCr = 0;
  std::size_t loneLf = 0;
};

LineEnds CountLineEnds(const Text& text) {
  LineEnds ends;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] == u'\r' && i + 1 < text.size() && text[i + 1] == u'\n') {
      ++ends.crlf;
      ++i;
    } else if (text[i] == u'\r') {
      ++ends.loneCr;
    } else if (text[i] == u'\n') {
      ++ends.loneLf;
    }
  }
  return ends;
}

bool EndsWith(const Text& text, std::u16string_view tail) {
  return text.size() >= tail.size() && std::u16string_view(text).substr(text.size() - tail.size()) == tail;
}

void CheckCharts(const Songs& songs) {
  const std::int32_t n = songs.SongCount();
  const std::size_t expectedLines = static_cast<std::size_t>(n) + 3 + (n >= 10 ? 1 : 0);
  for (const quillbox::ChartMode mode : {quillbox::ChartMode{0}, quillbox::ChartMode{1},
                                         quillbox::ChartMode{2}, quillbox::ChartMode{7}}) {
    const Text chart = quillbox::ChartText(songs, mode);
    const LineEnds ends = CountLineEnds(chart);
    FUZZ_CHECK(ends.crlf == expectedLines);
    FUZZ_CHECK(ends.loneCr == 0 && ends.loneLf == 0);
    FUZZ_CHECK(EndsWith(chart, u"+\r\n"));
    quillbox::fuzz::CheckShownOnTerminal(chart);
  }
  // Rows without cells are exactly the bars and the title, in file order.
  const Text bare = quillbox::ChartText(songs, 7);
  std::size_t pos = bare.find(u"\r\n") + 2;  // after the header
  pos = bare.find(u"\r\n", pos) + 2;        // after the separator
  for (std::int32_t s = 1; s <= n; ++s) {
    if (s == 10) pos = bare.find(u"\r\n", pos) + 2;
    const Text row = u"| | |  " + songs[s].Title + u"\r\n";
    FUZZ_CHECK(bare.compare(pos, row.size(), row) == 0);
    pos += row.size();
  }
  // Hi-perfect values are at most 255, so every row of that chart has the same
  // width before the title.
  const Text hiPerfect = quillbox::ChartText(songs, 0);
  const std::size_t firstRow = hiPerfect.find(u"\r\n", hiPerfect.find(u"\r\n") + 2) + 2;
  if (n >= 1) FUZZ_CHECK(hiPerfect.find(u"\r\n", firstRow) - firstRow == 39 + songs[1].Title.size());
}

void CheckRankSummary(const Songs& songs, const quillbox::Ranks& ranks) {
  try {
    const Text summary = quillbox::RankSummaryText(songs, ranks);
    const LineEnds ends = CountLineEnds(summary);
    FUZZ_CHECK(ends.crlf == 13 && ends.loneCr == 0 && ends.loneLf == 0);
    FUZZ_CHECK(summary.rfind(u"公認段位  ", 0) == 0);
    quillbox::fuzz::CheckShownOnTerminal(summary);
    // The lines as numbers say what the ladder's own query says of each total.
    const auto lines = quillbox::RankSummaryLines(songs, ranks);
    FUZZ_CHECK(lines.has_value());
    for (const quillbox::RankLine& line : *lines) {
      const Text rank = quillbox::RankText(ranks, line.total, line.scale);
      FUZZ_CHECK(quillbox::RankLineText(line) == Text(line.label) + u"  " + quillbox::Decimal(line.total) + u"  " + rank);
    }
  } catch (const quillbox::OverflowError&) {
    // Only tables of hundreds of thousands of songs reach this.
    FUZZ_CHECK(songs.SongCount() > 100000);
  }
}

void CheckPartDetail(const Songs& songs, const quillbox::PartNames& names, std::int32_t song,
                     std::int32_t part) {
  const std::optional<Text> detail = quillbox::PartDetailText(songs, names, song, part);
  FUZZ_CHECK(detail.has_value());
  const LineEnds ends = CountLineEnds(*detail);
  FUZZ_CHECK(ends.crlf == 9 && ends.loneCr == 0 && ends.loneLf == 0);
  FUZZ_CHECK(EndsWith(*detail, u")"));
  quillbox::fuzz::CheckShownOnTerminal(*detail);
  const Text head = quillbox::Decimal(song) + u" : " + songs[song].Title + u" / " +
                    names[static_cast<std::size_t>(part)] + u"\r\n";
  FUZZ_CHECK(detail->rfind(head, 0) == 0);
}

void CheckPartDetails(const Songs& songs, const quillbox::PartNames& names) {
  const std::int32_t n = songs.SongCount();
  for (std::int32_t s = 1; s <= std::min(n, kMaxDetailSongs); ++s) {
    for (std::int32_t p = 1; p <= 8; ++p) CheckPartDetail(songs, names, s, p);
  }
  if (n > kMaxDetailSongs) CheckPartDetail(songs, names, n, 8);
  FUZZ_CHECK(!quillbox::PartDetailText(songs, names, n + 1, 1).has_value());
  FUZZ_CHECK(!quillbox::PartDetailText(songs, names, 1, 9).has_value());
  FUZZ_CHECK(!quillbox::PartDetailText(songs, names, -1, 1).has_value());
}

// Every draw gives the same value; reseeding changes nothing.
class FixedDraws final : public quillbox::RandomSource {
 public:
  explicit FixedDraws(float value) : value_(value) {}
  void Reseed() override {}
  float Draw() override { return value_; }

 private:
  float value_;
};

bool NotAfter(const quillbox::SongPart& a, const quillbox::SongPart& b) {
  return a.song < b.song || (a.song == b.song && a.part <= b.part);
}

void CheckPicks(const Songs& songs, const quillbox::PartNames& names) {
  const std::int32_t n = songs.SongCount();
  const float draws[] = {0.0f, 0.5f, 0.99999f, std::nextafter(1.0f, 0.0f)};

  // The length of the weighted list, from its definition.
  std::int32_t highest = 0;
  for (std::int32_t s = 1; s <= n; ++s) {
    for (std::size_t p = 1; p <= 8; ++p) highest = std::max<std::int32_t>(highest, songs[s].PlayCount[p]);
  }
  std::int64_t count = 0;
  for (std::int32_t s = 1; s <= n; ++s) {
    for (std::size_t p = 1; p <= 8; ++p) count += static_cast<std::int64_t>(highest) - songs[s].PlayCount[p] + 1;
  }

  quillbox::SongPart previousUniform{0, 0};
  quillbox::SongPart previousWeighted{0, 0};
  for (const float draw : draws) {
    FixedDraws random(draw);
    const auto uniform = quillbox::DrawRandomPart(songs, random);
    const auto weighted = quillbox::DrawWeightedPart(songs, random);
    if (n == 0) {
      FUZZ_CHECK(!uniform && !weighted);
      continue;
    }
    FUZZ_CHECK(uniform && weighted);
    for (const quillbox::SongPart& pick : {*uniform, *weighted}) {
      FUZZ_CHECK(pick.song >= 1 && pick.song <= n && pick.part >= 1 && pick.part <= 8);
      CheckPartDetail(songs, names, pick.song, pick.part);
    }
    // A larger draw never picks an earlier entry.
    FUZZ_CHECK(NotAfter(previousUniform, *uniform));
    FUZZ_CHECK(NotAfter(previousWeighted, *weighted));
    previousUniform = *uniform;
    previousWeighted = *weighted;
    if (draw == 0.0f) {
      FUZZ_CHECK((*uniform == quillbox::SongPart{1, 1}));
      FUZZ_CHECK((*weighted == quillbox::SongPart{1, 1}));
    }
    if (draw > 0.9999999f) {
      // The largest draw reaches the last song and part while the product of
      // draw and length is still below the next whole number.
      FUZZ_CHECK(uniform->part == 8);
      if (n < (1 << 24)) FUZZ_CHECK(uniform->song == n);
      if (count < (1 << 24)) FUZZ_CHECK((*weighted == quillbox::SongPart{n, 8}));
    }
  }
}

// The report tool's --seed: a seeded source draws in [0, 1), and each pick
// starts the seed's sequence again, so the same seed picks the same parts.
void CheckSeededPicks(const Songs& songs, std::string_view bytes) {
  std::uint64_t seed = 0;
  std::memcpy(&seed, bytes.data(), std::min(bytes.size(), sizeof seed));
  quillbox::ClockRandomSource random(seed), again(seed);
  random.Reseed();
  for (int i = 0; i < 4; ++i) {
    const float draw = random.Draw();
    FUZZ_CHECK(0.0f <= draw && draw < 1.0f);
  }
  FUZZ_CHECK(quillbox::DrawRandomPart(songs, random) == quillbox::DrawRandomPart(songs, again));
  FUZZ_CHECK(quillbox::DrawWeightedPart(songs, random) == quillbox::DrawWeightedPart(songs, again));
}

// A file's name reaches every message of a file problem, and a dropped
// file's name is as hostile as a title: whatever it holds (here the input's
// first bytes, line breaks included), the English message stays one line
// without controls and the name adds no line to the window's messages.
using FileErrors = std::vector<quillbox::LoadError>;

FileErrors FileErrorsOf(const std::filesystem::path& path) {
  FileErrors errors;
  for (int p = 1; p < quillbox::kFileProblems; ++p)
    errors.push_back(quillbox::FileLoadError(path, static_cast<quillbox::FileProblem>(p), "why", u"理由"));
  for (const int code : {ENOENT, EPERM, EACCES, EISDIR, ENOTDIR, ENAMETOOLONG, ELOOP, EIO, EMFILE, ENFILE, ENOMEM, EBUSY})
    errors.push_back(quillbox::FileLoadError(path, code));
  return errors;
}

// The window's messages of a file problem: at start-up, after a drop, after F5.
std::array<Text, 3> WindowMessages(const quillbox::LoadError& error) {
  return {quillbox::DescribeLoadErrorJa(error), quillbox::DescribeDropErrorJa(error),
          quillbox::DescribeReloadErrorJa(error)};
}

void CheckFileMessages(std::string_view bytes) {
  static const std::vector<std::array<std::size_t, 3>> plainLines = [] {
    std::vector<std::array<std::size_t, 3>> lines;
    for (const quillbox::LoadError& error : FileErrorsOf("dir/hsc.ini")) {
      const std::array<Text, 3> messages = WindowMessages(error);
      lines.push_back({CountLineEnds(messages[0]).crlf, CountLineEnds(messages[1]).crlf,
                       CountLineEnds(messages[2]).crlf});
    }
    return lines;
  }();
  const FileErrors errors = FileErrorsOf(std::filesystem::path("dir") / std::string(bytes.substr(0, 64)));
  for (std::size_t e = 0; e < errors.size(); ++e) {
    for (const auto namedBy : {quillbox::NamedBy::FileOption, quillbox::NamedBy::Command}) {
      const std::string english = quillbox::DescribeLoadError(errors[e], namedBy);
      FUZZ_CHECK(english.find(" -- ") != std::string::npos);
      FUZZ_CHECK(std::none_of(english.begin(), english.end(),
                              [](char c) { return static_cast<unsigned char>(c) < 0x20 || c == 0x7F; }));
    }
    const std::array<Text, 3> messages = WindowMessages(errors[e]);
    for (std::size_t m = 0; m < 3; ++m) {
      const LineEnds ends = CountLineEnds(messages[m]);
      FUZZ_CHECK(ends.crlf == plainLines[e][m] && ends.loneCr == 0 && ends.loneLf == 0);
      FUZZ_CHECK(!messages[m].empty() && messages[m].back() == u'。');
      FUZZ_CHECK(std::none_of(messages[m].begin(), messages[m].end(),
                              [](char16_t c) { return (c < 0x20 && c != u'\r' && c != u'\n') || c == 0x7F; }));
    }
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  // The whole buffer, NUL bytes included.
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  CheckFileMessages(bytes);
  const quillbox::LoadResult result = quillbox::fuzz::ParseAndCheck(bytes);
  if (result.error) return 0;
  const Songs& songs = result.songs;

  const quillbox::Ranks& ranks = quillbox::fuzz::StandardRanks();
  const quillbox::PartNames& names = quillbox::fuzz::StandardPartNames();

  CheckCharts(songs);
  CheckRankSummary(songs, ranks);
  CheckPartDetails(songs, names);
  CheckPicks(songs, names);
  CheckSeededPicks(songs, bytes);
  return 0;
}
