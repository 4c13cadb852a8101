#include "render/HistoryChart.h"

#include <algorithm>
#include <optional>
#include <vector>

#include "render/Html.h"

namespace quillbox {

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

}  // namespace quillbox
