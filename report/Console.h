#pragma once
// The report tool on a Windows console: how its text goes out, and what it
// says when it was started by a double-click instead of from a prompt.
#include <algorithm>
#include <cstddef>
#include <string_view>

#include "base/Text.h"

namespace quillbox {

// A console takes at most this much in one WriteConsoleW: 32 KiB of UTF-16.
// Older consoles fail a larger write outright.
inline constexpr std::size_t kConsolePiece = 16384;

// Writes `text` through `write(const char16_t*, std::size_t count)`, which
// returns how many units it took (0 when it failed), in pieces of at most
// kConsolePiece units that never split a surrogate pair. A short write goes
// on from where it stopped; false when a write takes nothing.
template <typename WriteFn>
bool WriteInPieces(std::u16string_view text, WriteFn&& write) {
  while (!text.empty()) {
    std::size_t n = std::min(text.size(), kConsolePiece);
    const bool splitsPair = n < text.size() && text[n - 1] >= 0xD800 && text[n - 1] <= 0xDBFF;
    if (splitsPair && n > 1) --n;
    const std::size_t taken = write(text.data(), n);
    if (taken == 0 || taken > n) return false;
    text.remove_prefix(taken);
  }
  return true;
}

// A console with no other process on it was opened for this program alone:
// Explorer started it by a double-click, and the window closes as soon as
// the program ends. Without arguments the usage would flash by unread, so
// the tool explains itself and waits instead; from a prompt the prompt's
// own process shares the console.
constexpr bool ExplainsItself(unsigned long consoleProcesses, int argc) {
  return consoleProcesses == 1 && argc <= 1;
}

inline constexpr char16_t kDoubleClickHelp[] =
    u"quillbox-report は、くいるぼっくす！の表示をコマンドプロンプトに表示するためのツールです。\r\n"
    u"ダブルクリックではなく、コマンドプロンプトから使います。\r\n"
    u"\r\n"
    u"コマンドプロンプトを開くには、このフォルダーをエクスプローラーで開き、"
    u"アドレスバーに cmd と入力して Enter キーを押します。\r\n"
    u"\r\n"
    u"使い方の例：\r\n"
    u"  quillbox-report perfect\r\n"
    u"      hsc.ini の Perfect の表を表示します。\r\n"
    u"  quillbox-report compare backup\\hsc.ini hsc.ini\r\n"
    u"      バックアップした hsc.ini と今の hsc.ini を比べて、変わったところを表示します。\r\n"
    u"  quillbox-report --help\r\n"
    u"      すべての使い方を表示します。\r\n"
    u"\r\n"
    u"Enter キーを押すと閉じます。\r\n";

}  // namespace quillbox
