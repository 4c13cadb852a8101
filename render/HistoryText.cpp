#include <algorithm>
#include <array>
#include <string_view>
#include <utility>

#include "render/History.h"
#include "render/HistoryWords.h"

namespace quillbox {
namespace {

constexpr char16_t kRule[] = u"+--------------------------------------------------------------+\r\n";

// Columns a text takes in a fixed-pitch Japanese font: the labels and rank
// names are full-width, blanks and digits half-width.
std::size_t Columns(std::u16string_view text) {
  std::size_t columns = 0;
  for (const char16_t c : text) {
    if (c >= 0xDC00 && c <= 0xDFFF) continue;  // the second half of a pair
    columns += c < 0x1100 || (c >= 0xFF61 && c <= 0xFF9F) ? 1 : 2;
  }
  return columns;
}

void AlignLeft(Text& out, std::u16string_view text, std::size_t columns) {
  out += text;
  const std::size_t used = Columns(text);
  if (used < columns) out.append(columns - used, u' ');
}

void AlignRight(Text& out, std::u16string_view text, std::size_t columns) {
  const std::size_t used = Columns(text);
  if (used < columns) out.append(columns - used, u' ');
  out += text;
}

// A line's end without the blanks that padding left before it.
void EndLine(Text& out) {
  while (!out.empty() && out.back() == u' ') out.pop_back();
  out += u"\r\n";
}

// "+8", "0", "-3".
Text Signed(std::int64_t value) {
  Text out;
  if (value > 0) out += u'+';
  out += Decimal(value);
  return out;
}

void Heading(Text& out, std::u16string_view title) {
  if (!out.empty()) out += u"\r\n";
  out += title;
  out += u"\r\n";
  out += kRule;
}

Text Number(std::size_t n) { return Decimal(static_cast<std::int64_t>(n)); }

}  // namespace

Text HistoryText(const History& history, Language language) {
  const auto word = [language](HistoryWord w) { return Word(w, language); };
  const std::size_t files = history.files.size();
  const std::size_t numberWidth =
      std::max(Number(std::max<std::size_t>(files, 1)).size(), Columns(word(HistoryWord::Number)));
  Text out;

  // The files: numbers and dates first, names last, where their width
  // cannot push a column.
  std::size_t songsWidth = Columns(word(HistoryWord::Songs)), playsWidth = Columns(word(HistoryWord::Plays));
  std::size_t dateWidth = std::max<std::size_t>(16, Columns(word(HistoryWord::Modified)));
  for (const FileSummary& file : history.files) {
    songsWidth = std::max(songsWidth, Decimal(file.songs).size());
    playsWidth = std::max(playsWidth, Decimal(file.plays).size());
  }
  Heading(out, Fill(word(HistoryWord::Heading),
                    {Counted(static_cast<std::int64_t>(files), word(HistoryWord::FileOne),
                             word(HistoryWord::FileMany))}));
  out += u"  ";
  AlignRight(out, word(HistoryWord::Number), numberWidth);
  out += u"  ";
  AlignLeft(out, word(HistoryWord::Modified), dateWidth);
  out += u"  ";
  AlignRight(out, word(HistoryWord::Songs), songsWidth);
  out += u"  ";
  AlignRight(out, word(HistoryWord::Plays), playsWidth);
  out += u"  ";
  out += word(HistoryWord::File);
  EndLine(out);
  for (std::size_t i = 0; i < files; ++i) {
    const FileSummary& file = history.files[i];
    out += u"  ";
    AlignRight(out, Number(i + 1), numberWidth);
    out += u"  ";
    AlignLeft(out, file.modified.empty() ? word(HistoryWord::Unknown) : std::u16string_view(file.modified),
              dateWidth);
    out += u"  ";
    AlignRight(out, Decimal(file.songs), songsWidth);
    out += u"  ";
    AlignRight(out, Decimal(file.plays), playsWidth);
    out += u"  ";
    out += file.name;
    EndLine(out);
  }

  // Each step: the from and to columns lead, numbers right-aligned under
  // two-line headings.
  const std::size_t fromWidth = std::max(Columns(word(HistoryWord::From)), numberWidth);
  const std::size_t toWidth = std::max(Columns(word(HistoryWord::To)), numberWidth);
  const auto fromTo = [&](std::size_t i) {
    out += u"  ";
    AlignRight(out, Number(i + 1), fromWidth);
    out += u"  ";
    AlignRight(out, Number(i + 2), toWidth);
    out += u"  ";
  };
  if (!history.steps.empty()) {
    const std::array<std::pair<HistoryWord, HistoryWord>, 5> heads{{
        {HistoryWord::PartsImproved1, HistoryWord::PartsImproved2},
        {HistoryWord::NewBestScores1, HistoryWord::NewBestScores2},
        {HistoryWord::PlaysAdded1, HistoryWord::PlaysAdded2},
        {HistoryWord::SongsAdded1, HistoryWord::SongsAdded2},
        {HistoryWord::SongsRemoved1, HistoryWord::SongsRemoved2},
    }};
    std::array<std::size_t, 5> widths{};
    for (std::size_t c = 0; c < widths.size(); ++c)
      widths[c] = std::max(Columns(word(heads[c].first)), Columns(word(heads[c].second)));
    for (const HistoryStep& step : history.steps) {
      widths[0] = std::max(widths[0], Decimal(step.partsImproved).size());
      widths[1] = std::max(widths[1], Decimal(step.newBestScores).size());
      widths[2] = std::max(widths[2], Signed(step.playsAdded).size());
      widths[3] = std::max(widths[3], Decimal(step.songsAdded).size());
      widths[4] = std::max(widths[4], Decimal(step.songsRemoved).size());
    }
    Heading(out, word(HistoryWord::StepsHeading));
    for (const bool second : {false, true}) {
      out += u"  ";
      AlignLeft(out, second ? u"" : word(HistoryWord::From), fromWidth);
      out += u"  ";
      AlignLeft(out, second ? u"" : word(HistoryWord::To), toWidth);
      for (std::size_t c = 0; c < widths.size(); ++c) {
        out += u"  ";
        AlignRight(out, word(second ? heads[c].second : heads[c].first), widths[c]);
      }
      EndLine(out);
    }
    for (std::size_t i = 0; i < history.steps.size(); ++i) {
      const HistoryStep& step = history.steps[i];
      fromTo(i);
      const Text cells[] = {Decimal(step.partsImproved), Decimal(step.newBestScores), Signed(step.playsAdded),
                            Decimal(step.songsAdded), Decimal(step.songsRemoved)};
      for (std::size_t c = 0; c < widths.size(); ++c) {
        if (c > 0) out += u"  ";
        AlignRight(out, cells[c], widths[c]);
      }
      EndLine(out);
    }

    // Rank names that changed, with the line's label padded so that the
    // names stand in one column.
    std::size_t labelWidth = 0;
    for (const HistoryStep& step : history.steps) {
      if (!step.rankChanges) continue;
      for (const RankNameChange& change : *step.rankChanges)
        labelWidth = std::max(labelWidth, Columns(change.label));
    }
    Heading(out, word(HistoryWord::RankChangesHeading));
    bool any = false;
    for (std::size_t i = 0; i < history.steps.size(); ++i) {
      const HistoryStep& step = history.steps[i];
      if (!step.rankChanges) {
        fromTo(i);
        out += word(HistoryWord::Overflow);
        EndLine(out);
        any = true;
        continue;
      }
      for (const RankNameChange& change : *step.rankChanges) {
        fromTo(i);
        AlignLeft(out, change.label, labelWidth);
        out += u"  ";
        AlignLeft(out, change.from.empty() ? u"-" : change.from, 4);
        out += u" \u2192 ";
        out += change.to.empty() ? u"-" : change.to;
        EndLine(out);
        any = true;
      }
    }
    if (!any) out += u"  " + Text(word(HistoryWord::None)) + u"\r\n";
  }

  // Each rank line across the files: total, its change from the file before
  // and the rank.
  const auto change = [&history](std::size_t f, std::size_t l) {
    const std::optional<std::int64_t> moved = TotalChange(history, f, l);
    return moved ? Signed(*moved) : Text();
  };
  std::size_t totalWidth = 5, changeWidth = 1;
  std::vector<std::u16string_view> labels;
  for (std::size_t f = 0; f < files; ++f) {
    for (std::size_t l = 0; const RankLine* line = LineOf(history, f, l); ++l) {
      if (labels.size() <= l) labels.push_back(line->label);
      totalWidth = std::max(totalWidth, Decimal(line->total).size());
      changeWidth = std::max(changeWidth, change(f, l).size());
    }
  }
  Heading(out, word(HistoryWord::RankLinesHeading));
  if (labels.empty() && files > 0) {  // every summary overflowed
    out += u"  ";
    out += word(HistoryWord::Overflow);
    out += u"\r\n";
  }
  for (std::size_t l = 0; l < labels.size(); ++l) {
    out += u"  ";
    out += labels[l];
    out += u"\r\n";
    for (std::size_t f = 0; f < files; ++f) {
      out += u"    ";
      AlignRight(out, Number(f + 1), numberWidth);
      out += u"  ";
      const RankLine* line = LineOf(history, f, l);
      if (line == nullptr) {
        out += word(HistoryWord::Overflow);
        EndLine(out);
        continue;
      }
      AlignRight(out, Decimal(line->total), totalWidth);
      out += u"  ";
      AlignRight(out, change(f, l), changeWidth);
      out += u"  ";
      AlignLeft(out, line->name, 4);
      if (line->next) out += u"  " + Fill(word(HistoryWord::NextRank), {Decimal(*line->next)});
      EndLine(out);
    }
  }
  return out;
}

}  // namespace quillbox
