#pragma once
// The window's designed layout (ui/common/Layout.h) as the Windows window
// uses it: with control IDs, wide captions and the conversion to pixels.
#include <array>
#include <cstddef>
#include <cstdint>

#include "ui/common/Layout.h"
#include "ui/win32/ControlIds.h"

namespace quillbox::win32 {

using ui::ControlKind;
using ui::kClientHeightTwips;
using ui::kClientWidthTwips;
using ui::kTwipsPerInch;

// Windows' wide text is UTF-16, as the design's is; only the type differs.
static_assert(sizeof(wchar_t) == sizeof(char16_t), "Windows wide text is UTF-16");
inline const wchar_t* Wide(const char16_t* text) { return reinterpret_cast<const wchar_t*>(text); }

// Rounds to the nearest pixel, halves away from zero (as MulDiv does).
constexpr int TwipsToPixels(int twips, int dpi) {
  const std::int64_t scaled = static_cast<std::int64_t>(twips) * dpi;
  const std::int64_t half = kTwipsPerInch / 2;
  return static_cast<int>(scaled >= 0 ? (scaled + half) / kTwipsPerInch
                                      : -((-scaled + half) / kTwipsPerInch));
}

// The control ID of a control of the design.
constexpr int ControlId(const ui::ControlDesign& design) {
  switch (design.kind) {
    case ControlKind::Radio: return kRadioFirstId + design.option;
    case ControlKind::Disp: return kDispId;
    case ControlKind::Command1: return kCommand1Id;
  }
  return 0;
}

// A control of the design with its ID.
struct ControlSpec : ui::ControlDesign {
  int id = 0;
};

// ui::kControls, in the same order: creation order, which is the focus order.
inline constexpr std::array<ControlSpec, ui::kControls.size()> kControls = [] {
  std::array<ControlSpec, ui::kControls.size()> specs{};
  for (std::size_t i = 0; i < specs.size(); ++i) specs[i] = {ui::kControls[i], ControlId(ui::kControls[i])};
  return specs;
}();
static_assert(kRadioCount == ui::kOptionCount);

}  // namespace quillbox::win32
