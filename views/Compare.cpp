#include "views/Compare.h"

#include <algorithm>
#include <string_view>
#include <unordered_map>
#include <utility>

#include "base/Numbers.h"
#include "views/Views.h"

namespace quillbox {
namespace {

constexpr const char16_t* kFieldNames[kFields] = {u"hiPerfect", u"playCount", u"score1",   u"score2",
                                                  u"score3",    u"perfect1",  u"perfect2", u"perfect3"};

std::int32_t ValueOf(const SongRecord& song, std::size_t part, Field field) {
  switch (field) {
    case Field::HiPerfect: return song.HiPerfect[part];
    case Field::PlayCount: return song.PlayCount[part];
    case Field::Score1:
    case Field::Score2:
    case Field::Score3:
      return song
          .BestScore[part][static_cast<std::size_t>(field) - static_cast<std::size_t>(Field::Score1) + 1];
    default:
      return song
          .BestPerfect[part][static_cast<std::size_t>(field) - static_cast<std::size_t>(Field::Perfect1) + 1];
  }
}

void AddChanges(const SongRecord& old, const SongRecord& now, std::int32_t song, std::vector<Change>& out) {
  for (std::size_t p = 1; p <= 8; ++p) {
    for (int f = 0; f < kFields; ++f) {
      const auto field = static_cast<Field>(f);
      const std::int32_t from = ValueOf(old, p, field);
      const std::int32_t to = ValueOf(now, p, field);
      if (from != to) out.push_back({song, static_cast<std::int32_t>(p), field, from, to});
    }
  }
}

std::optional<Text> RankSummaryOrNull(const Songs& songs, const Ranks& ranks) {
  try {
    return RankSummaryText(songs, ranks);
  } catch (const OverflowError&) {
    return std::nullopt;
  }
}

void AppendNumber(Text& out, std::int64_t value) { AppendPadLeft(out, value, 0); }

void AppendSongs(Text& out, const Songs& songs, const std::vector<std::int32_t>& list) {
  for (std::size_t i = 0; i < list.size(); ++i) {
    out += i == 0 ? u"{\"song\":" : u",{\"song\":";
    AppendNumber(out, list[i]);
    out += u",\"title\":\"";
    AppendJsonString(out, songs[list[i]].Title);
    out += u"\"}";
  }
}

void AppendRank(Text& out, const std::optional<Text>& rank) {
  if (!rank) {
    out += u"null";
    return;
  }
  out += u'"';
  AppendJsonString(out, *rank);
  out += u'"';
}

// "1 song", "2 songs".
Text Count(std::size_t n, std::u16string_view noun) {
  Text text = Decimal(static_cast<std::int64_t>(n)) + u" " + Text(noun);
  if (n != 1) text += u's';
  return text;
}

// The lines of a rank summary that carry text.
std::vector<std::u16string_view> RankLines(const Text& summary) {
  std::vector<std::u16string_view> lines;
  std::u16string_view rest = summary;
  while (!rest.empty()) {
    const std::size_t end = rest.find(u"\r\n");
    const std::u16string_view line = rest.substr(0, end);
    if (!line.empty()) lines.push_back(line);
    rest = end == std::u16string_view::npos ? std::u16string_view() : rest.substr(end + 2);
  }
  return lines;
}

constexpr char16_t kRule[] = u"+--------------------------------------------------------------+\r\n";
constexpr char16_t kOverflow[] = u"the rank summary overflows 32-bit arithmetic";

}  // namespace

std::vector<std::int32_t> MatchSongs(const Songs& old, const Songs& now) {
  // Songs of one title in the old table, in order: the first not yet
  // matched, and a chain through the rest. Going backwards, each song goes
  // in front of its title's chain.
  std::unordered_map<std::u16string_view, std::int32_t> firstOfTitle;
  std::vector<std::int32_t> nextOfTitle(static_cast<std::size_t>(old.SongCount()) + 1, 0);
  firstOfTitle.reserve(static_cast<std::size_t>(old.SongCount()));
  for (std::int32_t s = old.SongCount(); s >= 1; --s) {
    std::int32_t& first = firstOfTitle[old[s].Title];
    nextOfTitle[static_cast<std::size_t>(s)] = first;
    first = s;
  }

  std::vector<std::int32_t> match(static_cast<std::size_t>(now.SongCount()) + 1, 0);
  for (std::int32_t s = 1; s <= now.SongCount(); ++s) {
    const auto found = firstOfTitle.find(now[s].Title);
    if (found == firstOfTitle.end() || found->second == 0) continue;
    match[static_cast<std::size_t>(s)] = found->second;
    found->second = nextOfTitle[static_cast<std::size_t>(found->second)];
  }
  return match;
}

Comparison CompareTables(const Songs& old, const Songs& now, const Ranks& ranks) {
  Comparison result;
  const std::vector<std::int32_t> match = MatchSongs(old, now);
  std::vector<bool> matched(static_cast<std::size_t>(old.SongCount()) + 1, false);
  for (std::int32_t s = 1; s <= now.SongCount(); ++s) {
    const std::int32_t o = match[static_cast<std::size_t>(s)];
    if (o == 0) {
      result.added.push_back(s);
      continue;
    }
    matched[static_cast<std::size_t>(o)] = true;
    AddChanges(old[o], now[s], s, result.changes);
  }
  for (std::int32_t s = 1; s <= old.SongCount(); ++s) {
    if (!matched[static_cast<std::size_t>(s)]) result.removed.push_back(s);
  }
  result.oldRank = RankSummaryOrNull(old, ranks);
  result.newRank = RankSummaryOrNull(now, ranks);
  return result;
}

Text ComparisonJson(const Songs& old, const Songs& now, const Comparison& comparison) {
  Text out;
  out.reserve(comparison.changes.size() * 90 + 1024);
  out += u"{\"changes\":[";
  bool first = true;
  for (const Change& change : comparison.changes) {
    out += first ? u"{\"song\":" : u",{\"song\":";
    first = false;
    AppendNumber(out, change.song);
    out += u",\"title\":\"";
    AppendJsonString(out, now[change.song].Title);
    out += u"\",\"part\":";
    AppendNumber(out, change.part);
    out += u",\"field\":\"";
    out += kFieldNames[static_cast<std::size_t>(change.field)];
    out += u"\",\"old\":";
    AppendNumber(out, change.from);
    out += u",\"new\":";
    AppendNumber(out, change.to);
    out += u'}';
  }
  out += u"],\"added\":[";
  AppendSongs(out, now, comparison.added);
  out += u"],\"removed\":[";
  AppendSongs(out, old, comparison.removed);
  out += u"],\"rank\":{\"old\":";
  AppendRank(out, comparison.oldRank);
  out += u",\"new\":";
  AppendRank(out, comparison.newRank);
  out += u"}}\n";
  return out;
}

Text ComparisonText(const Songs& old, const Songs& now, const PartNames& names,
                    const Comparison& comparison) {
  // Song numbers right-aligned to the widest; titles last on their line, as
  // in the charts, so that full-width characters cannot push a column.
  const std::size_t numberWidth = Decimal(std::max({old.SongCount(), now.SongCount(), 1})).size();
  std::size_t nameWidth = 0;
  for (std::size_t p = 1; p <= 8; ++p) nameWidth = std::max(nameWidth, names[p].size());
  const Text changeIndent(2 + numberWidth + 4, u' ');

  Text out;
  const auto heading = [&out](const Text& title) {
    if (!out.empty()) out += u"\r\n";
    out += title + u"\r\n";
    out += kRule;
  };
  const auto songLine = [numberWidth](Text& to, std::int32_t song, const Text& title) {
    to += u"  ";
    AppendPadLeft(to, song, numberWidth);
    to += u"  ";
    to += title;
    to += u"\r\n";
  };

  // The changed songs first, counted as they are written: their heading
  // gives the count.
  Text changed;
  std::size_t songs = 0, parts = 0;
  for (std::size_t i = 0; i < comparison.changes.size(); ++i) {
    const Change& change = comparison.changes[i];
    const bool newSong = i == 0 || comparison.changes[i - 1].song != change.song;
    const bool newPart = newSong || comparison.changes[i - 1].part != change.part;
    songs += newSong;
    parts += newPart;
    if (newSong) songLine(changed, change.song, now[change.song].Title);
    if (newPart) {
      const Text& name = names[static_cast<std::size_t>(change.part)];
      changed += changeIndent + name + Text(nameWidth - name.size() + 2, u' ');
    } else {
      changed += u", ";
    }
    const int field = static_cast<int>(change.field);
    if (change.field == Field::PlayCount) {
      const std::int64_t more = static_cast<std::int64_t>(change.to) - change.from;
      if (more > 0) changed += u'+';
      AppendNumber(changed, more);
      changed += more == 1 || more == -1 ? u" play" : u" plays";
    } else {
      if (change.field == Field::HiPerfect) {
        changed += u"HPR ";
      } else {
        const bool score = field <= static_cast<int>(Field::Score3);
        changed += score ? u"score " : u"perfect ";
        AppendNumber(changed, field - static_cast<int>(score ? Field::Score1 : Field::Perfect1) + 1);
        changed += u' ';
      }
      AppendNumber(changed, change.from);
      changed += u" \u2192 ";
      AppendNumber(changed, change.to);
    }
    const bool lastOfPart = i + 1 == comparison.changes.size() ||
                            comparison.changes[i + 1].song != change.song ||
                            comparison.changes[i + 1].part != change.part;
    if (lastOfPart) changed += u"\r\n";
  }
  if (songs > 0) heading(u"changed: " + Count(songs, u"song"));
  out += changed;

  if (!comparison.added.empty()) heading(u"added: " + Count(comparison.added.size(), u"song"));
  for (const std::int32_t s : comparison.added) songLine(out, s, now[s].Title);
  if (!comparison.removed.empty()) heading(u"removed: " + Count(comparison.removed.size(), u"song"));
  for (const std::int32_t s : comparison.removed) songLine(out, s, old[s].Title);

  // Rank lines are paired by position: the summary always has the same nine.
  Text rankLines;
  std::size_t rankChanges = 0;
  const auto rankLine = [&rankLines](std::u16string_view side, std::u16string_view line) {
    rankLines += u"  ";
    rankLines += side;
    rankLines += u"  ";
    rankLines += line;
    rankLines += u"\r\n";
  };
  if (comparison.oldRank && comparison.newRank) {
    const auto before = RankLines(*comparison.oldRank);
    const auto after = RankLines(*comparison.newRank);
    for (std::size_t i = 0; i < std::max(before.size(), after.size()); ++i) {
      const std::u16string_view a = i < before.size() ? before[i] : std::u16string_view();
      const std::u16string_view b = i < after.size() ? after[i] : std::u16string_view();
      if (a == b) continue;
      ++rankChanges;
      rankLine(u"old", a);
      rankLine(u"new", b);
    }
  } else {
    for (const auto& [side, summary] :
         {std::pair{u"old", &comparison.oldRank}, {u"new", &comparison.newRank}}) {
      if (!*summary) {
        rankLine(side, kOverflow);
      } else {
        const auto lines = RankLines(**summary);
        for (const auto line : lines) rankLine(side, line);
        rankChanges = lines.size();  // every line of the other side changed
      }
    }
  }
  if (!rankLines.empty()) {
    heading(rankChanges > 0 ? u"rank: " + Count(rankChanges, u"line") + u" changed" : Text(u"rank"));
    out += rankLines;
  }

  out += out.empty() ? u"no change\r\n" : u"\r\n";
  out += kRule;
  out += Count(songs, u"song") + u" changed (" + Count(parts, u"part") + u", " +
         Count(comparison.changes.size(), u"value") + u"), " +
         Decimal(static_cast<std::int64_t>(comparison.added.size())) + u" added, " +
         Decimal(static_cast<std::int64_t>(comparison.removed.size())) + u" removed, " +
         Count(rankChanges, u"rank line") + u" changed\r\n";
  return out;
}

}  // namespace quillbox
