#pragma once
// One player's file against a friend's, written out: one renderer per
// format over the tallies of views/Versus.h.
#include "render/Language.h"
#include "views/Versus.h"

namespace quillbox {

// Lined up for a fixed-pitch font, CR LF line ends.
Text VersusText(const Songs& mine, const Songs& theirs, const PartNames& names, const Versus& versus,
                Language language = Language::English);

// One JSON object and one LF; its shape is in docs/report-formats.md.
Text VersusJson(const Songs& mine, const Songs& theirs, const PartNames& names, const Versus& versus);

}  // namespace quillbox
