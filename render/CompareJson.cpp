#include <cstddef>

#include "render/Compare.h"

namespace quillbox {
namespace {

constexpr const char16_t* kFieldNames[kFields] = {u"hiPerfect", u"playCount", u"score1",   u"score2",
                                                  u"score3",    u"perfect1",  u"perfect2", u"perfect3"};

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

// The summary as the rank view shows it, one string.
void AppendRank(Text& out, const std::optional<RankLines>& rank) {
  if (!rank) {
    out += u"null";
    return;
  }
  out += u'"';
  AppendJsonString(out, RankSummaryText(*rank));
  out += u'"';
}

}  // namespace

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

}  // namespace quillbox
