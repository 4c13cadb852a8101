#include "views/History.h"

#include <algorithm>
#include <cmath>
#include <initializer_list>
#include <string_view>
#include <utility>

#include "base/Numbers.h"
#include "views/Compare.h"
#include "views/Views.h"

namespace quillbox {
namespace {

constexpr char16_t kRule[] = u"+--------------------------------------------------------------+\r\n";
constexpr char16_t kOverflow[] = u"the rank summary overflows 32-bit arithmetic";

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
Text Signed(std::int64_t value) { return value > 0 ? u"+" + Decimal(value) : Decimal(value); }

// The lines of a rank summary taken apart: "LABEL  TOTAL  NAME  next N", or
// "LABEL  TOTAL  " past the last rung. Labels hold single blanks only.
std::vector<RankLine> ParseRankSummary(const Text& summary, std::int32_t songs) {
  const std::array<float, kRankLines> scales = RankSummaryScales(songs);
  std::vector<RankLine> lines;
  std::u16string_view rest = summary;
  while (!rest.empty()) {
    const std::size_t end = rest.find(u"\r\n");
    std::u16string_view line = rest.substr(0, end);
    rest = end == std::u16string_view::npos ? std::u16string_view() : rest.substr(end + 2);
    if (line.empty()) continue;
    std::vector<std::u16string_view> fields;
    for (std::size_t from = 0;;) {
      const std::size_t gap = line.find(u"  ", from);
      fields.push_back(line.substr(from, gap - from));
      if (gap == std::u16string_view::npos) break;
      from = gap + 2;
    }
    RankLine rank;
    rank.label = Text(fields.at(0));
    for (const char16_t digit : fields.at(1)) rank.total = rank.total * 10 + (digit - u'0');
    if (fields.size() >= 4) {
      rank.name = Text(fields[2]);
      std::int32_t next = 0;
      for (const char16_t digit : fields[3].substr(std::u16string_view(u"next ").size())) {
        next = next * 10 + (digit - u'0');
      }
      rank.next = next;
    }
    rank.scale = scales.at(lines.size());
    lines.push_back(std::move(rank));
  }
  return lines;
}

std::optional<std::vector<RankLine>> RankLinesOf(const std::optional<Text>& summary, std::int32_t songs) {
  if (!summary) return std::nullopt;
  return ParseRankSummary(*summary, songs);
}

std::int64_t Plays(const SongRecord& song) {
  std::int64_t plays = 0;
  for (std::size_t p = 1; p <= 8; ++p) plays += song.PlayCount[p];
  return plays;
}

HistoryStep StepOf(const Comparison& comparison, const Songs& now,
                   const std::optional<std::vector<RankLine>>& before,
                   const std::optional<std::vector<RankLine>>& after) {
  HistoryStep step;
  for (const Change& change : comparison.changes) {
    if (change.field == Field::HiPerfect && change.to > change.from) ++step.partsImproved;
    if (change.field == Field::Score1 && change.to > change.from) ++step.newBestScores;
    if (change.field == Field::PlayCount)
      step.playsAdded += static_cast<std::int64_t>(change.to) - change.from;
  }
  for (const std::int32_t s : comparison.added) step.playsAdded += Plays(now[s]);
  step.songsAdded = static_cast<std::int32_t>(comparison.added.size());
  step.songsRemoved = static_cast<std::int32_t>(comparison.removed.size());
  if (before && after) {
    step.rankChanges.emplace();
    for (std::size_t i = 0; i < std::min(before->size(), after->size()); ++i) {
      const RankLine& a = (*before)[i];
      const RankLine& b = (*after)[i];
      if (a.name != b.name) step.rankChanges->push_back({b.label, a.name, b.name});
    }
  }
  return step;
}

// --- text -------------------------------------------------------------

void Heading(Text& out, std::u16string_view title) {
  if (!out.empty()) out += u"\r\n";
  out += title;
  out += u"\r\n";
  out += kRule;
}

std::size_t Widest(std::size_t least, std::size_t width) { return std::max(least, width); }

// Line `line` of file `file`'s rank summary; nullptr where it overflowed.
const RankLine* LineOf(const History& history, std::size_t file, std::size_t line) {
  const auto& rank = history.files[file].rank;
  return rank && line < rank->size() ? &(*rank)[line] : nullptr;
}

// The change of a line's total from the file before; empty where either
// file has no summary.
Text TotalChange(const History& history, std::size_t file, std::size_t line) {
  const RankLine* now = LineOf(history, file, line);
  const RankLine* before = file > 0 ? LineOf(history, file - 1, line) : nullptr;
  return now && before ? Signed(static_cast<std::int64_t>(now->total) - before->total) : Text();
}

}  // namespace

void AddToHistory(History& history, const ScoreSnapshot& snapshot, const Songs* previous,
                  const Ranks& ranks) {
  FileSummary file{snapshot.name, snapshot.modified, snapshot.songs.SongCount(), 0, std::nullopt};
  for (const SongRecord& song : snapshot.songs.All()) file.plays += Plays(song);
  if (previous == nullptr || history.files.empty()) {
    std::optional<Text> summary;
    try {
      summary = RankSummaryText(snapshot.songs, ranks);
    } catch (const OverflowError&) {
      summary.reset();
    }
    file.rank = RankLinesOf(summary, file.songs);
  } else {
    const Comparison comparison = CompareTables(*previous, snapshot.songs, ranks);
    file.rank = RankLinesOf(comparison.newRank, file.songs);
    history.steps.push_back(StepOf(comparison, snapshot.songs, history.files.back().rank, file.rank));
  }
  history.files.push_back(std::move(file));
}

History BuildHistory(const std::vector<ScoreSnapshot>& snapshots, const Ranks& ranks) {
  History history;
  const Songs* previous = nullptr;
  for (const ScoreSnapshot& snapshot : snapshots) {
    AddToHistory(history, snapshot, previous, ranks);
    previous = &snapshot.songs;
  }
  return history;
}

Text HistoryText(const History& history) {
  const std::size_t files = history.files.size();
  const std::size_t numberWidth = Decimal(static_cast<std::int64_t>(std::max<std::size_t>(files, 1))).size();
  Text out;

  // The files: numbers and dates first, names last, where their width
  // cannot push a column.
  std::size_t songsWidth = 5, playsWidth = 5;
  for (const FileSummary& file : history.files) {
    songsWidth = Widest(songsWidth, Decimal(file.songs).size());
    playsWidth = Widest(playsWidth, Decimal(file.plays).size());
  }
  Heading(out,
          u"history: " + Decimal(static_cast<std::int64_t>(files)) + (files == 1 ? u" file" : u" files"));
  out += u"  ";
  AlignRight(out, u"#", numberWidth);
  out += u"  modified          ";
  AlignRight(out, u"songs", songsWidth);
  out += u"  ";
  AlignRight(out, u"plays", playsWidth);
  out += u"  file\r\n";
  for (std::size_t i = 0; i < files; ++i) {
    const FileSummary& file = history.files[i];
    out += u"  ";
    AlignRight(out, Decimal(static_cast<std::int64_t>(i + 1)), numberWidth);
    out += u"  ";
    AlignLeft(out, file.modified.empty() ? u"unknown" : file.modified, 16);
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
  const std::size_t fromWidth = Widest(4, numberWidth);
  const std::size_t toWidth = Widest(2, numberWidth);
  const auto fromTo = [&](std::size_t i) {
    out += u"  ";
    AlignRight(out, Decimal(static_cast<std::int64_t>(i + 1)), fromWidth);
    out += u"  ";
    AlignRight(out, Decimal(static_cast<std::int64_t>(i + 2)), toWidth);
    out += u"  ";
  };
  if (!history.steps.empty()) {
    std::array<std::size_t, 5> widths{8, 8, 5, 5, 7};
    for (const HistoryStep& step : history.steps) {
      widths[0] = Widest(widths[0], Decimal(step.partsImproved).size());
      widths[1] = Widest(widths[1], Decimal(step.newBestScores).size());
      widths[2] = Widest(widths[2], Signed(step.playsAdded).size());
      widths[3] = Widest(widths[3], Decimal(step.songsAdded).size());
      widths[4] = Widest(widths[4], Decimal(step.songsRemoved).size());
    }
    Heading(out, u"changes from each file to the next");
    constexpr std::array<std::pair<const char16_t*, const char16_t*>, 5> kHeads{{{u"parts", u"improved"},
                                                                                 {u"new best", u"scores"},
                                                                                 {u"plays", u"added"},
                                                                                 {u"songs", u"added"},
                                                                                 {u"songs", u"removed"}}};
    for (const bool second : {false, true}) {
      out += u"  ";
      AlignLeft(out, second ? u"" : u"from", fromWidth);
      out += u"  ";
      AlignLeft(out, second ? u"" : u"to", toWidth);
      for (std::size_t c = 0; c < widths.size(); ++c) {
        out += u"  ";
        AlignRight(out, second ? kHeads[c].second : kHeads[c].first, widths[c]);
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
        labelWidth = Widest(labelWidth, Columns(change.label));
    }
    Heading(out, u"rank names changed");
    bool any = false;
    for (std::size_t i = 0; i < history.steps.size(); ++i) {
      const HistoryStep& step = history.steps[i];
      if (!step.rankChanges) {
        fromTo(i);
        out += kOverflow;
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
    if (!any) out += u"  none\r\n";
  }

  // Each rank line across the files: total, its change from the file before
  // and the rank.
  std::size_t totalWidth = 5, changeWidth = 1;
  std::vector<Text> labels;
  for (std::size_t f = 0; f < files; ++f) {
    for (std::size_t l = 0; const RankLine* line = LineOf(history, f, l); ++l) {
      if (labels.size() <= l) labels.push_back(line->label);
      totalWidth = Widest(totalWidth, Decimal(line->total).size());
      changeWidth = Widest(changeWidth, TotalChange(history, f, l).size());
    }
  }
  Heading(out, u"rank lines: total, change from the file before, rank");
  if (labels.empty() && files > 0) {  // every summary overflowed
    out += u"  ";
    out += kOverflow;
    out += u"\r\n";
  }
  for (std::size_t l = 0; l < labels.size(); ++l) {
    out += u"  " + labels[l] + u"\r\n";
    for (std::size_t f = 0; f < files; ++f) {
      out += u"    ";
      AlignRight(out, Decimal(static_cast<std::int64_t>(f + 1)), numberWidth);
      out += u"  ";
      const RankLine* line = LineOf(history, f, l);
      if (line == nullptr) {
        out += kOverflow;
        EndLine(out);
        continue;
      }
      AlignRight(out, Decimal(line->total), totalWidth);
      out += u"  ";
      AlignRight(out, TotalChange(history, f, l), changeWidth);
      out += u"  ";
      AlignLeft(out, line->name, 4);
      if (line->next) out += u"  next " + Decimal(*line->next);
      EndLine(out);
    }
  }
  return out;
}

// --- JSON -------------------------------------------------------------

namespace {

void AppendJsonText(Text& out, std::u16string_view text) {
  out += u'"';
  AppendJsonString(out, text);
  out += u'"';
}

}  // namespace

Text HistoryJson(const History& history) {
  Text out = u"{\"files\":[";
  for (std::size_t i = 0; i < history.files.size(); ++i) {
    const FileSummary& file = history.files[i];
    out += i == 0 ? u"{\"file\":" : u",{\"file\":";
    AppendJsonText(out, file.name);
    out += u",\"modified\":";
    if (file.modified.empty()) {
      out += u"null";
    } else {
      AppendJsonText(out, file.modified);
    }
    out += u",\"songs\":" + Decimal(file.songs) + u",\"plays\":" + Decimal(file.plays) + u",\"rank\":";
    if (!file.rank) {
      out += u"null}";
      continue;
    }
    out += u'[';
    for (std::size_t l = 0; l < file.rank->size(); ++l) {
      const RankLine& line = (*file.rank)[l];
      out += l == 0 ? u"{\"label\":" : u",{\"label\":";
      AppendJsonText(out, line.label);
      out += u",\"total\":" + Decimal(line.total) + u",\"name\":";
      AppendJsonText(out, line.name);
      out += u",\"next\":" + (line.next ? Decimal(*line.next) : Text(u"null")) + u'}';
    }
    out += u"]}";
  }
  out += u"],\"steps\":[";
  for (std::size_t i = 0; i < history.steps.size(); ++i) {
    const HistoryStep& step = history.steps[i];
    out += i == 0 ? u"{" : u",{";
    out += u"\"from\":" + Decimal(static_cast<std::int64_t>(i + 1)) + u",\"to\":" +
           Decimal(static_cast<std::int64_t>(i + 2)) + u",\"partsImproved\":" + Decimal(step.partsImproved) +
           u",\"newBestScores\":" + Decimal(step.newBestScores) + u",\"playsAdded\":" +
           Decimal(step.playsAdded) + u",\"songsAdded\":" + Decimal(step.songsAdded) + u",\"songsRemoved\":" +
           Decimal(step.songsRemoved) + u",\"rankChanges\":";
    if (!step.rankChanges) {
      out += u"null}";
      continue;
    }
    out += u'[';
    for (std::size_t c = 0; c < step.rankChanges->size(); ++c) {
      const RankNameChange& change = (*step.rankChanges)[c];
      out += c == 0 ? u"{\"label\":" : u",{\"label\":";
      AppendJsonText(out, change.label);
      out += u",\"old\":";
      AppendJsonText(out, change.from);
      out += u",\"new\":";
      AppendJsonText(out, change.to);
      out += u'}';
    }
    out += u"]}";
  }
  out += u"]}\n";
  return out;
}

// --- HTML -------------------------------------------------------------

namespace {

void AppendHtml(Text& out, std::u16string_view text) {
  for (const char16_t c : text) {
    switch (c) {
      case u'&': out += u"&amp;"; break;
      case u'<': out += u"&lt;"; break;
      case u'>': out += u"&gt;"; break;
      case u'"': out += u"&quot;"; break;
      default:
        // Control characters have no place in a page; a title may hold them.
        out += c < 0x20 && c != u'\t' ? u'\uFFFD' : c;
    }
  }
}

void Append(Text& out, std::initializer_list<std::u16string_view> pieces) {
  for (const std::u16string_view piece : pieces) out += piece;
}

Text Html(std::u16string_view text) {
  Text out;
  AppendHtml(out, text);
  return out;
}

// One decimal, as SVG coordinates are written: the same digits on every platform.
Text Fixed(double value) {
  const std::int64_t tenths = std::llround(value * 10);
  const std::int64_t whole = tenths / 10;
  const std::int64_t tenth = tenths % 10;
  Text out = tenths < 0 && whole == 0 ? Text(u"-") : Text();
  out += Decimal(whole);
  if (tenth != 0) out += u"." + Decimal(tenth < 0 ? -tenth : tenth);
  return out;
}

constexpr char16_t kStyle[] =
    uR"(<style>
@page { size: A4; margin: 12mm; }
:root { color-scheme: light; }
body { font-family: "Yu Gothic UI", "Yu Gothic", "Meiryo", "Hiragino Sans", "Noto Sans CJK JP", "IPAPGothic", sans-serif;
  font-size: 14px; line-height: 1.45; color: #1d1d1f; background: #fff; margin: 24px auto; max-width: 1220px; padding: 0 20px; }
h1 { font-size: 22px; margin: 0 0 2px; }
h2 { font-size: 16px; margin: 28px 0 10px; padding-bottom: 3px; border-bottom: 2px solid #d5dbe5; }
h3 { font-size: 14px; margin: 0; }
p.sub { margin: 0; color: #555; }
table { border-collapse: collapse; font-variant-numeric: tabular-nums; }
th, td { padding: 3px 12px; border-bottom: 1px solid #e3e6eb; text-align: right; white-space: nowrap; vertical-align: top; }
th { background: #f1f4f8; font-weight: 600; }
th.l, td.l { text-align: left; }
td.name { white-space: normal; word-break: break-all; text-align: left; }
tr.group td { background: #f7f8fa; font-weight: 600; text-align: left; border-top: 1px solid #cfd5de; }
.up { color: #1a7f37; } .down { color: #b42318; } .muted { color: #888; }
.charts { display: grid; grid-template-columns: repeat(3, minmax(0, 1fr)); gap: 14px; }
figure { margin: 0; border: 1px solid #dde2ea; border-radius: 6px; padding: 8px 8px 4px; break-inside: avoid; }
figure svg { display: block; width: 100%; height: auto; }
svg text { font-family: inherit; }
.guide { fill: none; stroke: #9aa5b5; stroke-width: 1; stroke-dasharray: 4 3; }
.guide-label { font-size: 11px; fill: #5b6575; }
.axis { stroke: #c4cad4; stroke-width: 1; }
.tick { font-size: 11px; fill: #5b6575; text-anchor: middle; }
.line { fill: none; stroke: #1f5fbf; stroke-width: 2.5; stroke-linejoin: round; }
.point { fill: #1f5fbf; stroke: #fff; stroke-width: 1.5; }
.value { font-size: 11px; fill: #123f85; text-anchor: middle; font-weight: 600; }
@media (max-width: 900px) { .charts { grid-template-columns: repeat(2, minmax(0, 1fr)); } }
@media print {
  body { margin: 0; max-width: none; padding: 0; font-size: 9pt; }
  h1 { font-size: 14pt; } h2 { font-size: 11pt; margin: 6mm 0 2mm; break-after: avoid; }
  .charts { grid-template-columns: repeat(2, minmax(0, 1fr)); gap: 3mm; }
  th, td { padding: 1px 6px; }
  tr, figure { break-inside: avoid; }
  th { background: none; }
}
</style>
)";

// The chart of one rank line: its total in each file, and the rank
// boundaries near those totals as dashed guides, each labelled with the
// name of the rank that begins there. A boundary moves when the number of
// songs (and so the line's scale) changes, so a guide is drawn through each
// file's own value.
void AppendChart(Text& out, const History& history, std::size_t line, const Ranks& ranks) {
  constexpr double kWidth = 400, kHeight = 220;
  constexpr double kLeft = 16, kRight = 318, kTop = 24, kBottom = 188;
  const std::size_t files = history.files.size();
  std::vector<std::optional<std::int32_t>> totals(files);
  std::vector<float> scales(files, 0);
  Text label;
  for (std::size_t f = 0; f < files; ++f) {
    if (const RankLine* rank = LineOf(history, f, line)) {
      totals[f] = rank->total;
      scales[f] = rank->scale;
      label = rank->label;
    }
  }
  std::vector<std::size_t> shown;
  for (std::size_t f = 0; f < files; ++f)
    if (totals[f]) shown.push_back(f);
  if (shown.empty()) return;

  std::int32_t low = *totals[shown.front()], high = low;
  for (const std::size_t f : shown) {
    low = std::min(low, *totals[f]);
    high = std::max(high, *totals[f]);
  }
  // The boundary at or below every point and the next one above every
  // point bound the chart; every boundary between them is drawn. The top
  // rung, where the rank text ends, is no boundary a player reaches.
  constexpr std::size_t kLastBoundary = kRungs - 2;
  const auto threshold = [&](std::size_t rung, std::size_t f) {
    return ScaledThreshold(ranks[rung], scales[f]);
  };
  std::size_t first = 0, last = kLastBoundary;
  bool below = false;
  for (std::size_t r = 0; r <= kLastBoundary; ++r) {
    if (std::all_of(shown.begin(), shown.end(), [&](std::size_t f) { return threshold(r, f) <= low; })) {
      first = r;
      below = true;
    }
  }
  for (std::size_t r = kLastBoundary + 1; r-- > first;) {
    if (std::all_of(shown.begin(), shown.end(), [&](std::size_t f) { return threshold(r, f) > high; }))
      last = r;
  }
  double lo = below ? low : std::min<std::int32_t>(0, low), hi = high;
  for (std::size_t r = first; r <= last; ++r) {
    for (const std::size_t f : shown) {
      lo = std::min<double>(lo, threshold(r, f));
      hi = std::max<double>(hi, threshold(r, f));
    }
  }
  if (hi <= lo) hi = lo + 1;
  const auto x = [&](std::size_t f) {
    return files == 1
               ? (kLeft + kRight) / 2
               : kLeft + 18 + (kRight - kLeft - 36) * static_cast<double>(f) / static_cast<double>(files - 1);
  };
  const auto y = [&](double v) { return kBottom - (v - lo) / (hi - lo) * (kBottom - kTop); };

  out += u"<figure><h3>" + Html(label) + u"</h3>\n";
  out += u"<svg class=\"chart\" viewBox=\"0 0 " + Fixed(kWidth) + u' ' + Fixed(kHeight) +
         u"\" role=\"img\" aria-label=\"" + Html(label) + u"\" data-label=\"" + Html(label) +
         u"\" data-lo=\"" + Fixed(lo) + u"\" data-hi=\"" + Fixed(hi) + u"\" data-top=\"" + Fixed(kTop) +
         u"\" data-bottom=\"" + Fixed(kBottom) + u"\">\n";
  out += u"<line class=\"axis\" x1=\"" + Fixed(kLeft) + u"\" y1=\"" + Fixed(kBottom) + u"\" x2=\"" +
         Fixed(kRight) + u"\" y2=\"" + Fixed(kBottom) + u"\"/>\n";

  // Guides, lowest first; a label too close to the one below it is left
  // out (its line stays), so that names never overprint.
  double lastLabel = kHeight * 2;
  for (std::size_t r = first; r <= last; ++r) {
    Text points = Fixed(kLeft) + u',' + Fixed(y(threshold(r, shown.front())));
    for (const std::size_t f : shown) points += u' ' + Fixed(x(f)) + u',' + Fixed(y(threshold(r, f)));
    const double end = y(threshold(r, shown.back()));
    points += u' ' + Fixed(kRight) + u',' + Fixed(end);
    out += u"<polyline class=\"guide\" points=\"" + points + u"\"/>\n";
    if (lastLabel - end >= 12) {
      out += u"<text class=\"guide-label\" x=\"" + Fixed(kRight + 5) + u"\" y=\"" + Fixed(end + 4) + u"\">" +
             Html(ranks[r + 1].Name) + u' ' + Decimal(threshold(r, shown.back())) + u"</text>\n";
      lastLabel = end;
    }
  }

  // The totals: a line through files that follow each other, a point each.
  for (std::size_t i = 0; i < shown.size();) {
    std::size_t j = i + 1;
    while (j < shown.size() && shown[j] == shown[j - 1] + 1) ++j;
    if (j - i > 1) {
      Text points;
      for (std::size_t k = i; k < j; ++k) {
        if (k > i) points += u' ';
        points += Fixed(x(shown[k])) + u',' + Fixed(y(*totals[shown[k]]));
      }
      out += u"<polyline class=\"line\" points=\"" + points + u"\"/>\n";
    }
    i = j;
  }
  // Values over their points where they fit side by side (11 px digits are
  // about 6.6 wide); else only the first and the last, the rest being in
  // each point's tooltip and in the table below.
  std::size_t digits = 0;
  for (const std::size_t f : shown) digits = std::max(digits, Decimal(*totals[f]).size());
  const bool allValues = files < 2 || x(1) - x(0) >= 6.6 * static_cast<double>(digits) + 4;
  for (const std::size_t f : shown) {
    const Text cx = Fixed(x(f)), cy = Fixed(y(*totals[f]));
    const Text number = Decimal(static_cast<std::int64_t>(f + 1)), total = Decimal(*totals[f]);
    Append(out, {u"<circle class=\"point\" cx=\"", cx, u"\" cy=\"", cy, u"\" r=\"4\" data-file=\"", number,
                 u"\" data-total=\"", total, u"\"><title>", number, u": ", total, u" ",
                 Html(LineOf(history, f, line)->name), u"</title></circle>\n"});
    if (allValues || f == shown.front() || f == shown.back()) {
      out += u"<text class=\"value\" x=\"" + cx + u"\" y=\"" + Fixed(y(*totals[f]) - 8) + u"\">" +
             Decimal(*totals[f]) + u"</text>\n";
    }
  }
  for (std::size_t f = 0; f < files; ++f) {
    out += u"<text class=\"tick\" x=\"" + Fixed(x(f)) + u"\" y=\"" + Fixed(kBottom + 18) + u"\">" +
           Decimal(static_cast<std::int64_t>(f + 1)) + u"</text>\n";
  }
  out += u"</svg></figure>\n";
}

// A signed change, green up, red down.
Text ChangeCell(const Text& change) {
  const char16_t* kind = change.starts_with(u'+') ? u"up" : change.starts_with(u'-') ? u"down" : u"muted";
  return u"<td class=\"" + Text(kind) + u"\">" + change + u"</td>";
}

}  // namespace

Text HistoryHtml(const History& history, const Ranks& ranks) {
  const std::size_t files = history.files.size();
  const Text count = Decimal(static_cast<std::int64_t>(files)) + (files == 1 ? u" file" : u" files");
  Text out = u"<!DOCTYPE html>\n<html lang=\"ja\">\n<head>\n<meta charset=\"utf-8\">\n";
  out += u"<meta name=\"viewport\" content=\"width=device-width, initial-scale=1\">\n";
  out += u"<title>quillbox history: " + count + u"</title>\n";
  out += kStyle;
  out += u"</head>\n<body>\n<h1>quillbox history</h1>\n<p class=\"sub\">" + count;
  if (files > 0) {
    const auto date = [](const FileSummary& file) {
      return file.modified.empty() ? Text(u"unknown") : file.modified;
    };
    out += u", " + Html(date(history.files.front())) + u" \u2192 " + Html(date(history.files.back()));
  }
  out += u"</p>\n";

  out +=
      u"<h2>Files</h2>\n<table>\n<tr><th>#</th><th class=\"l\">modified</th><th>songs</th><th>plays</th>"
      u"<th class=\"l\">file</th></tr>\n";
  for (std::size_t i = 0; i < files; ++i) {
    const FileSummary& file = history.files[i];
    out += u"<tr><td>" + Decimal(static_cast<std::int64_t>(i + 1)) + u"</td><td class=\"l\">" +
           (file.modified.empty() ? Text(u"unknown") : Html(file.modified)) + u"</td><td>" +
           Decimal(file.songs) + u"</td><td>" + Decimal(file.plays) + u"</td><td class=\"name\">" +
           Html(file.name) + u"</td></tr>\n";
  }
  out += u"</table>\n";

  out += u"<h2>Rank lines across the files</h2>\n<div class=\"charts\">\n";
  for (std::size_t l = 0; l < kRankLines; ++l) AppendChart(out, history, l, ranks);
  out += u"</div>\n";

  if (!history.steps.empty()) {
    out +=
        u"<h2>Changes from each file to the next</h2>\n<table>\n<tr><th>from</th><th>to</th>"
        u"<th>parts improved</th><th>new best scores</th><th>plays added</th><th>songs added</th>"
        u"<th>songs removed</th></tr>\n";
    for (std::size_t i = 0; i < history.steps.size(); ++i) {
      const HistoryStep& step = history.steps[i];
      out += u"<tr><td>" + Decimal(static_cast<std::int64_t>(i + 1)) + u"</td><td>" +
             Decimal(static_cast<std::int64_t>(i + 2)) + u"</td><td>" + Decimal(step.partsImproved) +
             u"</td><td>" + Decimal(step.newBestScores) + u"</td>" + ChangeCell(Signed(step.playsAdded)) +
             u"<td>" + Decimal(step.songsAdded) + u"</td><td>" + Decimal(step.songsRemoved) + u"</td></tr>\n";
    }
    out += u"</table>\n";

    out +=
        u"<h2>Rank names changed</h2>\n<table>\n<tr><th>from</th><th>to</th><th class=\"l\">line</th>"
        u"<th class=\"l\">before</th><th class=\"l\">after</th></tr>\n";
    bool any = false;
    for (std::size_t i = 0; i < history.steps.size(); ++i) {
      const Text fromTo = u"<tr><td>" + Decimal(static_cast<std::int64_t>(i + 1)) + u"</td><td>" +
                          Decimal(static_cast<std::int64_t>(i + 2)) + u"</td>";
      const HistoryStep& step = history.steps[i];
      if (!step.rankChanges) {
        out += fromTo + u"<td class=\"l\" colspan=\"3\">" + kOverflow + u"</td></tr>\n";
        any = true;
        continue;
      }
      for (const RankNameChange& change : *step.rankChanges) {
        out += fromTo + u"<td class=\"l\">" + Html(change.label) + u"</td><td class=\"l\">" +
               (change.from.empty() ? Text(u"-") : Html(change.from)) + u"</td><td class=\"l\">" +
               (change.to.empty() ? Text(u"-") : Html(change.to)) + u"</td></tr>\n";
        any = true;
      }
    }
    if (!any) out += u"<tr><td class=\"l muted\" colspan=\"5\">none</td></tr>\n";
    out += u"</table>\n";
  }

  out +=
      u"<h2>Rank lines</h2>\n<table>\n<tr><th>#</th><th>total</th><th>change</th><th class=\"l\">rank</th>"
      u"<th>next</th></tr>\n";
  for (std::size_t l = 0; l < kRankLines; ++l) {
    const RankLine* any = nullptr;
    for (std::size_t f = 0; f < files && any == nullptr; ++f) any = LineOf(history, f, l);
    if (any == nullptr) continue;
    out += u"<tr class=\"group\"><td colspan=\"5\">" + Html(any->label) + u"</td></tr>\n";
    for (std::size_t f = 0; f < files; ++f) {
      out += u"<tr><td>" + Decimal(static_cast<std::int64_t>(f + 1)) + u"</td>";
      const RankLine* line = LineOf(history, f, l);
      if (line == nullptr) {
        out += u"<td class=\"l\" colspan=\"4\">" + Text(kOverflow) + u"</td></tr>\n";
        continue;
      }
      const Text change = TotalChange(history, f, l);
      out += u"<td>" + Decimal(line->total) + u"</td>";
      out += change.empty() ? Text(u"<td></td>") : ChangeCell(change);
      out += u"<td class=\"l\">" + Html(line->name) + u"</td><td>" +
             (line->next ? Decimal(*line->next) : Text()) + u"</td></tr>\n";
    }
  }
  out += u"</table>\n</body>\n</html>\n";
  return out;
}

}  // namespace quillbox
