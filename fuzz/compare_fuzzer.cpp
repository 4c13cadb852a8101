// Splits the input at a separator into an old and a new score file, loads
// both and compares them: a table against itself shows no change, and the
// reported changes, applied to the old table, give the new one.
#include <array>
#include <cstddef>
#include <cstdint>
#include <map>
#include <string_view>
#include <tuple>
#include <vector>

#include "fuzz/Inputs.h"
#include "ranks/Ranks.h"
#include "render/Compare.h"

namespace {

using quillbox::Comparison;
using quillbox::Field;
using quillbox::SongRecord;
using quillbox::Songs;
using quillbox::Text;

// The values compare looks at, parts 1 to 8 and every field, written out
// from the record rather than taken from compare's own code.
using Values = std::array<std::int32_t, std::size_t{8} * quillbox::kFields>;

std::size_t Slot(std::int32_t part, Field field) {
  return static_cast<std::size_t>(part - 1) * quillbox::kFields + static_cast<std::size_t>(field);
}

Values ValuesOf(const SongRecord& song) {
  Values values{};
  for (std::int32_t part = 1; part <= 8; ++part) {
    const auto p = static_cast<std::size_t>(part);
    values[Slot(part, Field::HiPerfect)] = song.HiPerfect[p];
    values[Slot(part, Field::PlayCount)] = song.PlayCount[p];
    values[Slot(part, Field::Score1)] = song.BestScore[p][1];
    values[Slot(part, Field::Score2)] = song.BestScore[p][2];
    values[Slot(part, Field::Score3)] = song.BestScore[p][3];
    values[Slot(part, Field::Perfect1)] = song.BestPerfect[p][1];
    values[Slot(part, Field::Perfect2)] = song.BestPerfect[p][2];
    values[Slot(part, Field::Perfect3)] = song.BestPerfect[p][3];
  }
  return values;
}

// For each song of `songs`, the song of the same title and the same place
// among songs of that title in `other` (0 when `other` has fewer of them).
std::vector<std::int32_t> Partners(const Songs& songs, const Songs& other) {
  std::map<Text, std::vector<std::int32_t>> byTitle;
  for (std::int32_t s = 1; s <= other.SongCount(); ++s) byTitle[other[s].Title].push_back(s);
  std::map<Text, std::size_t> seen;
  std::vector<std::int32_t> partners(static_cast<std::size_t>(songs.SongCount()) + 1, 0);
  for (std::int32_t s = 1; s <= songs.SongCount(); ++s) {
    const std::size_t place = seen[songs[s].Title]++;
    const auto found = byTitle.find(songs[s].Title);
    if (found != byTitle.end() && place < found->second.size()) {
      partners[static_cast<std::size_t>(s)] = found->second[place];
    }
  }
  return partners;
}

std::vector<std::int32_t> Unmatched(const std::vector<std::int32_t>& partners) {
  std::vector<std::int32_t> songs;
  for (std::size_t s = 1; s < partners.size(); ++s) {
    if (partners[s] == 0) songs.push_back(static_cast<std::int32_t>(s));
  }
  return songs;
}

void CheckSelf(const Songs& songs, const quillbox::Ranks& ranks) {
  const Comparison same = quillbox::CompareTables(songs, songs, ranks);
  FUZZ_CHECK(same.changes.empty() && same.added.empty() && same.removed.empty());
  FUZZ_CHECK(same.oldRank == same.newRank);
}

void CheckChanges(const Songs& old, const Songs& now, const quillbox::Ranks& ranks) {
  const Comparison comparison = quillbox::CompareTables(old, now, ranks);
  const std::vector<std::int32_t> oldOfNew = Partners(now, old);
  FUZZ_CHECK(comparison.added == Unmatched(oldOfNew));
  FUZZ_CHECK(comparison.removed == Unmatched(Partners(old, now)));

  // Listed once each, in song, part and field order.
  for (std::size_t i = 1; i < comparison.changes.size(); ++i) {
    const quillbox::Change& a = comparison.changes[i - 1];
    const quillbox::Change& b = comparison.changes[i];
    FUZZ_CHECK(std::tie(a.song, a.part, a.field) < std::tie(b.song, b.part, b.field));
  }

  // Apply each song's changes to its old values; every song of the new
  // table must come out as it is there. Songs only in the new table (added)
  // have no old values and must have no changes.
  std::size_t next = 0;
  for (std::int32_t s = 1; s <= now.SongCount(); ++s) {
    const std::int32_t o = oldOfNew[static_cast<std::size_t>(s)];
    Values values = o == 0 ? Values{} : ValuesOf(old[o]);
    for (; next < comparison.changes.size() && comparison.changes[next].song == s; ++next) {
      const quillbox::Change& change = comparison.changes[next];
      FUZZ_CHECK(o != 0);
      FUZZ_CHECK(change.part >= 1 && change.part <= 8);
      std::int32_t& value = values[Slot(change.part, change.field)];
      FUZZ_CHECK(value == change.from && change.from != change.to);
      value = change.to;
    }
    if (o != 0) FUZZ_CHECK(values == ValuesOf(now[s]));
  }
  FUZZ_CHECK(next == comparison.changes.size());  // no change names a song outside the table

  // The reports: JSON ends in one LF; the text only has CR LF line ends.
  const Text json = quillbox::ComparisonJson(old, now, comparison);
  FUZZ_CHECK(!json.empty() && json.back() == u'\n' && json.find(u'\n') == json.size() - 1);
  const quillbox::PartNames& names = quillbox::fuzz::StandardPartNames();
  const Text text = quillbox::ComparisonText(old, now, names, comparison);
  for (std::size_t i = text.find(u'\n'); i != Text::npos; i = text.find(u'\n', i + 1)) {
    FUZZ_CHECK(i > 0 && text[i - 1] == u'\r');
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  using quillbox::fuzz::kSeparator;
  const std::size_t cut = bytes.find(kSeparator);
  if (cut == std::string_view::npos) return 0;
  // A file that stops at an error still gives the songs above it: compare
  // takes any table.
  const Songs old = quillbox::fuzz::ParseAndCheck(bytes.substr(0, cut)).songs;
  const Songs now = quillbox::fuzz::ParseAndCheck(bytes.substr(cut + kSeparator.size())).songs;

  const quillbox::Ranks& ranks = quillbox::fuzz::StandardRanks();
  CheckSelf(old, ranks);
  CheckChanges(old, now, ranks);
  return 0;
}
