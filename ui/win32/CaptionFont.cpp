#include "ui/win32/CaptionFont.h"

#include <algorithm>
#include <cwchar>

#include "ui/win32/Dpi.h"

namespace quillbox::win32 {
namespace {

// Selects a font into a DC for as long as it lives.
class SelectedFont {
 public:
  SelectedFont(HDC dc, HFONT font) : dc_(dc), old_(SelectObject(dc, font)) {}
  ~SelectedFont() { SelectObject(dc_, old_); }
  SelectedFont(const SelectedFont&) = delete;
  SelectedFont& operator=(const SelectedFont&) = delete;

 private:
  HDC dc_;
  HGDIOBJ old_;
};

bool FitsIn(HDC dc, HFONT font, const wchar_t* caption, ControlKind kind, int width, UINT dpi) {
  const SelectedFont selected(dc, font);
  return CaptionFits(dc, caption, kind, width, dpi);
}

}  // namespace

int CaptionMargin(HDC dc, ControlKind kind, UINT dpi) {
  if (kind != ControlKind::Radio) {
    // The raised edge and, inside it, the focus rectangle, on both sides.
    return 4 * SystemMetricForDpi(SM_CXEDGE, dpi);
  }
  // The button class draws the mark 12 pixels and 1 wide at 96 DPI, scaled;
  // a theme's may be as wide as the menu check mark. The text starts half a
  // '0' after it.
  const int mark =
      std::max(SystemMetricForDpi(SM_CXMENUCHECK, dpi), MulDiv(12, static_cast<int>(dpi), 96) + 1);
  SIZE zero{};
  GetTextExtentPoint32W(dc, L"0", 1, &zero);
  return mark + zero.cx / 2;
}

bool CaptionFits(HDC dc, const wchar_t* caption, ControlKind kind, int width, UINT dpi) {
  SIZE extent{};
  if (!GetTextExtentPoint32W(dc, caption, static_cast<int>(std::wcslen(caption)), &extent)) return true;
  return extent.cx + CaptionMargin(dc, kind, dpi) <= width;
}

HFONT CreateFittingCaptionFont(HDC dc, const wchar_t* caption, ControlKind kind, int width,
                               const LOGFONTW& font, UINT dpi) {
  const HFONT full = CreateFontIndirectW(&font);
  if (full == nullptr) return nullptr;
  const bool fits = FitsIn(dc, full, caption, kind, width, dpi);
  LONG height = font.lfHeight;
  if (height == 0) {
    // The mapper's default size: shrink from the cell height it gave.
    const SelectedFont selected(dc, full);
    TEXTMETRICW metrics{};
    GetTextMetricsW(dc, &metrics);
    height = metrics.tmHeight;
  }
  DeleteObject(full);
  if (fits || height == 0) return nullptr;

  // A negative height is the characters' own, a positive one the cell's;
  // either way the smaller size keeps the kind of height the platform chose.
  const LONG sign = height < 0 ? -1 : 1;
  const LONG smallest = MulDiv(kSmallestCaptionPoints, static_cast<int>(dpi), 72);
  LOGFONTW smaller = font;
  HFONT fitting = nullptr;
  for (LONG size = height * sign - 1; size >= smallest; --size) {
    if (fitting != nullptr) DeleteObject(fitting);
    smaller.lfHeight = sign * size;
    smaller.lfWidth = 0;
    fitting = CreateFontIndirectW(&smaller);
    if (fitting == nullptr || FitsIn(dc, fitting, caption, kind, width, dpi)) break;
  }
  return fitting;
}

}  // namespace quillbox::win32
