#pragma once
// Progress across several score files, written out: one renderer per
// format over the history of views/History.h.
#include "render/Language.h"
#include "views/History.h"

namespace quillbox {

// Lined up for a fixed-pitch font, ASCII rules, CR LF line ends.
Text HistoryText(const History& history, Language language = Language::English);
// One line of JSON and one LF (the shape is in docs/report-formats.md).
Text HistoryJson(const History& history);
// One self-contained UTF-8 page: inline CSS and SVG, no script, nothing fetched.
Text HistoryHtml(const History& history, const Ranks& ranks, Language language = Language::English);

inline Text HistoryText(const std::vector<ScoreSnapshot>& snapshots, const Ranks& ranks,
                        Language language = Language::English) {
  return HistoryText(BuildHistory(snapshots, ranks), language);
}
inline Text HistoryJson(const std::vector<ScoreSnapshot>& snapshots, const Ranks& ranks) {
  return HistoryJson(BuildHistory(snapshots, ranks));
}
inline Text HistoryHtml(const std::vector<ScoreSnapshot>& snapshots, const Ranks& ranks) {
  return HistoryHtml(BuildHistory(snapshots, ranks), ranks);
}

}  // namespace quillbox
