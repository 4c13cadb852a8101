#include <string_view>

#include "render/History.h"

namespace quillbox {
namespace {

void AppendJsonText(Text& out, std::u16string_view text) {
  out += u'"';
  AppendJsonString(out, text);
  out += u'"';
}

Text Number(std::size_t n) { return Decimal(static_cast<std::int64_t>(n)); }

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
    out += u"\"from\":" + Number(i + 1) + u",\"to\":" + Number(i + 2) + u",\"partsImproved\":" +
           Decimal(step.partsImproved) + u",\"newBestScores\":" + Decimal(step.newBestScores) +
           u",\"playsAdded\":" + Decimal(step.playsAdded) + u",\"songsAdded\":" + Decimal(step.songsAdded) +
           u",\"songsRemoved\":" + Decimal(step.songsRemoved) + u",\"rankChanges\":";
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

}  // namespace quillbox
