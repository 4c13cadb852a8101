#include "core/App.h"

#include <new>

#include "base/Numbers.h"
#include "core/ProgramDirectory.h"

namespace quillbox {
namespace {

// A table built from a huge score file can make a view's text too big for
// memory; the user is told and the text box keeps what it had.
constexpr char16_t kOutOfMemory[] = u"メモリが足りないため、処理を完了できませんでした。";

}  // namespace

Text VersionText(VersionNumbers version) {
  // The "00" format: at least two digits, the sign (if any) before them.
  const int magnitude = version.minor < 0 ? -version.minor : version.minor;
  Text text = Decimal(version.major);
  text += u'.';
  if (version.minor < 0) text += u'-';
  if (magnitude < 10) text += u'0';
  text += Decimal(magnitude);
  return text;
}

App::App(WindowOps& window, RandomSource& random, std::optional<std::filesystem::path> scoreFile)
    : window_(window), random_(random), scoreFile_(std::move(scoreFile)) {}

std::filesystem::path App::ScoreFilePath() const {
  return scoreFile_ ? *scoreFile_ : ScoreFileFor(window_.ProgramDirectory());
}

bool App::Form_Load() {
  window_.SetCaption(window_.GetCaption() + kCaptionSuffix + VersionText(window_.ProgramVersion()));
  InitRanks(ranks_);
  InitPartNames(partNames_);

  LoadResult loaded = LoadScoreFile(ScoreFilePath());
  if (loaded.error) {
    // Nothing half-loaded is kept: no view is ever shown from a bad file.
    loadError_ = std::move(loaded.error);
    window_.ShowError(DescribeLoadErrorJa(*loadError_));
    return false;
  }
  songs_ = std::move(loaded.songs);

  window_.MarkFirstOption();
  try {
    ShowChart(kHiPerfectChart);
  } catch (const std::bad_alloc&) {
    window_.ShowError(kOutOfMemory);
  }
  return true;
}

void App::Radio_MouseDown(std::int16_t index, std::int16_t, std::int16_t, float, float) {
  try {
    switch (index) {
      case 0:
      case 1:
      case 2: ShowChart(index); break;
      case 3: ShowRankSummary(); break;
      case 4: PickRandomPart(); break;
      case 5: PickWeightedPart(); break;
      default: break;
    }
  } catch (const std::bad_alloc&) {
    window_.ShowError(kOutOfMemory);
  }
}

void App::Command1_Click() {
  // The whole text first: should building it fail, the user's clipboard
  // must still hold what it held.
  Text text;
  try {
    text = window_.GetDispText();
    text += kSignature;
    text += VersionText(window_.ProgramVersion()) + u"\r\n";
  } catch (const std::bad_alloc&) {
    window_.ShowError(kOutOfMemory);
    return;
  }
  if (!window_.ReplaceClipboardText(text)) {
    window_.ShowError(u"クリップボードに書き込めませんでした。ほかのプログラムが使用中です。");
  }
}

void App::ShowChart(ChartMode mode) { window_.SetDispText(ChartText(songs_, mode)); }

bool App::ShowRankSummary() {
  Text text;
  try {
    text = RankSummaryText(songs_, ranks_);
  } catch (const OverflowError&) {
    window_.ShowError(u"段位を計算できませんでした。値が大きすぎます（32ビットの範囲を超えました）。");
    return false;
  }
  window_.SetDispText(text);
  return true;
}

bool App::ShowPartDetail(std::int32_t song, std::int32_t part) {
  const std::optional<Text> text = PartDetailText(songs_, partNames_, song, part);
  if (!text) return false;
  window_.SetDispText(*text);
  return true;
}

bool App::PickRandomPart() {
  const auto pick = DrawRandomPart(songs_, random_);
  return pick && ShowPartDetail(pick->song, pick->part);
}

bool App::PickWeightedPart() {
  const auto pick = DrawWeightedPart(songs_, random_);
  return pick && ShowPartDetail(pick->song, pick->part);
}

}  // namespace quillbox
