#include "report/Export.h"

#include <algorithm>
#include <utility>

namespace quillbox {

using namespace std::string_view_literals;

namespace {

void AppendNumber(Text& out, std::int64_t value) { AppendPadLeft(out, value, 0); }

// A large table's export is handed on in pieces of about this many
// characters, always between songs, so that it is never held whole.
constexpr std::size_t kPiece = std::size_t{1} << 19;

// Hands `out` on when it has grown to a piece; false when `write` fails.
bool Handover(Text& out, const ExportWriter& write) {
  if (out.size() < kPiece) return true;
  const bool written = write(out);
  out.clear();
  return written;
}

bool AppendJson(const Songs& songs, const PartNames& names, std::u16string_view version, Text& out,
                const ExportWriter& write) {
  out += u"{\"version\":\""sv;
  AppendJsonString(out, version);
  out += u"\",\"songs\":["sv;
  for (std::int32_t s = 1; s <= songs.SongCount(); ++s) {
    const SongRecord& song = songs[s];
    if (s > 1) out += u',';
    out += u"{\"song\":"sv;
    AppendNumber(out, s);
    out += u",\"title\":\""sv;
    AppendJsonString(out, song.Title);
    out += u"\",\"parts\":["sv;
    for (std::size_t p = 1; p <= 8; ++p) {
      if (p > 1) out += u',';
      out += u"{\"part\":"sv;
      AppendNumber(out, static_cast<std::int64_t>(p));
      out += u",\"name\":\""sv;
      AppendJsonString(out, names[p]);
      out += u"\",\"hiPerfect\":"sv;
      AppendNumber(out, song.HiPerfect[p]);
      out += u",\"playCount\":"sv;
      AppendNumber(out, song.PlayCount[p]);
      out += u",\"best\":["sv;
      for (std::size_t rank = 1; rank <= 3; ++rank) {
        if (rank > 1) out += u',';
        out += u"{\"score\":"sv;
        AppendNumber(out, song.BestScore[p][rank]);
        out += u",\"perfect\":"sv;
        AppendNumber(out, song.BestPerfect[p][rank]);
        out += u'}';
      }
      out += u"]}"sv;
    }
    out += u"]}"sv;
    if (!Handover(out, write)) return false;
  }
  out += u"]}\n"sv;
  return true;
}

// RFC 4180: a field with a quote, a comma or a line end is quoted, its
// quotes doubled.
void AppendCsvField(Text& out, std::u16string_view field) {
  if (field.find_first_of(u"\",\r\n") == std::u16string_view::npos) {
    out += field;
    return;
  }
  out += u'"';
  for (const char16_t c : field) {
    if (c == u'"') out += u'"';
    out += c;
  }
  out += u'"';
}

// A tab or line end would split the row; a blank keeps the columns.
void AppendTsvField(Text& out, std::u16string_view field) {
  const std::size_t from = out.size();
  out += field;
  std::replace_if(
      out.begin() + static_cast<std::ptrdiff_t>(from), out.end(),
      [](char16_t c) { return c == u'\t' || c == u'\r' || c == u'\n'; }, u' ');
}

bool AppendRows(const Songs& songs, const PartNames& names, bool csv, Text& out, const ExportWriter& write) {
  const char16_t separator = csv ? u',' : u'\t';
  const std::u16string_view lineEnd = csv ? u"\r\n" : u"\n";
  if (csv) out += u'\uFEFF';  // spreadsheets read UTF-8 only with the mark
  constexpr const char16_t* kColumns[] = {u"song",      u"title",     u"part",   u"name",
                                          u"hiPerfect", u"playCount", u"score1", u"perfect1",
                                          u"score2",    u"perfect2",  u"score3", u"perfect3"};
  for (const char16_t* column : kColumns) {
    if (column != kColumns[0]) out += separator;
    out += column;
  }
  out += lineEnd;
  for (std::int32_t s = 1; s <= songs.SongCount(); ++s) {
    const SongRecord& song = songs[s];
    for (std::size_t p = 1; p <= 8; ++p) {
      AppendNumber(out, s);
      out += separator;
      csv ? AppendCsvField(out, song.Title) : AppendTsvField(out, song.Title);
      out += separator;
      AppendNumber(out, static_cast<std::int64_t>(p));
      out += separator;
      csv ? AppendCsvField(out, names[p]) : AppendTsvField(out, names[p]);
      out += separator;
      AppendNumber(out, song.HiPerfect[p]);
      out += separator;
      AppendNumber(out, song.PlayCount[p]);
      for (std::size_t rank = 1; rank <= 3; ++rank) {
        out += separator;
        AppendNumber(out, song.BestScore[p][rank]);
        out += separator;
        AppendNumber(out, song.BestPerfect[p][rank]);
      }
      out += lineEnd;
    }
    if (!Handover(out, write)) return false;
  }
  return true;
}

}  // namespace

bool WriteExport(const Songs& songs, const PartNames& names, ExportFormat format, std::u16string_view version,
                 const ExportWriter& write) {
  Text out;
  out.reserve(kPiece + 4096);
  const bool whole = format == ExportFormat::Json ? AppendJson(songs, names, version, out, write)
                                                  : AppendRows(songs, names, format == ExportFormat::Csv, out, write);
  return whole && (out.empty() || write(out));
}

Text ExportText(const Songs& songs, const PartNames& names, ExportFormat format,
                std::u16string_view version) {
  Text text;
  WriteExport(songs, names, format, version, [&text](const Text& piece) {
    text += piece;
    return true;
  });
  return text;
}

}  // namespace quillbox
