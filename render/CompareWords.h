#pragma once
// The words compare's text prints. A '%' stands for a number or a phrase.
#include <cstdint>

#include "render/Language.h"

namespace quillbox {

enum class CompareWord : std::uint8_t {
  ChangedHeading,
  AddedHeading,
  RemovedHeading,
  RankHeading,
  RankChangedHeading,
  SongOne,
  SongMany,
  PartOne,
  PartMany,
  ValueOne,
  ValueMany,
  LineOne,
  LineMany,
  RankLineOne,
  RankLineMany,
  PlayOne,
  PlayMany,
  HiPerfect,
  Score,
  Perfect,
  Old,
  New,
  Overflow,
  NoChange,
  Totals,
  Count
};

std::u16string_view Word(CompareWord word, Language language);

}  // namespace quillbox
