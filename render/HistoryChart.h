#pragma once
// The SVG chart of one rank line across the files, for the history page.
#include <cstddef>

#include "render/Language.h"
#include "views/History.h"

namespace quillbox {

// Nothing where every file's summary overflowed.
void AppendChart(Text& out, const History& history, std::size_t line, const Ranks& ranks, Language language);

}  // namespace quillbox
