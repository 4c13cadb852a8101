#include "render/CompareWords.h"

namespace quillbox {
namespace {

// English, Japanese.
constexpr WordTable<CompareWord> kWords{{
    {u"changed: %", u""},
    {u"added: %", u""},
    {u"removed: %", u""},
    {u"rank", u""},
    {u"rank: % changed", u""},
    {u"% song", u""},
    {u"% songs", u""},
    {u"% part", u""},
    {u"% parts", u""},
    {u"% value", u""},
    {u"% values", u""},
    {u"% line", u""},
    {u"% lines", u""},
    {u"% rank line", u""},
    {u"% rank lines", u""},
    {u"% play", u""},
    {u"% plays", u""},
    {u"HPR % \u2192 %", u""},
    {u"score % % \u2192 %", u""},
    {u"perfect % % \u2192 %", u""},
    {u"old", u""},
    {u"new", u""},
    {u"the rank summary overflows 32-bit arithmetic", u""},
    {u"no change", u""},
    {u"% changed (%, %), % added, % removed, % changed", u""},
}};

}  // namespace

std::u16string_view Word(CompareWord word, Language language) { return Lookup(kWords, word, language); }

}  // namespace quillbox
