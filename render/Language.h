#pragma once
// The languages a report's words are written in, and the tables that hold
// them: one row per word, one column per language, so that a language is a
// column to fill rather than a renderer to copy.
#include <array>
#include <cstddef>
#include <cstdint>
#include <initializer_list>
#include <string_view>

#include "base/Text.h"

namespace quillbox {

enum class Language : std::uint8_t { English, Japanese };
inline constexpr std::size_t kLanguages = 2;

template <typename Word>
using WordRow = std::array<std::u16string_view, kLanguages>;

// `Word` is an enum whose last member is Count.
template <typename Word>
using WordTable = std::array<WordRow<Word>, static_cast<std::size_t>(Word::Count)>;

// A word of `table` in `language`; a cell not yet filled reads as English.
template <typename Word>
std::u16string_view Lookup(const WordTable<Word>& table, Word word, Language language) {
  const WordRow<Word>& row = table[static_cast<std::size_t>(word)];
  const std::u16string_view cell = row[static_cast<std::size_t>(language)];
  return cell.empty() ? row[static_cast<std::size_t>(Language::English)] : cell;
}

// `pattern` with each '%' replaced by the next of `values`, so that a
// language puts a number where its grammar wants it.
Text Fill(std::u16string_view pattern, std::initializer_list<std::u16string_view> values);

// "1 song" or "2 songs": `one` for exactly one, `many` for any other count.
Text Counted(std::int64_t n, std::u16string_view one, std::u16string_view many);

}  // namespace quillbox
