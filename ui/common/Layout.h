#pragma once
// The window as designed, once for both windows and their tests: the client
// area, the eight controls with their captions and places, the caption and
// the text box's fonts. Plain C++: each window converts to its own types.
#include <array>
#include <cstddef>

namespace quillbox::ui {

// Places are in twips, 1440 to the inch, from the client area's top-left corner.
inline constexpr int kTwipsPerInch = 1440;
inline constexpr int kClientWidthTwips = 8295;
inline constexpr int kClientHeightTwips = 5940;

inline constexpr int kOptionCount = 6;

enum class ControlKind { Radio, Disp, Command1 };

struct ControlDesign {
  ControlKind kind = ControlKind::Radio;
  int option = -1;  // the view option's index for a radio, -1 otherwise
  const char16_t* caption = u"";
  int left = 0, top = 0, width = 0, height = 0;
};

// In creation order, which is the focus order: the options in the first
// column go 0, 2, 1 (PlayCount before Score although it stands below it),
// then the text box and the button, then options 3 to 5.
inline constexpr std::array<ControlDesign, 8> kControls{{
    {ControlKind::Radio, 0, u"Perfect", 120, 120, 1335, 180},
    {ControlKind::Radio, 2, u"PlayCount", 120, 600, 1335, 180},
    {ControlKind::Radio, 1, u"Score", 120, 360, 1335, 180},
    {ControlKind::Disp, -1, u"", 0, 840, 8295, 4575},
    {ControlKind::Command1, -1, u"クリップボードへコピー", 120, 5520, 2655, 375},
    {ControlKind::Radio, 3, u"段位", 1440, 120, 1215, 180},
    {ControlKind::Radio, 4, u"ランダムパートセレクト", 2760, 120, 2295, 180},
    {ControlKind::Radio, 5, u"ランダムパートセレクト (PlayCount考慮)", 2760, 360, 3495, 180},
}};

// The text box's context menu entry that reads hsc.ini again, after the
// standard entries; F5 does the same.
inline constexpr char16_t kReloadMenuEntry[] = u"hsc.ini を読み直す（F5）";

// The caption before the core adds the version to it.
inline constexpr char16_t kDesignedCaption[] = u"くいるぼっくす！";

// The text box's faces, in order of preference. The designed face comes
// first; the others stand in where it is missing or is substituted by
// something that does not line up the charts.
inline constexpr std::array<const char16_t*, 7> kDispFontFaces{
    u"ＭＳ ゴシック",         u"MS Gothic", u"IPAGothic",  u"IPAゴシック",
    u"Noto Sans Mono CJK JP", u"VL Gothic", u"TakaoGothic"};
// Tried after those by the Windows window only, before it falls back to the
// designed face; the Qt window falls back to the system's fixed-pitch font.
inline constexpr std::array<const char16_t*, 3> kDispFontLastResortFaces{u"Osaka－等幅", u"ＭＳ 明朝",
                                                                         u"MS Mincho"};

// Where the control of `kind` (for a radio, of view option `option`) stands
// in kControls; kControls.size() when there is none.
constexpr std::size_t IndexOf(ControlKind kind, int option = -1) {
  for (std::size_t i = 0; i < kControls.size(); ++i) {
    if (kControls[i].kind == kind && kControls[i].option == option) return i;
  }
  return kControls.size();
}

// The design of view option `index`, 0 to 5; of the text box; of the button.
constexpr const ControlDesign& OptionDesign(int index) {
  return kControls.at(IndexOf(ControlKind::Radio, index));
}
constexpr const ControlDesign& DispDesign() { return kControls.at(IndexOf(ControlKind::Disp)); }
constexpr const ControlDesign& Command1Design() { return kControls.at(IndexOf(ControlKind::Command1)); }

// Each option once, one text box and one button (eight different controls
// in eight places), every control inside the client area: what both windows
// take for granted.
constexpr bool WellFormed() {
  for (int option = 0; option < kOptionCount; ++option) {
    if (IndexOf(ControlKind::Radio, option) == kControls.size()) return false;
  }
  for (const ControlDesign& c : kControls) {
    if (c.kind == ControlKind::Radio ? c.option < 0 || c.option >= kOptionCount : c.option != -1)
      return false;
    if (c.left < 0 || c.top < 0 || c.width <= 0 || c.height <= 0 || c.left + c.width > kClientWidthTwips ||
        c.top + c.height > kClientHeightTwips) {
      return false;
    }
  }
  return kControls.size() == kOptionCount + 2 && IndexOf(ControlKind::Disp) < kControls.size() &&
         IndexOf(ControlKind::Command1) < kControls.size();
}
static_assert(WellFormed());

}  // namespace quillbox::ui
