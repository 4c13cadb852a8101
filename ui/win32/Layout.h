#pragma once
// The window's designed layout in twips, and the conversion to pixels.
#include <array>
#include <cstdint>

#include "ui/win32/ControlIds.h"

namespace quillbox::win32 {

inline constexpr int kTwipsPerInch = 1440;
inline constexpr int kClientWidthTwips = 8295;
inline constexpr int kClientHeightTwips = 5940;

// Rounds to the nearest pixel, halves away from zero (as MulDiv does).
constexpr int TwipsToPixels(int twips, int dpi) {
  const std::int64_t scaled = static_cast<std::int64_t>(twips) * dpi;
  const std::int64_t half = kTwipsPerInch / 2;
  return static_cast<int>(scaled >= 0 ? (scaled + half) / kTwipsPerInch
                                      : -((-scaled + half) / kTwipsPerInch));
}

enum class ControlKind { Radio, Disp, Command1 };

struct ControlSpec {
  ControlKind kind;
  int id;
  const wchar_t* caption;
  int left, top, width, height;  // twips, from the client area's top-left corner
};

// In creation order, which is the focus order: the options in the first
// column go 0, 2, 1, then the text box and the button, then options 3 to 5.
inline constexpr std::array<ControlSpec, 8> kControls{{
    {ControlKind::Radio, kRadioFirstId + 0, L"Perfect", 120, 120, 1335, 180},
    {ControlKind::Radio, kRadioFirstId + 2, L"PlayCount", 120, 600, 1335, 180},
    {ControlKind::Radio, kRadioFirstId + 1, L"Score", 120, 360, 1335, 180},
    {ControlKind::Disp, kDispId, L"", 0, 840, 8295, 4575},
    {ControlKind::Command1, kCommand1Id, L"クリップボードへコピー", 120, 5520, 2655, 375},
    {ControlKind::Radio, kRadioFirstId + 3, L"段位", 1440, 120, 1215, 180},
    {ControlKind::Radio, kRadioFirstId + 4, L"ランダムパートセレクト", 2760, 120, 2295, 180},
    {ControlKind::Radio, kRadioFirstId + 5, L"ランダムパートセレクト (PlayCount考慮)", 2760, 360, 3495, 180},
}};

}  // namespace quillbox::win32
