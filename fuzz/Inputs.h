#pragma once
// What the targets share: cutting one input into score files, the game's
// rank ladder and part names, and what must hold of any text written to a
// terminal.
#include <string_view>
#include <vector>

#include "base/Text.h"
#include "fuzz/LoadChecks.h"
#include "ranks/Ranks.h"
#include "scores/SongTable.h"

namespace quillbox::fuzz {

// Between one score file and the next; also in compare.dict.
inline constexpr std::string_view kSeparator = "\n=== new ===\n";

// The pieces of `bytes` between separators: one more than there are
// separators.
inline std::vector<std::string_view> SplitFiles(std::string_view bytes) {
  std::vector<std::string_view> files;
  for (std::size_t cut = bytes.find(kSeparator); cut != std::string_view::npos;
       cut = bytes.find(kSeparator)) {
    files.push_back(bytes.substr(0, cut));
    bytes.remove_prefix(cut + kSeparator.size());
  }
  files.push_back(bytes);
  return files;
}

// Built once per process: every input reads them.
inline const Ranks& StandardRanks() {
  static const Ranks ranks = [] {
    Ranks r;
    InitRanks(r);
    return r;
  }();
  return ranks;
}
inline const PartNames& StandardPartNames() {
  static const PartNames names = [] {
    PartNames p;
    InitPartNames(p);
    return p;
  }();
  return names;
}

// A text shown on a terminal keeps its line ends (and the tab TSV export
// is made of), turns every other C0 and C1 control into U+FFFD and leaves
// everything else as it was.
inline void CheckShownOnTerminal(const Text& text) {
  const Text shown = ShownOnTerminal(text);
  FUZZ_CHECK(shown.size() == text.size());
  for (std::size_t i = 0; i < text.size(); ++i) {
    const char16_t c = shown[i];
    const bool control = c < 0x20 || (c >= 0x80 && c <= 0x9F);
    FUZZ_CHECK(!control || c == u'\r' || c == u'\n' || c == u'\t');
    FUZZ_CHECK(c == text[i] || c == u'\uFFFD');
  }
}

}  // namespace quillbox::fuzz
