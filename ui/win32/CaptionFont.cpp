#include "ui/win32/CaptionFont.h"

#include <algorithm>
#include <cstddef>
#include <cstring>
#include <cwchar>

#include "ui/common/CaptionFit.h"
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

// How the button class lays out a caption of one line.
constexpr UINT kCaptionFormat = DT_SINGLELINE | DT_NOPREFIX | DT_LEFT | DT_VCENTER;

bool FitsIn(HDC dc, HFONT font, const wchar_t* caption, ControlKind kind, SIZE control, UINT dpi) {
  const SelectedFont selected(dc, font);
  return CaptionFits(dc, caption, kind, control, dpi);
}

// A one-bit bitmap to draw a caption on, with a DC of its own.
class InkCanvas {
 public:
  InkCanvas(HDC like, int width, int height) : dc_(CreateCompatibleDC(like)), width_(width), height_(height) {
    struct {
      BITMAPINFOHEADER header;
      RGBQUAD colours[2];
    } info{};
    info.header.biSize = sizeof info.header;
    info.header.biWidth = width;
    info.header.biHeight = -height;  // top row first
    info.header.biPlanes = 1;
    info.header.biBitCount = 1;
    info.colours[1] = {255, 255, 255, 0};
    if (dc_ != nullptr) {
      bitmap_ = CreateDIBSection(dc_, reinterpret_cast<const BITMAPINFO*>(&info), DIB_RGB_COLORS, &bits_,
                                 nullptr, 0);
    }
    if (bitmap_ != nullptr) old_ = SelectObject(dc_, bitmap_);
  }
  ~InkCanvas() {
    if (old_ != nullptr) SelectObject(dc_, old_);
    if (bitmap_ != nullptr) DeleteObject(bitmap_);
    if (dc_ != nullptr) DeleteDC(dc_);
  }
  InkCanvas(const InkCanvas&) = delete;
  InkCanvas& operator=(const InkCanvas&) = delete;

  HDC Dc() const { return old_ != nullptr ? dc_ : nullptr; }

  // Whether row `y` differs from row `blank`.
  bool RowDiffers(int y, int blank) const {
    const auto stride = static_cast<std::size_t>((width_ + 31) / 32 * 4);
    const auto* rows = static_cast<const unsigned char*>(bits_);
    return std::memcmp(rows + stride * static_cast<std::size_t>(y),
                       rows + stride * static_cast<std::size_t>(blank), stride) != 0;
  }
  int Height() const { return height_; }

 private:
  HDC dc_;
  int width_;
  int height_;
  HBITMAP bitmap_ = nullptr;
  void* bits_ = nullptr;
  HGDIOBJ old_ = nullptr;
};

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

int CaptionLineHeight(HDC dc, const wchar_t* caption) {
  RECT line{};
  DrawTextW(dc, caption, -1, &line, kCaptionFormat | DT_CALCRECT);
  return line.bottom - line.top;
}

InkRows CaptionInk(HDC dc, const wchar_t* caption) {
  const int length = static_cast<int>(std::wcslen(caption));
  TEXTMETRICW metrics{};
  SIZE extent{};
  if (length == 0 || !GetTextMetricsW(dc, &metrics) || !GetTextExtentPoint32W(dc, caption, length, &extent)) {
    return {};
  }
  // A cell's height of room above and below the line, and a widest
  // character's beside it, for the ink that goes past it.
  const int margin = metrics.tmHeight;
  const int side = metrics.tmMaxCharWidth;
  const int line = CaptionLineHeight(dc, caption);
  const int width = extent.cx + 2 * side;
  const int height = line + 2 * margin;
  const InkCanvas canvas(dc, width, height);
  const HDC canvasDc = canvas.Dc();
  if (canvasDc == nullptr) return {};
  const SelectedFont selected(canvasDc, static_cast<HFONT>(GetCurrentObject(dc, OBJ_FONT)));
  PatBlt(canvasDc, 0, 0, width, height, WHITENESS);
  SetBkMode(canvasDc, TRANSPARENT);
  SetTextColor(canvasDc, RGB(0, 0, 0));
  RECT place{side, margin, side + extent.cx, margin + line};
  DrawTextW(canvasDc, caption, length, &place, kCaptionFormat | DT_NOCLIP);
  GdiFlush();
  InkRows ink;
  bool found = false;
  for (int y = 1; y < height; ++y) {
    if (!canvas.RowDiffers(y, 0)) continue;
    if (!found) ink.top = y - margin;
    found = true;
    ink.bottom = y - margin + 1;
  }
  return ink;
}

bool CaptionFits(HDC dc, const wchar_t* caption, ControlKind kind, SIZE control, UINT dpi) {
  SIZE extent{};
  if (!GetTextExtentPoint32W(dc, caption, static_cast<int>(std::wcslen(caption)), &extent)) return true;
  if (extent.cx + CaptionMargin(dc, kind, dpi) > control.cx) return false;
  // The button class centres the line the text measures in the whole option,
  // or inside the button's edges, and cuts whatever of the ink lies outside.
  const int edges = kind == ControlKind::Radio ? 0 : 2 * SystemMetricForDpi(SM_CYEDGE, dpi);
  const int room = control.cy - 2 * edges;
  const int lineTop = edges + (room - CaptionLineHeight(dc, caption)) / 2;
  const InkRows ink = CaptionInk(dc, caption);
  return ink.top == ink.bottom || (lineTop + ink.top >= edges && lineTop + ink.bottom <= control.cy - edges);
}

HFONT CreateFittingCaptionFont(HDC dc, const wchar_t* caption, ControlKind kind, SIZE control,
                               const LOGFONTW& font, UINT dpi) {
  const HFONT full = CreateFontIndirectW(&font);
  if (full == nullptr) return nullptr;
  LONG height = font.lfHeight;
  if (height == 0) {
    // The mapper's default size: shrink from the cell height it gave.
    const SelectedFont selected(dc, full);
    TEXTMETRICW metrics{};
    GetTextMetricsW(dc, &metrics);
    height = metrics.tmHeight;
  }
  DeleteObject(full);
  if (height == 0) return nullptr;

  // A negative height is the characters' own, a positive one the cell's;
  // either way a smaller size keeps the kind of height the platform chose.
  const LONG sign = height < 0 ? -1 : 1;
  const LONG designed = height * sign;
  const auto sized = [&](LONG size) {
    LOGFONTW sizedFont = font;
    if (size != designed) {
      sizedFont.lfHeight = sign * size;
      sizedFont.lfWidth = 0;
    }
    return sizedFont;
  };
  const LONG smallest = MulDiv(kSmallestCaptionPoints, static_cast<int>(dpi), 72);
  const LONG size = ui::FittingSize(designed, LONG{1}, smallest, [&](LONG pixels) {
    const LOGFONTW tried = sized(pixels);
    const HFONT made = CreateFontIndirectW(&tried);
    // A size no font can be made of ends the search there.
    const bool fits = made == nullptr || FitsIn(dc, made, caption, kind, control, dpi);
    DeleteObject(made);
    return fits;
  });
  if (size == designed) return nullptr;
  const LOGFONTW fitting = sized(size);
  return CreateFontIndirectW(&fitting);
}

}  // namespace quillbox::win32
