#include <algorithm>
#include <string_view>
#include <tuple>
#include <vector>

#include "render/Versus.h"
#include "render/VersusWords.h"

namespace quillbox {
namespace {

// Columns a character takes in a fixed-pitch Japanese font: two for the
// full-width ranges, one for the rest; a surrogate pair counts once.
std::size_t Width(std::u16string_view text) {
  std::size_t width = 0;
  for (const char16_t c : text) {
    if (c >= 0xDC00 && c <= 0xDFFF) continue;
    const bool wide = (c >= 0x1100 && c <= 0x115F) || (c >= 0x2E80 && c <= 0xA4CF) ||
                      (c >= 0xAC00 && c <= 0xD7A3) || (c >= 0xD800 && c <= 0xDBFF) ||
                      (c >= 0xF900 && c <= 0xFAFF) || (c >= 0xFE30 && c <= 0xFE4F) ||
                      (c >= 0xFF00 && c <= 0xFF60) || (c >= 0xFFE0 && c <= 0xFFE6);
    width += wide ? 2 : 1;
  }
  return width;
}

Text Pad(std::u16string_view text, std::size_t width) {
  Text out(text);
  const std::size_t has = Width(text);
  if (has < width) out.append(width - has, u' ');
  return out;
}

Text PadLeft(std::u16string_view text, std::size_t width) {
  const std::size_t has = Width(text);
  return Text(has < width ? width - has : 0, u' ') + Text(text);
}

// The summary's lines as the rank view shows them, the empty ones included.
std::vector<Text> ShownLines(const std::optional<RankLines>& rank, std::u16string_view overflow) {
  if (!rank) return {Text(overflow)};
  std::vector<Text> lines;
  for (const RankLine& line : *rank) {
    lines.push_back(RankLineText(line));
    if (line.blankAfter && &line != &rank->back()) lines.emplace_back();
  }
  return lines;
}

constexpr char16_t kRule[] = u"+--------------------------------------------------------------+\r\n";

}  // namespace

Text VersusText(const Songs& mine, const Songs& theirs, const PartNames& names, const Versus& versus,
                Language language) {
  const auto word = [language](VersusWord w) { return Word(w, language); };
  const auto songs = [&word](std::size_t n) {
    return Counted(static_cast<std::int64_t>(n), word(VersusWord::SongOne), word(VersusWord::SongMany));
  };
  Text out = Fill(word(VersusWord::Heading),
                  {songs(static_cast<std::size_t>(mine.SongCount())),
                   songs(static_cast<std::size_t>(theirs.SongCount())), Decimal(versus.matched)});
  out += u"\r\n";
  out += kRule;

  // The tallies: numbers right-aligned to the widest, at least the header's.
  const std::u16string_view groups[] = {word(VersusWord::FrontParts), word(VersusWord::BackParts),
                                        word(VersusWord::StandardSongs), word(VersusWord::AddedSongs)};
  std::size_t labelWidth = std::max<std::size_t>(4, Width(word(VersusWord::Part)));
  for (std::size_t p = 1; p <= 8; ++p) labelWidth = std::max(labelWidth, Width(names[p]));
  for (const std::u16string_view label : groups) labelWidth = std::max(labelWidth, Width(label));
  std::int64_t most = 0;
  for (const VersusRow& row : versus.rows) {
    for (const Tally& t : {row.hiPerfect, row.bestScore}) most = std::max({most, t.wins, t.losses, t.draws});
  }
  std::size_t w = std::max<std::size_t>(4, Decimal(most).size());
  for (const VersusWord head : {VersusWord::Win, VersusWord::Loss, VersusWord::Draw})
    w = std::max(w, Width(word(head)));
  const std::size_t triple = 3 * w + 2;
  out += u"  " + Pad(u"", labelWidth) + u"  " + Pad(word(VersusWord::HiPerfect), triple) + u"    " +
         Text(word(VersusWord::BestScore)) + u"\r\n";
  Text headers;
  for (const VersusWord head : {VersusWord::Win, VersusWord::Loss, VersusWord::Draw}) {
    headers += headers.empty() ? u"" : u" ";
    headers += PadLeft(word(head), w);
  }
  out += u"  " + Pad(word(VersusWord::Part), labelWidth) + u"  " + headers + u"    " + headers + u"\r\n";
  const auto row = [&](std::u16string_view label, const VersusRow& r) {
    out += u"  " + Pad(label, labelWidth) + u" ";
    for (const Tally* t : {&r.hiPerfect, &r.bestScore}) {
      out += t == &r.bestScore ? u"   " : u"";
      for (const std::int64_t n : {t->wins, t->losses, t->draws}) {
        out += u' ';
        AppendPadLeft(out, n, w);
      }
    }
    out += u"\r\n";
  };
  for (std::size_t p = 1; p <= 8; ++p) row(names[p], versus.rows[p - 1]);
  out += u"\r\n";
  for (std::size_t g = 0; g < 4; ++g) row(groups[g], versus.rows[kFrontRow + g]);

  // The rank summaries side by side, line by line: both have the same nine.
  out += u"\r\n" + Text(word(VersusWord::RankHeading)) + u"\r\n";
  out += kRule;
  const std::vector<Text> left = ShownLines(versus.mineRank, word(VersusWord::Overflow));
  const std::vector<Text> right = ShownLines(versus.theirRank, word(VersusWord::Overflow));
  std::size_t leftWidth = std::max<std::size_t>(4, Width(word(VersusWord::Mine)));
  for (const Text& line : left) leftWidth = std::max(leftWidth, Width(line));
  const auto sideBySide = [&](std::u16string_view a, std::u16string_view b) {
    if (!a.empty() || !b.empty())
      out += u"  " + (b.empty() ? Text(a) : Pad(a, leftWidth) + u"    " + Text(b));
    out += u"\r\n";
  };
  sideBySide(word(VersusWord::Mine), word(VersusWord::Theirs));
  for (std::size_t i = 0; i < std::max(left.size(), right.size()); ++i) {
    sideBySide(i < left.size() ? std::u16string_view(left[i]) : std::u16string_view(),
               i < right.size() ? std::u16string_view(right[i]) : std::u16string_view());
  }

  // Where mine trails most; titles last, as in the charts.
  out += u"\r\n" + Text(word(VersusWord::TrailingHeading)) + u"\r\n";
  out += kRule;
  const std::size_t numberWidth = std::max(std::max<std::size_t>(4, Width(word(VersusWord::Song))),
                                           Decimal(std::max(mine.SongCount(), 1)).size());
  std::size_t nameWidth = std::max<std::size_t>(4, Width(word(VersusWord::Part)));
  for (std::size_t p = 1; p <= 8; ++p) nameWidth = std::max(nameWidth, Width(names[p]));
  const std::size_t mineWidth = std::max<std::size_t>(4, Width(word(VersusWord::Mine)));
  const std::size_t theirsWidth = std::max<std::size_t>(6, Width(word(VersusWord::Theirs)));
  const std::size_t behindWidth = std::max<std::size_t>(6, Width(word(VersusWord::Behind)));
  if (versus.trailing.empty()) {
    out += u"  " + Text(word(VersusWord::None)) + u"\r\n";
  } else {
    out += u"  " + PadLeft(word(VersusWord::Song), numberWidth) + u"  " +
           Pad(word(VersusWord::Part), nameWidth) + u"  " + PadLeft(word(VersusWord::Mine), mineWidth) +
           u"  " + PadLeft(word(VersusWord::Theirs), theirsWidth) + u"  " +
           PadLeft(word(VersusWord::Behind), behindWidth) + u"  " + Text(word(VersusWord::Title)) + u"\r\n";
    for (const Trailing& t : versus.trailing) {
      out += u"  ";
      AppendPadLeft(out, t.mineSong, numberWidth);
      out += u"  " + Pad(names[static_cast<std::size_t>(t.part)], nameWidth) + u"  ";
      AppendPadLeft(out, t.mine, mineWidth);
      out += u"  ";
      AppendPadLeft(out, t.theirs, theirsWidth);
      out += u"  ";
      AppendPadLeft(out, t.theirs - t.mine, behindWidth);
      out += u"  " + mine[t.mineSong].Title + u"\r\n";
    }
  }

  // Songs only one side has, counted apart from the tallies.
  for (const auto& [heading, table, only] : {std::tuple{VersusWord::OnlyMine, &mine, &versus.onlyMine},
                                             {VersusWord::OnlyTheirs, &theirs, &versus.onlyTheirs}}) {
    if (only->empty()) continue;
    out += u"\r\n" + Fill(word(heading), {songs(only->size())}) + u"\r\n";
    out += kRule;
    for (const std::int32_t s : *only) {
      out += u"  ";
      AppendPadLeft(out, s, numberWidth);
      out += u"  " + (*table)[s].Title + u"\r\n";
    }
  }

  out += u"\r\n";
  out += kRule;
  out += Fill(word(VersusWord::Totals),
              {Decimal(versus.matched), Decimal(static_cast<std::int64_t>(versus.onlyMine.size())),
               Decimal(static_cast<std::int64_t>(versus.onlyTheirs.size()))});
  out += u"\r\n";
  return out;
}

}  // namespace quillbox
