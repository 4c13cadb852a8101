#pragma once
// The words history's text and page print. A '%' stands for a number or a
// phrase.
#include <cstdint>

#include "render/Language.h"

namespace quillbox {

enum class HistoryWord : std::uint8_t {
  // Both the text and the page.
  FileOne,
  FileMany,
  Number,
  Modified,
  Songs,
  Plays,
  File,
  Unknown,
  From,
  To,
  Overflow,
  None,
  // The text.
  Heading,
  StepsHeading,
  PartsImproved1,
  PartsImproved2,
  NewBestScores1,
  NewBestScores2,
  PlaysAdded1,
  PlaysAdded2,
  SongsAdded1,
  SongsAdded2,
  SongsRemoved1,
  SongsRemoved2,
  RankChangesHeading,
  RankLinesHeading,
  NextRank,
  // The page.
  PageTitle,
  PageHeading,
  PageFiles,
  PageCharts,
  PageSteps,
  PartsImproved,
  NewBestScores,
  PlaysAdded,
  SongsAdded,
  SongsRemoved,
  PageRankChanges,
  Line,
  Before,
  After,
  PageRankLines,
  Total,
  Change,
  Rank,
  Next,
  NoSongs,
  Count
};

std::u16string_view Word(HistoryWord word, Language language);

}  // namespace quillbox
