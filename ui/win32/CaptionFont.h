#pragma once
// Captions that fit their controls. Where the platform's font makes an
// option's or the button's caption wider or taller than its control, that
// caption gets a smaller size of the same font; the control keeps its
// designed size.
#include <windows.h>

#include "ui/win32/Layout.h"

namespace quillbox::win32 {

// The smallest size a caption is shrunk to, as in the Qt window.
inline constexpr int kSmallestCaptionPoints = 6;

// The width a control of `kind` needs besides its caption, in `dc`'s font at
// `dpi`: an option's mark and the gap after it, a button's edges.
int CaptionMargin(HDC dc, ControlKind kind, UINT dpi);

// The height of `caption`'s line in `dc`'s font, as the button class
// measures it to centre the line in the control.
int CaptionLineHeight(HDC dc, const wchar_t* caption);

// The rows `caption`'s ink takes up in `dc`'s font, from the top of its line
// (less than 0 above it, more than its height below), up to `bottom`
// exclusive. Drawn rather than taken from the font's metrics: characters the
// font lacks come from the fonts linked to it, whose glyphs stand higher or
// lower. Empty (top == bottom) when nothing is drawn.
struct InkRows {
  int top = 0;
  int bottom = 0;
};
InkRows CaptionInk(HDC dc, const wchar_t* caption);

// Whether `caption` fits a control of `kind`, `control` pixels large, in `dc`'s font:
// as wide as it is, and with its ink inside the control once the button
// class centres the line in it.
bool CaptionFits(HDC dc, const wchar_t* caption, ControlKind kind, SIZE control, UINT dpi);

// Null when `caption` fits in `font` as it is (or `font` is already the
// smallest size); else the largest smaller size of `font` in which it fits,
// or the smallest size. The caller owns the font.
HFONT CreateFittingCaptionFont(HDC dc, const wchar_t* caption, ControlKind kind, SIZE control,
                               const LOGFONTW& font, UINT dpi);

}  // namespace quillbox::win32
