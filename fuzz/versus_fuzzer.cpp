// Splits the input at a separator into my score file and a friend's and
// sets them against each other both ways round: the two results mirror each
// other, every part's tallies add up to the matched songs, a file against
// itself is all draws, and the JSON parses and says what the model says.
#include <cstddef>
#include <cstdint>
#include <nlohmann/json.hpp>
#include <string>
#include <string_view>

#include "fuzz/Inputs.h"
#include "render/Versus.h"

namespace {

using quillbox::Songs;
using quillbox::Tally;
using quillbox::Versus;

bool Mirrored(const Tally& a, const Tally& b) {
  return a.wins == b.losses && a.losses == b.wins && a.draws == b.draws;
}

std::int64_t Sum(const Tally& t) { return t.wins + t.losses + t.draws; }

Tally Plus(const Tally& a, const Tally& b) {
  return {a.wins + b.wins, a.losses + b.losses, a.draws + b.draws};
}

void CheckSums(const Versus& v) {
  for (std::size_t row = 0; row < 8; ++row) {
    FUZZ_CHECK(Sum(v.rows[row].hiPerfect) == v.matched && Sum(v.rows[row].bestScore) == v.matched);
  }
  for (const std::size_t row : {quillbox::kFrontRow, quillbox::kBackRow}) {
    FUZZ_CHECK(Sum(v.rows[row].hiPerfect) == 4 * v.matched && Sum(v.rows[row].bestScore) == 4 * v.matched);
  }
  for (const auto field : {&quillbox::VersusRow::hiPerfect, &quillbox::VersusRow::bestScore}) {
    FUZZ_CHECK(Sum(v.rows[quillbox::kStandardRow].*field) + Sum(v.rows[quillbox::kAddedRow].*field) ==
               8 * v.matched);
  }
}

// Standard and added songs go by MINE's song number, which the other way
// round is THEIR number: only their sum mirrors.
void CheckMirror(const Versus& ab, const Versus& ba) {
  FUZZ_CHECK(ab.matched == ba.matched);
  FUZZ_CHECK(ab.onlyMine == ba.onlyTheirs && ab.onlyTheirs == ba.onlyMine);
  for (const auto field : {&quillbox::VersusRow::hiPerfect, &quillbox::VersusRow::bestScore}) {
    for (std::size_t row = 0; row <= quillbox::kBackRow; ++row) {
      FUZZ_CHECK(Mirrored(ab.rows[row].*field, ba.rows[row].*field));
    }
    const auto both = [field](const Versus& v) {
      return Plus(v.rows[quillbox::kStandardRow].*field, v.rows[quillbox::kAddedRow].*field);
    };
    FUZZ_CHECK(Mirrored(both(ab), both(ba)));
  }
}

void CheckSelf(const Songs& songs, const Versus& self) {
  FUZZ_CHECK(self.matched == songs.SongCount());
  FUZZ_CHECK(self.onlyMine.empty() && self.onlyTheirs.empty() && self.trailing.empty());
  for (const quillbox::VersusRow& row : self.rows) {
    FUZZ_CHECK(row.hiPerfect.wins == 0 && row.hiPerfect.losses == 0);
    FUZZ_CHECK(row.bestScore.wins == 0 && row.bestScore.losses == 0);
  }
}

bool Same(const nlohmann::json& json, const Tally& t) {
  return json.at("wins") == t.wins && json.at("losses") == t.losses && json.at("draws") == t.draws;
}

void CheckJson(const Songs& mine, const Songs& theirs, const quillbox::PartNames& names, const Versus& v) {
  const std::string bytes = quillbox::ToUtf8(quillbox::VersusJson(mine, theirs, names, v));
  const nlohmann::json json = nlohmann::json::parse(bytes, nullptr, /*allow_exceptions=*/false);
  FUZZ_CHECK(!json.is_discarded());
  FUZZ_CHECK(json.at("matched") == v.matched);
  FUZZ_CHECK(json.at("mine").at("only").size() == v.onlyMine.size());
  FUZZ_CHECK(json.at("theirs").at("only").size() == v.onlyTheirs.size());
  FUZZ_CHECK(json.at("trailing").size() == v.trailing.size());
  for (std::size_t p = 0; p < 8; ++p) {
    const nlohmann::json& part = json.at("parts").at(p);
    FUZZ_CHECK(Same(part.at("hiPerfect"), v.rows[p].hiPerfect) &&
               Same(part.at("bestScore"), v.rows[p].bestScore));
  }
  std::size_t row = quillbox::kFrontRow;
  for (const char* group : {"front", "back", "standard", "added"}) {
    FUZZ_CHECK(Same(json.at(group).at("hiPerfect"), v.rows[row].hiPerfect));
    FUZZ_CHECK(Same(json.at(group).at("bestScore"), v.rows[row].bestScore));
    ++row;
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const auto files = quillbox::fuzz::SplitFiles(std::string_view(reinterpret_cast<const char*>(data), size));
  if (files.size() != 2) return 0;
  // A file that stops at an error still gives the songs above it.
  const Songs mine = quillbox::fuzz::ParseAndCheck(files[0]).songs;
  const Songs theirs = quillbox::fuzz::ParseAndCheck(files[1]).songs;

  const quillbox::Ranks& ranks = quillbox::fuzz::StandardRanks();
  const quillbox::PartNames& names = quillbox::fuzz::StandardPartNames();

  const Versus ab = quillbox::VersusTables(mine, theirs, ranks);
  // The other way round, on purpose.
  // NOLINTNEXTLINE(readability-suspicious-call-argument)
  const Versus ba = quillbox::VersusTables(theirs, mine, ranks);
  CheckSums(ab);
  CheckSums(ba);
  CheckMirror(ab, ba);
  CheckSelf(mine, quillbox::VersusTables(mine, mine, ranks));
  CheckJson(mine, theirs, names, ab);
  for (const auto language : {quillbox::Language::English, quillbox::Language::Japanese}) {
    quillbox::fuzz::CheckShownOnTerminal(quillbox::VersusText(mine, theirs, names, ab, language));
  }
  return 0;
}
