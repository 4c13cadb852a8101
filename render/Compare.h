#pragma once
// What changed from one score file to another, written out: one renderer
// per format over the comparison of views/Compare.h.
#include "render/Language.h"
#include "views/Compare.h"

namespace quillbox {

// {"changes":[...],"added":[...],"removed":[...],"rank":{"old":...,"new":...}} and one LF.
Text ComparisonJson(const Songs& old, const Songs& now, const Comparison& comparison);

// The same for reading, lined up for a fixed-pitch font, CR LF line ends.
Text ComparisonText(const Songs& old, const Songs& now, const PartNames& names, const Comparison& comparison,
                    Language language = Language::English);

}  // namespace quillbox
