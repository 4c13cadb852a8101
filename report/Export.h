#pragma once
// The whole song table as JSON, CSV or TSV, for scripts and spreadsheets.
#include <functional>
#include <string_view>

#include "scores/SongTable.h"

namespace quillbox {

enum class ExportFormat { Json, Csv, Tsv };

// Takes the next piece of an export; false when it could not be written.
using ExportWriter = std::function<bool(const Text& piece)>;

// Every field of every song, in table order. JSON ends with one LF; CSV
// starts with a byte order mark (U+FEFF) and ends its lines with CR LF;
// TSV has LF line ends. `version` is the program's "major.minor.patch".
// Handed to `write` in pieces, each ending between two songs, so that a
// large table's export is never held whole; stops at the first piece that
// cannot be written and returns false.
bool WriteExport(const Songs& songs, const PartNames& names, ExportFormat format, std::u16string_view version,
                 const ExportWriter& write);
// The same as one text.
Text ExportText(const Songs& songs, const PartNames& names, ExportFormat format, std::u16string_view version);

}  // namespace quillbox
