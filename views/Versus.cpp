#include "views/Versus.h"

#include <algorithm>
#include <string_view>
#include <tuple>
#include <utility>

#include "base/Numbers.h"
#include "views/Compare.h"
#include "views/Views.h"

namespace quillbox {
namespace {

void Count(Tally& tally, std::int32_t mine, std::int32_t theirs) {
  if (mine > theirs) {
    ++tally.wins;
  } else if (mine < theirs) {
    ++tally.losses;
  } else {
    ++tally.draws;
  }
}

void Add(Tally& to, const Tally& from) {
  to.wins += from.wins;
  to.losses += from.losses;
  to.draws += from.draws;
}

// Keeps the largest gaps. Candidates arrive in MINE's song order, then
// part order, so one goes after every kept one with a gap as large.
void Keep(std::vector<Trailing>& kept, const Trailing& candidate) {
  const auto gap = [](const Trailing& t) { return t.theirs - t.mine; };
  if (kept.size() == kTrailingShown && gap(kept.back()) >= gap(candidate)) return;
  const auto at = std::find_if(kept.begin(), kept.end(),
                               [&](const Trailing& t) { return gap(t) < gap(candidate); });
  kept.insert(at, candidate);
  if (kept.size() > kTrailingShown) kept.pop_back();
}

std::optional<Text> RankSummaryOrNull(const Songs& songs, const Ranks& ranks) {
  try {
    return RankSummaryText(songs, ranks);
  } catch (const OverflowError&) {
    return std::nullopt;
  }
}

// Columns a character takes in a fixed-pitch Japanese font: two for the
// full-width ranges, one for the rest; a surrogate pair counts once.
std::size_t Width(std::u16string_view text) {
  std::size_t width = 0;
  for (const char16_t c : text) {
    if (c >= 0xDC00 && c <= 0xDFFF) continue;
    const bool wide = (c >= 0x1100 && c <= 0x115F) || (c >= 0x2E80 && c <= 0xA4CF) || (c >= 0xAC00 && c <= 0xD7A3) ||
                      (c >= 0xD800 && c <= 0xDBFF) || (c >= 0xF900 && c <= 0xFAFF) || (c >= 0xFE30 && c <= 0xFE4F) ||
                      (c >= 0xFF00 && c <= 0xFF60) || (c >= 0xFFE0 && c <= 0xFFE6);
    width += wide ? 2 : 1;
  }
  return width;
}

// Every line of a text with CR LF line ends, the empty ones included.
std::vector<std::u16string_view> Lines(std::u16string_view text) {
  std::vector<std::u16string_view> lines;
  while (!text.empty()) {
    const std::size_t end = text.find(u"\r\n");
    lines.push_back(text.substr(0, end));
    text = end == std::u16string_view::npos ? std::u16string_view() : text.substr(end + 2);
  }
  return lines;
}

Text Pad(std::u16string_view text, std::size_t width) {
  Text out(text);
  const std::size_t has = Width(text);
  if (has < width) out.append(width - has, u' ');
  return out;
}

Text CountSongs(std::size_t n) {
  return Decimal(static_cast<std::int64_t>(n)) + (n == 1 ? u" song" : u" songs");
}

constexpr char16_t kRule[] = u"+--------------------------------------------------------------+\r\n";
constexpr char16_t kOverflow[] = u"the rank summary overflows 32-bit arithmetic";
constexpr const char16_t* kGroupLabels[] = {u"front parts", u"back parts", u"standard songs", u"added songs"};
constexpr const char16_t* kGroupKeys[] = {u"front", u"back", u"standard", u"added"};

void AppendTally(Text& out, const Tally& tally) {
  out += u"{\"wins\":" + Decimal(tally.wins) + u",\"losses\":" + Decimal(tally.losses) + u",\"draws\":" +
         Decimal(tally.draws) + u'}';
}

void AppendRow(Text& out, const VersusRow& row) {
  out += u"\"hiPerfect\":";
  AppendTally(out, row.hiPerfect);
  out += u",\"bestScore\":";
  AppendTally(out, row.bestScore);
}

void AppendSide(Text& out, const Songs& songs, const std::vector<std::int32_t>& only,
                const std::optional<Text>& rank) {
  out += u"{\"songs\":" + Decimal(songs.SongCount()) + u",\"only\":[";
  for (std::size_t i = 0; i < only.size(); ++i) {
    out += i == 0 ? u"{\"song\":" : u",{\"song\":";
    out += Decimal(only[i]) + u",\"title\":\"";
    AppendJsonString(out, songs[only[i]].Title);
    out += u"\"}";
  }
  out += u"],\"rank\":";
  if (rank) {
    out += u'"';
    AppendJsonString(out, *rank);
    out += u'"';
  } else {
    out += u"null";
  }
  out += u'}';
}

}  // namespace

Versus VersusTables(const Songs& mine, const Songs& theirs, const Ranks& ranks) {
  Versus result;
  const std::vector<std::int32_t> match = MatchSongs(theirs, mine);
  std::vector<bool> matched(static_cast<std::size_t>(theirs.SongCount()) + 1, false);
  std::array<VersusRow, 8> standard{}, added{};  // per part, summed below
  for (std::int32_t s = 1; s <= mine.SongCount(); ++s) {
    const std::int32_t t = match[static_cast<std::size_t>(s)];
    if (t == 0) {
      result.onlyMine.push_back(s);
      continue;
    }
    matched[static_cast<std::size_t>(t)] = true;
    ++result.matched;
    const SongRecord& a = mine[s];
    const SongRecord& b = theirs[t];
    auto& group = s <= 9 ? standard : added;
    for (std::size_t p = 1; p <= 8; ++p) {
      Count(group[p - 1].hiPerfect, a.HiPerfect[p], b.HiPerfect[p]);
      Count(group[p - 1].bestScore, a.BestScore[p][1], b.BestScore[p][1]);
      if (a.HiPerfect[p] < b.HiPerfect[p]) {
        Keep(result.trailing, {s, t, static_cast<std::int32_t>(p), a.HiPerfect[p], b.HiPerfect[p]});
      }
    }
  }
  for (std::size_t p = 0; p < 8; ++p) {
    for (const auto& [group, row] : {std::pair{&standard, kStandardRow}, {&added, kAddedRow}}) {
      const VersusRow& from = (*group)[p];
      for (const std::size_t to : {p, p < 4 ? kFrontRow : kBackRow, row}) {
        Add(result.rows[to].hiPerfect, from.hiPerfect);
        Add(result.rows[to].bestScore, from.bestScore);
      }
    }
  }
  for (std::int32_t t = 1; t <= theirs.SongCount(); ++t) {
    if (!matched[static_cast<std::size_t>(t)]) result.onlyTheirs.push_back(t);
  }
  result.mineRank = RankSummaryOrNull(mine, ranks);
  result.theirRank = RankSummaryOrNull(theirs, ranks);
  return result;
}

Text VersusText(const Songs& mine, const Songs& theirs, const PartNames& names,
                const Versus& versus) {
  Text out;
  out += u"versus: mine " + CountSongs(static_cast<std::size_t>(mine.SongCount())) + u", theirs " +
         CountSongs(static_cast<std::size_t>(theirs.SongCount())) + u", " + Decimal(versus.matched) + u" matched\r\n";
  out += kRule;

  // The tallies: numbers right-aligned to the widest, at least the header's.
  std::size_t labelWidth = 4;
  for (std::size_t p = 1; p <= 8; ++p) labelWidth = std::max(labelWidth, Width(names[p]));
  for (const char16_t* label : kGroupLabels) labelWidth = std::max(labelWidth, Width(label));
  std::int64_t most = 0;
  for (const VersusRow& row : versus.rows) {
    for (const Tally& t : {row.hiPerfect, row.bestScore}) most = std::max({most, t.wins, t.losses, t.draws});
  }
  const std::size_t w = std::max<std::size_t>(4, Decimal(most).size());
  const std::size_t triple = 3 * w + 2;
  out += u"  " + Pad(u"", labelWidth) + u"  " + Pad(u"hi-perfect", triple) + u"    best score\r\n";
  const auto headers = [&] {
    Text h;
    for (const char16_t* word : {u"win", u"loss", u"draw"}) {
      h += h.empty() ? u"" : u" ";
      h += Text(w - Width(word), u' ') + word;
    }
    return h;
  }();
  out += u"  " + Pad(u"part", labelWidth) + u"  " + headers + u"    " + headers + u"\r\n";
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
  for (std::size_t g = 0; g < 4; ++g) row(kGroupLabels[g], versus.rows[kFrontRow + g]);

  // The rank summaries side by side, line by line: both have the same nine.
  out += u"\r\nrank\r\n";
  out += kRule;
  const std::vector<std::u16string_view> left = versus.mineRank ? Lines(*versus.mineRank)
                                                                : std::vector<std::u16string_view>{kOverflow};
  const std::vector<std::u16string_view> right = versus.theirRank ? Lines(*versus.theirRank)
                                                                  : std::vector<std::u16string_view>{kOverflow};
  std::size_t leftWidth = 4;
  for (const auto line : left) leftWidth = std::max(leftWidth, Width(line));
  const auto sideBySide = [&](std::u16string_view a, std::u16string_view b) {
    if (!a.empty() || !b.empty()) out += u"  " + (b.empty() ? Text(a) : Pad(a, leftWidth) + u"    " + Text(b));
    out += u"\r\n";
  };
  sideBySide(u"mine", u"theirs");
  for (std::size_t i = 0; i < std::max(left.size(), right.size()); ++i) {
    sideBySide(i < left.size() ? left[i] : std::u16string_view(), i < right.size() ? right[i] : std::u16string_view());
  }

  // Where mine trails most; titles last, as in the charts.
  out += u"\r\nmine trails most in hi-perfect\r\n";
  out += kRule;
  const std::size_t numberWidth = std::max<std::size_t>(4, Decimal(std::max(mine.SongCount(), 1)).size());
  std::size_t nameWidth = 4;
  for (std::size_t p = 1; p <= 8; ++p) nameWidth = std::max(nameWidth, Width(names[p]));
  if (versus.trailing.empty()) {
    out += u"  none\r\n";
  } else {
    out += u"  " + Text(numberWidth - 4, u' ') + u"song  " + Pad(u"part", nameWidth) +
           u"  mine  theirs  behind  title\r\n";
    for (const Trailing& t : versus.trailing) {
      out += u"  ";
      AppendPadLeft(out, t.mineSong, numberWidth);
      out += u"  " + Pad(names[static_cast<std::size_t>(t.part)], nameWidth) + u"  ";
      AppendPadLeft(out, t.mine, 4);
      out += u"  ";
      AppendPadLeft(out, t.theirs, 6);
      out += u"  ";
      AppendPadLeft(out, t.theirs - t.mine, 6);
      out += u"  " + mine[t.mineSong].Title + u"\r\n";
    }
  }

  // Songs only one side has, counted apart from the tallies.
  for (const auto& [side, songs, only] :
       {std::tuple{u"mine", &mine, &versus.onlyMine}, {u"theirs", &theirs, &versus.onlyTheirs}}) {
    if (only->empty()) continue;
    out += u"\r\nonly ";
    out += side;
    out += u": " + CountSongs(only->size()) + u"\r\n";
    out += kRule;
    for (const std::int32_t s : *only) {
      out += u"  ";
      AppendPadLeft(out, s, numberWidth);
      out += u"  " + (*songs)[s].Title + u"\r\n";
    }
  }

  out += u"\r\n";
  out += kRule;
  out += Decimal(versus.matched) + u" matched, " + Decimal(static_cast<std::int64_t>(versus.onlyMine.size())) +
         u" only mine, " + Decimal(static_cast<std::int64_t>(versus.onlyTheirs.size())) + u" only theirs\r\n";
  return out;
}

Text VersusJson(const Songs& mine, const Songs& theirs, const PartNames& names,
                const Versus& versus) {
  Text out = u"{\"mine\":";
  AppendSide(out, mine, versus.onlyMine, versus.mineRank);
  out += u",\"theirs\":";
  AppendSide(out, theirs, versus.onlyTheirs, versus.theirRank);
  out += u",\"matched\":" + Decimal(versus.matched) + u",\"parts\":[";
  for (std::size_t p = 1; p <= 8; ++p) {
    out += p == 1 ? u"{\"part\":" : u",{\"part\":";
    out += Decimal(static_cast<std::int64_t>(p)) + u",\"name\":\"";
    AppendJsonString(out, names[p]);
    out += u"\",";
    AppendRow(out, versus.rows[p - 1]);
    out += u'}';
  }
  out += u']';
  for (std::size_t g = 0; g < 4; ++g) {
    out += u",\"";
    out += kGroupKeys[g];
    out += u"\":{";
    AppendRow(out, versus.rows[kFrontRow + g]);
    out += u'}';
  }
  out += u",\"trailing\":[";
  for (std::size_t i = 0; i < versus.trailing.size(); ++i) {
    const Trailing& t = versus.trailing[i];
    out += i == 0 ? u"{\"song\":" : u",{\"song\":";
    out += Decimal(t.mineSong) + u",\"theirSong\":" + Decimal(t.theirSong) + u",\"title\":\"";
    AppendJsonString(out, mine[t.mineSong].Title);
    out += u"\",\"part\":" + Decimal(t.part) + u",\"mine\":" + Decimal(t.mine) + u",\"theirs\":" +
           Decimal(t.theirs) + u'}';
  }
  out += u"]}\n";
  return out;
}

}  // namespace quillbox
