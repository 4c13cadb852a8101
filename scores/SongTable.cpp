#include "scores/SongTable.h"

#include <exception>
#include <limits>

#include "base/Numbers.h"

namespace quillbox {

SongRecord& Songs::AddSong() {
  // The song count is a 32-bit number everywhere it is shown or computed with.
  if (records_.size() - 1 >= static_cast<std::size_t>(std::numeric_limits<std::int32_t>::max())) {
    throw OverflowError("more songs than a 32-bit count holds");
  }
  return records_.emplace_back();
}

void Songs::Reserve(std::size_t songs) {
  try {
    records_.reserve(songs + 1);
  } catch (const std::exception&) {
    // Too large to reserve is not yet too large to load.
  }
}

void InitPartNames(PartNames& names) {
  names = {u"", u"MIRELLA", u"TOPAZ", u"ONYX", u"PIP", u"SORANNE", u"LUMINA", u"BRISKA", u"NOVA"};
}

}  // namespace quillbox
