#include "render/VersusWords.h"

namespace quillbox {
namespace {

// English, Japanese.
constexpr WordTable<VersusWord> kWords{{
    {u"versus: mine %, theirs %, % matched", u""},
    {u"% song", u""},
    {u"% songs", u""},
    {u"hi-perfect", u""},
    {u"best score", u""},
    {u"part", u""},
    {u"win", u""},
    {u"loss", u""},
    {u"draw", u""},
    {u"front parts", u""},
    {u"back parts", u""},
    {u"standard songs", u""},
    {u"added songs", u""},
    {u"rank", u""},
    {u"mine", u""},
    {u"theirs", u""},
    {u"the rank summary overflows 32-bit arithmetic", u""},
    {u"mine trails most in hi-perfect", u""},
    {u"none", u""},
    {u"song", u""},
    {u"behind", u""},
    {u"title", u""},
    {u"only mine: %", u""},
    {u"only theirs: %", u""},
    {u"% matched, % only mine, % only theirs", u""},
}};

}  // namespace

std::u16string_view Word(VersusWord word, Language language) { return Lookup(kWords, word, language); }

}  // namespace quillbox
