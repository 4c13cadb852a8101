#include <cstddef>

#include "render/Versus.h"

namespace quillbox {
namespace {

constexpr const char16_t* kGroupKeys[] = {u"front", u"back", u"standard", u"added"};

void AppendTally(Text& out, const Tally& tally) {
  out += u"{\"wins\":" + Decimal(tally.wins) + u",\"losses\":" + Decimal(tally.losses) + u",\"draws\":" +
         Decimal(tally.draws) + u'}';
}

void AppendRow(Text& out, const VersusRow& row) {
  out += u"\"hiPerfect\":";
  AppendTally(out, row.hiPerfect);
  out += u",\"bestScore\":";
  AppendTally(out, row.bestScore);
}

void AppendSide(Text& out, const Songs& songs, const std::vector<std::int32_t>& only,
                const std::optional<RankLines>& rank) {
  out += u"{\"songs\":" + Decimal(songs.SongCount()) + u",\"only\":[";
  for (std::size_t i = 0; i < only.size(); ++i) {
    out += i == 0 ? u"{\"song\":" : u",{\"song\":";
    out += Decimal(only[i]) + u",\"title\":\"";
    AppendJsonString(out, songs[only[i]].Title);
    out += u"\"}";
  }
  out += u"],\"rank\":";
  if (rank) {
    // The summary as the rank view shows it, one string.
    out += u'"';
    AppendJsonString(out, RankSummaryText(*rank));
    out += u'"';
  } else {
    out += u"null";
  }
  out += u'}';
}

}  // namespace

Text VersusJson(const Songs& mine, const Songs& theirs, const PartNames& names, const Versus& versus) {
  Text out = u"{\"mine\":";
  AppendSide(out, mine, versus.onlyMine, versus.mineRank);
  out += u",\"theirs\":";
  AppendSide(out, theirs, versus.onlyTheirs, versus.theirRank);
  out += u",\"matched\":" + Decimal(versus.matched) + u",\"parts\":[";
  for (std::size_t p = 1; p <= 8; ++p) {
    out += p == 1 ? u"{\"part\":" : u",{\"part\":";
    out += Decimal(static_cast<std::int64_t>(p)) + u",\"name\":\"";
    AppendJsonString(out, names[p]);
    out += u"\",";
    AppendRow(out, versus.rows[p - 1]);
    out += u'}';
  }
  out += u']';
  for (std::size_t g = 0; g < 4; ++g) {
    out += u",\"";
    out += kGroupKeys[g];
    out += u"\":{";
    AppendRow(out, versus.rows[kFrontRow + g]);
    out += u'}';
  }
  out += u",\"trailing\":[";
  for (std::size_t i = 0; i < versus.trailing.size(); ++i) {
    const Trailing& t = versus.trailing[i];
    out += i == 0 ? u"{\"song\":" : u",{\"song\":";
    out += Decimal(t.mineSong) + u",\"theirSong\":" + Decimal(t.theirSong) + u",\"title\":\"";
    AppendJsonString(out, mine[t.mineSong].Title);
    out += u"\",\"part\":" + Decimal(t.part) + u",\"mine\":" + Decimal(t.mine) + u",\"theirs\":" +
           Decimal(t.theirs) + u'}';
  }
  out += u"]}\n";
  return out;
}

}  // namespace quillbox
