#include <algorithm>
#include <string_view>
#include <utility>

#include "render/Compare.h"
#include "render/CompareWords.h"

namespace quillbox {
namespace {

constexpr char16_t kRule[] = u"+--------------------------------------------------------------+\r\n";

// "+3", "0", "-2".
Text Signed(std::int64_t value) {
  Text out;
  if (value > 0) out += u'+';
  out += Decimal(value);
  return out;
}

}  // namespace

Text ComparisonText(const Songs& old, const Songs& now, const PartNames& names, const Comparison& comparison,
                    Language language) {
  const auto word = [language](CompareWord w) { return Word(w, language); };
  const auto count = [&word](std::size_t n, CompareWord one, CompareWord many) {
    return Counted(static_cast<std::int64_t>(n), word(one), word(many));
  };
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
    const Text from = Decimal(change.from), to = Decimal(change.to);
    if (change.field == Field::PlayCount) {
      const std::int64_t more = static_cast<std::int64_t>(change.to) - change.from;
      changed +=
          Fill(word(more == 1 || more == -1 ? CompareWord::PlayOne : CompareWord::PlayMany), {Signed(more)});
    } else if (change.field == Field::HiPerfect) {
      changed += Fill(word(CompareWord::HiPerfect), {from, to});
    } else {
      const bool score = field <= static_cast<int>(Field::Score3);
      const Text rank = Decimal(field - static_cast<int>(score ? Field::Score1 : Field::Perfect1) + 1);
      changed += Fill(word(score ? CompareWord::Score : CompareWord::Perfect), {rank, from, to});
    }
    const bool lastOfPart = i + 1 == comparison.changes.size() ||
                            comparison.changes[i + 1].song != change.song ||
                            comparison.changes[i + 1].part != change.part;
    if (lastOfPart) changed += u"\r\n";
  }
  if (songs > 0)
    heading(
        Fill(word(CompareWord::ChangedHeading), {count(songs, CompareWord::SongOne, CompareWord::SongMany)}));
  out += changed;

  const std::size_t added = comparison.added.size(), removed = comparison.removed.size();
  if (added > 0)
    heading(
        Fill(word(CompareWord::AddedHeading), {count(added, CompareWord::SongOne, CompareWord::SongMany)}));
  for (const std::int32_t s : comparison.added) songLine(out, s, now[s].Title);
  if (removed > 0) {
    heading(Fill(word(CompareWord::RemovedHeading),
                 {count(removed, CompareWord::SongOne, CompareWord::SongMany)}));
  }
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
  const std::u16string_view oldWord = word(CompareWord::Old), newWord = word(CompareWord::New);
  if (comparison.oldRank && comparison.newRank) {
    for (const std::size_t i : comparison.rankChanged) {
      rankLine(oldWord, RankLineText((*comparison.oldRank)[i]));
      rankLine(newWord, RankLineText((*comparison.newRank)[i]));
    }
    rankChanges = comparison.rankChanged.size();
  } else {
    for (const auto& [side, summary] :
         {std::pair{oldWord, &comparison.oldRank}, {newWord, &comparison.newRank}}) {
      if (!*summary) {
        rankLine(side, word(CompareWord::Overflow));
      } else {
        for (const RankLine& line : **summary) rankLine(side, RankLineText(line));
        rankChanges = kRankLines;  // every line of the other side changed
      }
    }
  }
  if (!rankLines.empty()) {
    heading(rankChanges > 0 ? Fill(word(CompareWord::RankChangedHeading),
                                   {count(rankChanges, CompareWord::LineOne, CompareWord::LineMany)})
                            : Text(word(CompareWord::RankHeading)));
    out += rankLines;
  }

  out += out.empty() ? Text(word(CompareWord::NoChange)) + u"\r\n" : Text(u"\r\n");
  out += kRule;
  out += Fill(word(CompareWord::Totals),
              {count(songs, CompareWord::SongOne, CompareWord::SongMany),
               count(parts, CompareWord::PartOne, CompareWord::PartMany),
               count(comparison.changes.size(), CompareWord::ValueOne, CompareWord::ValueMany),
               Decimal(static_cast<std::int64_t>(added)), Decimal(static_cast<std::int64_t>(removed)),
               count(rankChanges, CompareWord::RankLineOne, CompareWord::RankLineMany)});
  out += u"\r\n";
  return out;
}

}  // namespace quillbox
