#include "render/HistoryWords.h"

namespace quillbox {
namespace {

// English, Japanese.
constexpr WordTable<HistoryWord> kWords{{
    {u"% file", u""},
    {u"% files", u""},
    {u"#", u""},
    {u"modified", u""},
    {u"songs", u""},
    {u"plays", u""},
    {u"file", u""},
    {u"unknown", u""},
    {u"from", u""},
    {u"to", u""},
    {u"the rank summary overflows 32-bit arithmetic", u""},
    {u"none", u""},

    {u"history: %", u""},
    {u"changes from each file to the next", u""},
    {u"parts", u""},
    {u"improved", u""},
    {u"new best", u""},
    {u"scores", u""},
    {u"plays", u""},
    {u"added", u""},
    {u"songs", u""},
    {u"added", u""},
    {u"songs", u""},
    {u"removed", u""},
    {u"rank names changed", u""},
    {u"rank lines: total, change from the file before, rank", u""},
    {u"next %", u""},

    {u"quillbox history: %", u""},
    {u"quillbox history", u""},
    {u"Files", u""},
    {u"Rank lines across the files", u""},
    {u"Changes from each file to the next", u""},
    {u"parts improved", u""},
    {u"new best scores", u""},
    {u"plays added", u""},
    {u"songs added", u""},
    {u"songs removed", u""},
    {u"Rank names changed", u""},
    {u"line", u""},
    {u"before", u""},
    {u"after", u""},
    {u"Rank lines", u""},
    {u"total", u""},
    {u"change", u""},
    {u"rank", u""},
    {u"next", u""},
    {u"no songs on this line", u"この段位の対象曲はありません"},
}};

}  // namespace

std::u16string_view Word(HistoryWord word, Language language) { return Lookup(kWords, word, language); }

}  // namespace quillbox
