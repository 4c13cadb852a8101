#include "render/VersusWords.h"

namespace quillbox {
namespace {

// English, Japanese.
constexpr WordTable<VersusWord> kWords{{
    {u"versus: mine %, theirs %, % matched", u"対戦：自分 %、相手 %、共通 %曲"},
    {u"% song", u"%曲"},
    {u"% songs", u"%曲"},
    {u"hi-perfect", u"ハイパーフェクト"},
    {u"best score", u"ベストスコア"},
    {u"part", u"パート"},
    {u"win", u"勝ち"},
    {u"loss", u"負け"},
    {u"draw", u"引分"},
    {u"front parts", u"表キャラ"},
    {u"back parts", u"裏キャラ"},
    {u"standard songs", u"標準曲"},
    {u"added songs", u"追加曲"},
    {u"rank", u"段位"},
    {u"mine", u"自分"},
    {u"theirs", u"相手"},
    {u"the rank summary overflows 32-bit arithmetic", u"段位の合計が計算できる範囲を超えています"},
    {u"mine trails most in hi-perfect", u"ハイパーフェクトで差の大きいパート"},
    {u"none", u"負けているパートはありません"},
    {u"song", u"曲"},
    {u"behind", u"差"},
    {u"title", u"曲名"},
    {u"only mine: %", u"自分だけの曲：%"},
    {u"only theirs: %", u"相手だけの曲：%"},
    {u"% matched, % only mine, % only theirs", u"共通 %曲、自分だけ %曲、相手だけ %曲"},
}};

}  // namespace

std::u16string_view Word(VersusWord word, Language language) { return Lookup(kWords, word, language); }

}  // namespace quillbox
