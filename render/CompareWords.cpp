#include "render/CompareWords.h"

namespace quillbox {
namespace {

// English, Japanese.
constexpr WordTable<CompareWord> kWords{{
    {u"changed: %", u"変化のあった曲：%"},
    {u"added: %", u"追加された曲：%"},
    {u"removed: %", u"削除された曲：%"},
    {u"rank", u"段位"},
    {u"rank: % changed", u"段位：%が変化"},
    {u"% song", u"%曲"},
    {u"% songs", u"%曲"},
    {u"% part", u"%パート"},
    {u"% parts", u"%パート"},
    {u"% value", u"%項目"},
    {u"% values", u"%項目"},
    {u"% line", u"%行"},
    {u"% lines", u"%行"},
    {u"% rank line", u"%行"},
    {u"% rank lines", u"%行"},
    {u"% play", u"プレイ回数 %"},
    {u"% plays", u"プレイ回数 %"},
    {u"HPR % \u2192 %", u"HPR % \u2192 %"},
    {u"score % % \u2192 %", u"スコア% % \u2192 %"},
    {u"perfect % % \u2192 %", u"パーフェクト% % \u2192 %"},
    {u"old", u"旧"},
    {u"new", u"新"},
    {u"the rank summary overflows 32-bit arithmetic", u"段位の合計が計算できる範囲を超えています"},
    {u"no change", u"変化なし"},
    {u"% changed (%, %), % added, % removed, % changed", u"変化 %（%、%）、追加 %曲、削除 %曲、段位の変化 %"},
}};

}  // namespace

std::u16string_view Word(CompareWord word, Language language) { return Lookup(kWords, word, language); }

}  // namespace quillbox
