#include "render/HistoryChart.h"

#include <algorithm>
#include <cmath>
#include <optional>
#include <string_view>
#include <utility>
#include <vector>

#include "render/HistoryWords.h"
#include "render/Html.h"

namespace quillbox {
namespace {

constexpr double kWidth = 400, kHeight = 220;
constexpr double kLeft = 16, kRight = 318, kTop = 24, kBottom = 188;
// Points keep this far from the box's sides, so that a value over the first
// or last point stays inside.
constexpr double kInset = 18;
constexpr double kFrom = kLeft + kInset, kTo = kRight - kInset;
// Labels are 11 px: digits and Latin letters about 0.6 em wide, kana and
// kanji a full em.
constexpr double kFont = 11;
constexpr std::size_t kMaxTicks = 12;
constexpr std::size_t kMaxGuides = 8;
constexpr double kTickPitch = (kTo - kFrom) / (kMaxTicks - 1);

double TextWidth(std::u16string_view text) {
  double width = 0;
  for (const char16_t c : text) width += c < 0x2000 ? 0.6 * kFont : kFont;
  return width;
}

struct Box {
  double left, right, top, bottom;
};

bool Overlap(const Box& a, const Box& b, double gap) {
  return a.left < b.right + gap && b.left < a.right + gap && a.top < b.bottom + gap && b.top < a.bottom + gap;
}

// A file's date as "YYYY-MM-DD HH:MM" reads, and as minutes on one scale.
struct Stamp {
  int year = 0, month = 0, day = 0, hour = 0, minute = 0;
  std::int64_t minutes = 0;
};

std::optional<Stamp> ParseStamp(std::u16string_view text) {
  if (text.size() != 16) return std::nullopt;
  const auto field = [text](std::size_t at, std::size_t length) {
    int value = 0;
    for (std::size_t i = at; i < at + length; ++i) {
      if (text[i] < u'0' || text[i] > u'9') return -1;
      value = value * 10 + (text[i] - u'0');
    }
    return value;
  };
  Stamp s{field(0, 4), field(5, 2), field(8, 2), field(11, 2), field(14, 2), 0};
  if (s.year < 1 || s.month < 1 || s.month > 12 || s.day < 1 || s.day > 31 || s.hour < 0 || s.hour > 23 ||
      s.minute < 0 || s.minute > 59)
    return std::nullopt;
  // Days since 0000-03-01 of the proleptic Gregorian calendar.
  const std::int64_t y = s.year - (s.month <= 2 ? 1 : 0);
  const std::int64_t era = y / 400, ofEra = y % 400;
  const std::int64_t ofYear = (153 * ((s.month + 9) % 12) + 2) / 5 + s.day - 1;
  const std::int64_t days = era * 146097 + ofEra * 365 + ofEra / 4 - ofEra / 100 + ofYear;
  s.minutes = (days * 24 + s.hour) * 60 + s.minute;
  return s;
}

Text TwoDigits(int value) {
  Text out = value < 10 ? u"0" : u"";
  out += Decimal(value);
  return out;
}

// Where each file sits across the chart and what its tick would say. Files
// stand at their dates when every date is known and each is later than the
// one before; otherwise (a date missing, two alike, a file listed out of
// order) they are spaced evenly in the order given and ticked by number, as
// the tables number them.
struct Axis {
  std::vector<double> x;
  std::vector<Text> ticks;
};

Axis PlaceFiles(const History& history) {
  const std::size_t files = history.files.size();
  Axis axis;
  std::vector<Stamp> stamps;
  for (const FileSummary& file : history.files) {
    const std::optional<Stamp> stamp = ParseStamp(file.modified);
    if (!stamp || (!stamps.empty() && stamp->minutes <= stamps.back().minutes)) break;
    stamps.push_back(*stamp);
  }
  const auto between = [files](double share) { return files == 1 ? (kFrom + kTo) / 2 : kFrom + (kTo - kFrom) * share; };
  if (stamps.size() == files && files > 0) {
    const Stamp& first = stamps.front();
    const Stamp& last = stamps.back();
    const bool oneYear = files > 1 && first.year == last.year;  // one file: its whole date
    const bool oneDay = oneYear && first.month == last.month && first.day == last.day;
    const auto span = static_cast<double>(std::max<std::int64_t>(1, last.minutes - first.minutes));
    for (const Stamp& s : stamps) {
      axis.x.push_back(between(static_cast<double>(s.minutes - first.minutes) / span));
      Text tick;
      if (!oneYear) Append(tick, {Decimal(s.year), u"/"});
      if (oneDay) {
        Append(tick, {TwoDigits(s.hour), u":", TwoDigits(s.minute)});
      } else {
        Append(tick, {Decimal(s.month), u"/", Decimal(s.day)});
      }
      axis.ticks.push_back(std::move(tick));
    }
    return axis;
  }
  for (std::size_t f = 0; f < files; ++f) {
    axis.x.push_back(between(files < 2 ? 0 : static_cast<double>(f) / static_cast<double>(files - 1)));
    axis.ticks.push_back(Decimal(static_cast<std::int64_t>(f) + 1));
  }
  return axis;
}

// Which ticks to write: the first and the last always, the others left to
// right where they keep clear of those kept and at least a twelfth-part pitch
// from them, so that an axis never holds more than twelve.
std::vector<bool> ThinTicks(const Axis& axis) {
  const std::size_t n = axis.x.size();
  std::vector<bool> keep(n, false);
  if (n == 0) return keep;
  const auto apart = [&axis](std::size_t a, std::size_t b) {
    const double need = std::max(kTickPitch, (TextWidth(axis.ticks[a]) + TextWidth(axis.ticks[b])) / 2 + 6);
    return axis.x[b] - axis.x[a] >= need && axis.ticks[a] != axis.ticks[b];
  };
  keep.front() = keep.back() = true;
  for (std::size_t f = 1, kept = 0; f + 1 < n; ++f) {
    if (apart(kept, f) && apart(f, n - 1)) {
      keep[f] = true;
      kept = f;
    }
  }
  return keep;
}

}  // namespace

// The chart of one rank line: its total in each file, and the rank
// boundaries nearest those totals as dashed guides, each labelled with the
// name of the rank that begins there. A boundary moves when the number of
// songs (and so the line's scale) changes, so a guide is drawn through each
// file's own value. A file whose line has no songs (a scale of 0 or below,
// as the added-song lines have up to nine songs) has no boundaries at all.
void AppendChart(Text& out, const History& history, std::size_t line, const Ranks& ranks, Language language) {
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
  std::vector<std::size_t> shown, ruled;
  for (std::size_t f = 0; f < files; ++f) {
    if (!totals[f]) continue;
    shown.push_back(f);
    if (scales[f] > 0) ruled.push_back(f);
  }
  if (shown.empty()) return;

  std::int32_t low = *totals[shown.front()], high = low;
  for (const std::size_t f : shown) {
    low = std::min(low, *totals[f]);
    high = std::max(high, *totals[f]);
  }
  // The top rung, where the rank text ends, is no boundary a player
  // reaches, and no boundary at 0 or below is one.
  constexpr std::size_t kLastBoundary = kRungs - 2;
  const auto threshold = [&](std::size_t rung, std::size_t f) {
    return ScaledThreshold(ranks[rung], scales[f]);
  };
  const auto everywhere = [&ruled](auto&& test) { return std::all_of(ruled.begin(), ruled.end(), test); };
  // Each file's own neighbours: the boundary at or below its total and the
  // next one above it. The lowest and highest of those bound the chart.
  std::size_t floor = 0;
  while (floor < kLastBoundary && !everywhere([&](std::size_t f) { return threshold(floor, f) > 0; })) ++floor;
  std::size_t first = kLastBoundary, last = floor;
  bool below = true;
  for (const std::size_t f : ruled) {
    std::size_t r = floor;
    while (r <= kLastBoundary && threshold(r, f) <= *totals[f]) ++r;
    if (r == floor) below = false;
    first = std::min(first, r == floor ? floor : r - 1);
    last = std::max(last, std::min(r, kLastBoundary));
  }
  first = std::min(first, last);
  const bool guides = !ruled.empty() && everywhere([&](std::size_t f) { return threshold(first, f) > 0; });
  double lo = below && guides ? low : std::min<std::int32_t>(0, low), hi = high;
  for (std::size_t r = first; guides && r <= last; ++r) {
    for (const std::size_t f : ruled) {
      lo = std::min<double>(lo, threshold(r, f));
      hi = std::max<double>(hi, threshold(r, f));
    }
  }
  if (hi <= lo) hi = lo + 1;
  const Axis axis = PlaceFiles(history);
  const auto y = [&](double v) { return kBottom - (v - lo) / (hi - lo) * (kBottom - kTop); };

  out += u"<figure><h3>" + Html(label) + u"</h3>\n";
  out += u"<svg class=\"chart\" viewBox=\"0 0 " + Fixed(kWidth) + u' ' + Fixed(kHeight) +
         u"\" role=\"img\" aria-label=\"" + Html(label) + u"\" data-label=\"" + Html(label) +
         u"\" data-lo=\"" + Fixed(lo) + u"\" data-hi=\"" + Fixed(hi) + u"\" data-top=\"" + Fixed(kTop) +
         u"\" data-bottom=\"" + Fixed(kBottom) + u"\">\n";
  out += u"<line class=\"axis\" x1=\"" + Fixed(kLeft) + u"\" y1=\"" + Fixed(kBottom) + u"\" x2=\"" +
         Fixed(kRight) + u"\" y2=\"" + Fixed(kBottom) + u"\"/>\n";

  // Guides: the two bounds, and between them only those a readable pitch
  // apart in every file, so that dashes never merge into a band.
  std::vector<std::size_t> rungs;
  if (guides) {
    constexpr double kPitch = (kBottom - kTop) / (kMaxGuides - 1);
    const auto apart = [&](std::size_t a, std::size_t b) {
      return everywhere([&](std::size_t f) { return y(threshold(a, f)) - y(threshold(b, f)) >= kPitch; });
    };
    rungs.push_back(first);
    for (std::size_t r = first + 1; r < last; ++r) {
      if (apart(rungs.back(), r) && apart(r, last)) rungs.push_back(r);
    }
    if (last != first) rungs.push_back(last);
  } else if (ruled.empty()) {
    out += u"<text class=\"note\" x=\"" + Fixed((kLeft + kRight) / 2) + u"\" y=\"" +
           Fixed((kTop + kBottom) / 2) + u"\">" + Text(Word(HistoryWord::NoSongs, language)) + u"</text>\n";
  }
  // Where files without songs on the line open or close the chart, a guide
  // starts or ends at the first or last file that has them.
  const double start = ruled.empty() || ruled.front() == shown.front() ? kLeft : axis.x[ruled.front()];
  const double end = ruled.empty() || ruled.back() == shown.back() ? kRight : axis.x[ruled.back()];
  double lastLabel = kHeight * 2;
  for (const std::size_t r : rungs) {
    Text points = Fixed(start) + u',' + Fixed(y(threshold(r, ruled.front())));
    for (const std::size_t f : ruled) points += u' ' + Fixed(axis.x[f]) + u',' + Fixed(y(threshold(r, f)));
    const double at = y(threshold(r, ruled.back()));
    points += u' ' + Fixed(end) + u',' + Fixed(at);
    out += u"<polyline class=\"guide\" points=\"" + points + u"\"/>\n";
    if (lastLabel - at >= 12) {
      out += u"<text class=\"guide-label\" x=\"" + Fixed(kRight + 5) + u"\" y=\"" + Fixed(at + 4) + u"\">" +
             Html(ranks[r + 1].Name) + u' ' + Decimal(threshold(r, ruled.back())) + u"</text>\n";
      lastLabel = at;
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
        points += Fixed(axis.x[shown[k]]) + u',' + Fixed(y(*totals[shown[k]]));
      }
      out += u"<polyline class=\"line\" points=\"" + points + u"\"/>\n";
    }
    i = j;
  }
  // A value over its point where it keeps clear of the other points and of
  // every value already written, the first and the last taking their places
  // first; the rest are in each point's tooltip and in the table below.
  std::vector<Box> taken, dots(files);
  std::vector<bool> valued(files, false);
  for (const std::size_t f : shown) {
    const double cy = y(*totals[f]);
    dots[f] = {axis.x[f] - 4, axis.x[f] + 4, cy - 4, cy + 4};
  }
  const auto place = [&](std::size_t f, bool always) {
    const Text number = Decimal(*totals[f]);
    const double half = TextWidth(number) / 2;
    const double cx = std::clamp(axis.x[f], half + 1, kRight + 2 - half);
    const double base = y(*totals[f]) - 9;
    const Box box{cx - half, cx + half, base - 0.8 * kFont, base + 0.2 * kFont};
    const auto onValue = [&box](const Box& b) { return Overlap(b, box, 4); };
    const auto onDot = [&](std::size_t g) { return g != f && Overlap(dots[g], box, 1); };
    if (!always && (std::any_of(taken.begin(), taken.end(), onValue) || std::any_of(shown.begin(), shown.end(), onDot)))
      return;
    taken.push_back(box);
    valued[f] = true;
  };
  place(shown.front(), true);
  place(shown.back(), shown.back() != shown.front());
  for (const std::size_t f : shown) {
    if (!valued[f]) place(f, false);
  }
  for (const std::size_t f : shown) {
    const Text cx = Fixed(axis.x[f]), cy = Fixed(y(*totals[f]));
    const Text number = Decimal(static_cast<std::int64_t>(f + 1)), total = Decimal(*totals[f]);
    Append(out, {u"<circle class=\"point\" cx=\"", cx, u"\" cy=\"", cy, u"\" r=\"4\" data-file=\"", number,
                 u"\" data-total=\"", total, u"\"><title>", number, u": ", total, u" ",
                 Html(LineOf(history, f, line)->name), u"</title></circle>\n"});
    if (valued[f]) {
      const double half = TextWidth(total) / 2;
      out += u"<text class=\"value\" x=\"" + Fixed(std::clamp(axis.x[f], half + 1, kRight + 2 - half)) +
             u"\" y=\"" + Fixed(y(*totals[f]) - 9) + u"\">" + total + u"</text>\n";
    }
  }
  const std::vector<bool> ticked = ThinTicks(axis);
  for (std::size_t f = 0; f < files; ++f) {
    if (!ticked[f]) continue;
    out += u"<text class=\"tick\" x=\"" + Fixed(axis.x[f]) + u"\" y=\"" + Fixed(kBottom + 18) + u"\">" +
           Html(axis.ticks[f]) + u"</text>\n";
  }
  out += u"</svg></figure>\n";
}

}  // namespace quillbox
