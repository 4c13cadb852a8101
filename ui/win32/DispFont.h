#pragma once
// The text box font. The charts line up their columns with blanks, so what
// matters is that every half-width character is equally wide; a Japanese
// character twice as wide keeps titles tidy too.
#include <windows.h>

#include <set>
#include <string>
#include <vector>

namespace quillbox::win32 {

inline constexpr int kDispFontPoints = 9;

// ui::kDispFontFaces and then its last resorts, in order of preference.
const std::vector<std::wstring>& DispFaceCandidates();

struct FaceMetrics {
  std::wstring face;       // what the font mapper actually gave
  int halfWidth = 0;       // advance of '0'
  bool halfFixed = false;  // every half-width sample has that advance
  int fullWidth = 0;       // advance of a Japanese character, 0 if they differ
  bool LinesUp() const { return halfFixed && halfWidth > 0 && fullWidth == 2 * halfWidth; }
};

// 9 points at `dpi`, Shift-JIS character set, normal weight.
LOGFONTW DispLogFont(const std::wstring& face, UINT dpi);

std::set<std::wstring> InstalledFaces(HDC dc);
FaceMetrics MeasureFace(HDC dc, const LOGFONTW& font);

// The first installed candidate whose advances line up; failing that the
// first with fixed half-width advances; failing that the designed face.
std::wstring ChooseDispFace(HDC dc, UINT dpi);

}  // namespace quillbox::win32
