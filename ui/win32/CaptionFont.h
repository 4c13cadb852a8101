#pragma once
// Captions that fit their controls. Where the platform's font makes an
// option's or the button's caption wider than its control, that caption gets
// a smaller size of the same font; the control keeps its designed size.
#include <windows.h>

#include "ui/win32/Layout.h"

namespace quillbox::win32 {

// The smallest size a caption is shrunk to, as in the Qt window.
inline constexpr int kSmallestCaptionPoints = 6;

// The width a control of `kind` needs besides its caption, in `dc`'s font at
// `dpi`: an option's mark and the gap after it, a button's edges.
int CaptionMargin(HDC dc, ControlKind kind, UINT dpi);

// Whether `caption` fits a control of `kind`, `width` pixels wide, in `dc`'s font.
bool CaptionFits(HDC dc, const wchar_t* caption, ControlKind kind, int width, UINT dpi);

// Null when `caption` fits in `font` as it is (or `font` is already the
// smallest size); else the largest smaller size of `font` in which it fits,
// or the smallest size. The caller owns the font.
HFONT CreateFittingCaptionFont(HDC dc, const wchar_t* caption, ControlKind kind, int width,
                               const LOGFONTW& font, UINT dpi);

}  // namespace quillbox::win32
