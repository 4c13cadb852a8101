#pragma once
// The words versus's text prints. A '%' stands for a number or a phrase.
#include <cstdint>

#include "render/Language.h"

namespace quillbox {

enum class VersusWord : std::uint8_t {
  Heading,
  SongOne,
  SongMany,
  HiPerfect,
  BestScore,
  Part,
  Win,
  Loss,
  Draw,
  FrontParts,
  BackParts,
  StandardSongs,
  AddedSongs,
  RankHeading,
  Mine,
  Theirs,
  Overflow,
  TrailingHeading,
  None,
  Song,
  Behind,
  Title,
  OnlyMine,
  OnlyTheirs,
  Totals,
  Count
};

std::u16string_view Word(VersusWord word, Language language);

}  // namespace quillbox
