// Splits the input at separators into two to four score files, each named
// (and maybe dated) by its own first line, and writes their history as
// text, JSON and the HTML page in both languages. The JSON parses and
// carries each table's own rank lines; the page holds only the tags and
// attributes the renderer writes, whatever a title or file name holds;
// every chart point lies in its chart's box.
#include <cstddef>
#include <cstdint>
#include <map>
#include <nlohmann/json.hpp>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "fuzz/Inputs.h"
#include "fuzz/PageTokens.h"
#include "render/History.h"

namespace {

using quillbox::Text;
using quillbox::fuzz::PageTag;

// Every element the page writes, with the attributes it may carry.
const std::map<std::u16string, std::set<std::u16string>>& KnownTags() {
  static const std::map<std::u16string, std::set<std::u16string>> tags = {
      {u"html", {u"lang"}},
      {u"head", {}},
      {u"meta", {u"charset", u"name", u"content"}},
      {u"title", {}},
      {u"style", {}},
      {u"body", {}},
      {u"h1", {}},
      {u"h2", {}},
      {u"h3", {}},
      {u"p", {u"class"}},
      {u"div", {u"class"}},
      {u"table", {}},
      {u"tr", {u"class"}},
      {u"th", {u"class"}},
      {u"td", {u"class", u"colspan"}},
      {u"figure", {}},
      {u"svg",
       {u"class", u"viewBox", u"role", u"aria-label", u"data-label", u"data-lo", u"data-hi", u"data-top",
        u"data-bottom"}},
      {u"line", {u"class", u"x1", u"y1", u"x2", u"y2"}},
      {u"polyline", {u"class", u"points"}},
      {u"text", {u"class", u"x", u"y"}},
      {u"circle", {u"class", u"cx", u"cy", u"r", u"data-file", u"data-total"}},
  };
  return tags;
}

double Number(const std::u16string* text) {
  FUZZ_CHECK(text != nullptr);
  return std::stod(quillbox::ToUtf8(*text));
}

void CheckPage(const Text& page, std::size_t files) {
  std::vector<PageTag> tags;
  FUZZ_CHECK(quillbox::fuzz::TokenizePage(page, tags));
  double width = 0, height = 0, top = 0, bottom = 0;
  std::size_t points = 0;
  for (const PageTag& tag : tags) {
    const auto known = KnownTags().find(tag.name);
    FUZZ_CHECK(known != KnownTags().end());
    for (const auto& [key, value] : tag.attributes) FUZZ_CHECK(known->second.count(key) == 1);
    if (tag.closing) continue;
    if (tag.name == u"svg") {
      const std::u16string* box = tag.Attribute(u"viewBox");
      FUZZ_CHECK(box != nullptr && box->rfind(u"0 0 ", 0) == 0);
      const std::size_t blank = box->find(u' ', 4);
      const std::u16string w = box->substr(4, blank - 4), h = box->substr(blank + 1);
      width = Number(&w);
      height = Number(&h);
      top = Number(tag.Attribute(u"data-top"));
      bottom = Number(tag.Attribute(u"data-bottom"));
      FUZZ_CHECK(0 <= top && top < bottom && bottom <= height);
    } else if (tag.name == u"circle") {
      const double cx = Number(tag.Attribute(u"cx")), cy = Number(tag.Attribute(u"cy"));
      FUZZ_CHECK(0 <= cx && cx <= width && top <= cy && cy <= bottom);
      ++points;
    }
  }
  FUZZ_CHECK(points <= files * quillbox::kRankLines);
}

// The JSON's totals are the rank lines of each table on its own.
void CheckJson(const Text& json, const std::vector<quillbox::ScoreSnapshot>& snapshots,
               const quillbox::Ranks& ranks) {
  const nlohmann::json parsed = nlohmann::json::parse(quillbox::ToUtf8(json), nullptr, false);
  FUZZ_CHECK(!parsed.is_discarded());
  const nlohmann::json& files = parsed.at("files");
  FUZZ_CHECK(files.size() == snapshots.size() && parsed.at("steps").size() == snapshots.size() - 1);
  for (std::size_t f = 0; f < snapshots.size(); ++f) {
    const nlohmann::json& rank = files.at(f).at("rank");
    const std::optional<quillbox::RankLines> lines = quillbox::RankSummaryLines(snapshots[f].songs, ranks);
    FUZZ_CHECK(files.at(f).at("songs") == snapshots[f].songs.SongCount());
    if (!lines) {
      FUZZ_CHECK(rank.is_null());
      continue;
    }
    FUZZ_CHECK(rank.size() == lines->size());
    for (std::size_t l = 0; l < lines->size(); ++l) {
      FUZZ_CHECK(rank.at(l).at("total") == (*lines)[l].total);
      FUZZ_CHECK(rank.at(l).at("name") == quillbox::ToUtf8((*lines)[l].name));
    }
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const auto files = quillbox::fuzz::SplitFiles(std::string_view(reinterpret_cast<const char*>(data), size));
  if (files.size() < 2 || files.size() > 4) return 0;
  std::vector<quillbox::ScoreSnapshot> snapshots;
  for (std::size_t f = 0; f < files.size(); ++f) {
    const std::string_view bytes = files[f];
    // The file's name is its first line, as hostile as a title. A tab in it
    // starts the file's date, any text at all; without one, a file of even
    // length has no date and one of odd length a day of its own.
    const std::string_view first = bytes.substr(0, bytes.find('\n'));
    const std::size_t tab = first.find('\t');
    const Text name = quillbox::FromUtf8(first.substr(0, tab));
    const Text modified = tab != std::string_view::npos ? quillbox::FromUtf8(first.substr(tab + 1))
                          : bytes.size() % 2 == 0
                              ? Text()
                              : u"2026-12-0" + quillbox::Decimal(static_cast<std::int64_t>(f + 1)) +
                                    u" 21:0" + quillbox::Decimal(static_cast<std::int64_t>(f));
    snapshots.push_back({name, modified, quillbox::fuzz::ParseAndCheck(bytes).songs});
  }

  const quillbox::Ranks& ranks = quillbox::fuzz::StandardRanks();
  const quillbox::History history = quillbox::BuildHistory(snapshots, ranks);
  CheckJson(quillbox::HistoryJson(history), snapshots, ranks);
  for (const auto language : {quillbox::Language::English, quillbox::Language::Japanese}) {
    quillbox::fuzz::CheckShownOnTerminal(quillbox::HistoryText(history, language));
    CheckPage(quillbox::HistoryHtml(history, ranks, language), files.size());
  }
  return 0;
}
