#include "render/HistoryWords.h"

namespace quillbox {
namespace {

// English, Japanese.
constexpr WordTable<HistoryWord> kWords{{
    {u"% file", u"%ファイル"},
    {u"% files", u"%ファイル"},
    {u"#", u"番号"},
    {u"modified", u"更新日時"},
    {u"songs", u"曲数"},
    {u"plays", u"プレイ回数"},
    {u"file", u"ファイル"},
    {u"unknown", u"不明"},
    {u"from", u"元"},
    {u"to", u"先"},
    {u"the rank summary overflows 32-bit arithmetic", u"段位の合計が計算できる範囲を超えています"},
    {u"none", u"変化なし"},

    {u"history: %", u"履歴：%"},
    {u"changes from each file to the next", u"ファイルごとの変化"},
    {u"parts", u"HPR"},
    {u"improved", u"更新"},
    {u"new best", u"ベスト"},
    {u"scores", u"スコア更新"},
    {u"plays", u"プレイ"},
    {u"added", u"回数増加"},
    {u"songs", u"追加"},
    {u"added", u"曲"},
    {u"songs", u"削除"},
    {u"removed", u"曲"},
    {u"rank names changed", u"段位名の変化"},
    {u"rank lines: total, change from the file before, rank", u"段位：合計、前のファイルからの変化、段位名"},
    {u"next %", u"次まで %"},

    {u"quillbox history: %", u"くいるぼっくす！ 履歴：%"},
    {u"quillbox history", u"くいるぼっくす！ 履歴"},
    {u"Files", u"ファイル"},
    {u"Rank lines across the files", u"段位の推移"},
    {u"Changes from each file to the next", u"ファイルごとの変化"},
    {u"parts improved", u"HPR更新パート"},
    {u"new best scores", u"ベストスコア更新"},
    {u"plays added", u"プレイ回数の増加"},
    {u"songs added", u"追加曲"},
    {u"songs removed", u"削除曲"},
    {u"Rank names changed", u"段位名の変化"},
    {u"line", u"段位"},
    {u"before", u"変化前"},
    {u"after", u"変化後"},
    {u"Rank lines", u"段位の合計"},
    {u"total", u"合計"},
    {u"change", u"変化"},
    {u"rank", u"段位名"},
    {u"next", u"次まで"},
    {u"no songs on this line", u"この段位の対象曲はありません"},
}};

}  // namespace

std::u16string_view Word(HistoryWord word, Language language) { return Lookup(kWords, word, language); }

}  // namespace quillbox
