#include <string_view>

#include "render/History.h"
#include "render/HistoryChart.h"
#include "render/HistoryWords.h"
#include "render/Html.h"

namespace quillbox {
namespace {

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
.note { font-size: 12px; fill: #5b6575; text-anchor: middle; }
.value { font-size: 11px; fill: #123f85; text-anchor: middle; font-weight: 600;
  paint-order: stroke; stroke: #fff; stroke-width: 3px; stroke-linejoin: round; }
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

Text Number(std::size_t n) { return Decimal(static_cast<std::int64_t>(n)); }

// A signed change, green up, red down.
Text ChangeCell(std::int64_t change) {
  Text out = u"<td class=\"";
  out += change > 0 ? u"up" : change < 0 ? u"down" : u"muted";
  out += u"\">";
  if (change > 0) out += u'+';
  out += Decimal(change);
  out += u"</td>";
  return out;
}

}  // namespace

Text HistoryHtml(const History& history, const Ranks& ranks, Language language) {
  const auto word = [language](HistoryWord w) { return Text(Word(w, language)); };
  const auto th = [&word](HistoryWord w) { return u"<th>" + word(w) + u"</th>"; };
  const auto thLeft = [&word](HistoryWord w) { return u"<th class=\"l\">" + word(w) + u"</th>"; };
  const std::size_t files = history.files.size();
  const Text count =
      Counted(static_cast<std::int64_t>(files), word(HistoryWord::FileOne), word(HistoryWord::FileMany));
  Text out = u"<!DOCTYPE html>\n<html lang=\"";
  out += language == Language::Japanese ? u"ja" : u"en";
  out += u"\">\n<head>\n<meta charset=\"utf-8\">\n";
  out += u"<meta name=\"viewport\" content=\"width=device-width, initial-scale=1\">\n";
  out += u"<title>" + Fill(word(HistoryWord::PageTitle), {count}) + u"</title>\n";
  out += kStyle;
  out += u"</head>\n<body>\n<h1>" + word(HistoryWord::PageHeading) + u"</h1>\n<p class=\"sub\">" + count;
  const auto date = [&word](const FileSummary& file) {
    return file.modified.empty() ? word(HistoryWord::Unknown) : Html(file.modified);
  };
  if (files > 0) out += u", " + date(history.files.front()) + u" \u2192 " + date(history.files.back());
  out += u"</p>\n";

  out += u"<h2>" + word(HistoryWord::PageFiles) + u"</h2>\n<table>\n<tr>" + th(HistoryWord::Number) +
         thLeft(HistoryWord::Modified) + th(HistoryWord::Songs) + th(HistoryWord::Plays) +
         thLeft(HistoryWord::File) + u"</tr>\n";
  for (std::size_t i = 0; i < files; ++i) {
    const FileSummary& file = history.files[i];
    out += u"<tr><td>" + Number(i + 1) + u"</td><td class=\"l\">" + date(file) + u"</td><td>" +
           Decimal(file.songs) + u"</td><td>" + Decimal(file.plays) + u"</td><td class=\"name\">" +
           Html(file.name) + u"</td></tr>\n";
  }
  out += u"</table>\n";

  out += u"<h2>" + word(HistoryWord::PageCharts) + u"</h2>\n<div class=\"charts\">\n";
  for (std::size_t l = 0; l < kRankLines; ++l) AppendChart(out, history, l, ranks, language);
  out += u"</div>\n";

  if (!history.steps.empty()) {
    out += u"<h2>" + word(HistoryWord::PageSteps) + u"</h2>\n<table>\n<tr>" + th(HistoryWord::From) +
           th(HistoryWord::To) + th(HistoryWord::PartsImproved) + th(HistoryWord::NewBestScores) +
           th(HistoryWord::PlaysAdded) + th(HistoryWord::SongsAdded) + th(HistoryWord::SongsRemoved) +
           u"</tr>\n";
    for (std::size_t i = 0; i < history.steps.size(); ++i) {
      const HistoryStep& step = history.steps[i];
      out += u"<tr><td>" + Number(i + 1) + u"</td><td>" + Number(i + 2) + u"</td><td>" +
             Decimal(step.partsImproved) + u"</td><td>" + Decimal(step.newBestScores) + u"</td>" +
             ChangeCell(step.playsAdded) + u"<td>" + Decimal(step.songsAdded) + u"</td><td>" +
             Decimal(step.songsRemoved) + u"</td></tr>\n";
    }
    out += u"</table>\n";

    out += u"<h2>" + word(HistoryWord::PageRankChanges) + u"</h2>\n<table>\n<tr>" + th(HistoryWord::From) +
           th(HistoryWord::To) + thLeft(HistoryWord::Line) + thLeft(HistoryWord::Before) +
           thLeft(HistoryWord::After) + u"</tr>\n";
    bool any = false;
    for (std::size_t i = 0; i < history.steps.size(); ++i) {
      const Text fromTo = u"<tr><td>" + Number(i + 1) + u"</td><td>" + Number(i + 2) + u"</td>";
      const HistoryStep& step = history.steps[i];
      if (!step.rankChanges) {
        out += fromTo + u"<td class=\"l\" colspan=\"3\">" + word(HistoryWord::Overflow) + u"</td></tr>\n";
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
    if (!any) out += u"<tr><td class=\"l muted\" colspan=\"5\">" + word(HistoryWord::None) + u"</td></tr>\n";
    out += u"</table>\n";
  }

  out += u"<h2>" + word(HistoryWord::PageRankLines) + u"</h2>\n<table>\n<tr>" + th(HistoryWord::Number) +
         th(HistoryWord::Total) + th(HistoryWord::Change) + thLeft(HistoryWord::Rank) +
         th(HistoryWord::Next) + u"</tr>\n";
  for (std::size_t l = 0; l < kRankLines; ++l) {
    const RankLine* any = nullptr;
    for (std::size_t f = 0; f < files && any == nullptr; ++f) any = LineOf(history, f, l);
    if (any == nullptr) continue;
    out += u"<tr class=\"group\"><td colspan=\"5\">" + Html(any->label) + u"</td></tr>\n";
    for (std::size_t f = 0; f < files; ++f) {
      out += u"<tr><td>" + Number(f + 1) + u"</td>";
      const RankLine* line = LineOf(history, f, l);
      if (line == nullptr) {
        out += u"<td class=\"l\" colspan=\"4\">" + word(HistoryWord::Overflow) + u"</td></tr>\n";
        continue;
      }
      const std::optional<std::int64_t> change = TotalChange(history, f, l);
      out += u"<td>" + Decimal(line->total) + u"</td>";
      out += change ? ChangeCell(*change) : Text(u"<td></td>");
      out += u"<td class=\"l\">" + Html(line->name) + u"</td><td>" +
             (line->next ? Decimal(*line->next) : Text()) + u"</td></tr>\n";
    }
  }
  out += u"</table>\n</body>\n</html>\n";
  return out;
}

}  // namespace quillbox
