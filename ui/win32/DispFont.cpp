#include "ui/win32/DispFont.h"

#include <exception>
#include <utility>

#include "ui/win32/Layout.h"

namespace quillbox::win32 {
namespace {

struct FaceList {
  std::set<std::wstring> faces;
  std::exception_ptr failure;
};

int CALLBACK CollectFace(const LOGFONTW* font, const TEXTMETRICW*, DWORD, LPARAM list) {
  auto& faceList = *reinterpret_cast<FaceList*>(list);
  // An exception must not unwind through GDI: it ends the enumeration and
  // is thrown again once GDI has returned.
  try {
    // Vertical-writing variants ("@...") are no use for the text box.
    if (font->lfFaceName[0] != L'@') faceList.faces.insert(font->lfFaceName);
    return 1;
  } catch (...) {
    faceList.failure = std::current_exception();
    return 0;
  }
}

int Advance(HDC dc, const wchar_t* text) {
  SIZE size{};
  if (!GetTextExtentPoint32W(dc, text, static_cast<int>(wcslen(text)), &size)) return -1;
  return size.cx;
}

}  // namespace

const std::vector<std::wstring>& DispFaceCandidates() {
  static const std::vector<std::wstring> faces = [] {
    std::vector<std::wstring> all;
    for (const char16_t* face : ui::kDispFontFaces) all.emplace_back(Wide(face));
    for (const char16_t* face : ui::kDispFontLastResortFaces) all.emplace_back(Wide(face));
    return all;
  }();
  return faces;
}

LOGFONTW DispLogFont(const std::wstring& face, UINT dpi) {
  LOGFONTW font{};
  font.lfHeight = -MulDiv(kDispFontPoints, static_cast<int>(dpi), 72);
  font.lfWeight = FW_NORMAL;
  font.lfCharSet = SHIFTJIS_CHARSET;
  font.lfOutPrecision = OUT_DEFAULT_PRECIS;
  font.lfClipPrecision = CLIP_DEFAULT_PRECIS;
  font.lfQuality = DEFAULT_QUALITY;
  font.lfPitchAndFamily = FIXED_PITCH | FF_MODERN;
  face.copy(font.lfFaceName, LF_FACESIZE - 1);
  return font;
}

std::set<std::wstring> InstalledFaces(HDC dc) {
  FaceList list;
  LOGFONTW query{};
  query.lfCharSet = DEFAULT_CHARSET;
  EnumFontFamiliesExW(dc, &query, CollectFace, reinterpret_cast<LPARAM>(&list), 0);
  if (list.failure) std::rethrow_exception(list.failure);
  return std::move(list.faces);
}

FaceMetrics MeasureFace(HDC dc, const LOGFONTW& logFont) {
  FaceMetrics metrics;
  const HFONT font = CreateFontIndirectW(&logFont);
  if (font == nullptr) return metrics;
  const HGDIOBJ old = SelectObject(dc, font);

  wchar_t face[LF_FACESIZE] = {};
  GetTextFaceW(dc, LF_FACESIZE, face);
  metrics.face = face;

  // The characters the charts are made of, and some of the narrowest and
  // widest letters a title may hold.
  static const wchar_t* const kHalf[] = {L"0", L"1", L"7", L" ", L"|", L"+",
                                         L"-", L"i", L"l", L"W", L"M", L"."};
  static const wchar_t* const kFull[] = {L"漢", L"あ", L"ア", L"ー", L"！"};
  metrics.halfWidth = Advance(dc, L"0");
  metrics.halfFixed = metrics.halfWidth > 0;
  for (const wchar_t* c : kHalf) metrics.halfFixed = metrics.halfFixed && Advance(dc, c) == metrics.halfWidth;
  metrics.fullWidth = Advance(dc, kFull[0]);
  for (const wchar_t* c : kFull) {
    if (Advance(dc, c) != metrics.fullWidth) metrics.fullWidth = 0;
  }

  SelectObject(dc, old);
  DeleteObject(font);
  return metrics;
}

std::wstring ChooseDispFace(HDC dc, UINT dpi) {
  const std::set<std::wstring> installed = InstalledFaces(dc);
  std::wstring fixedOnly;
  for (const std::wstring& face : DispFaceCandidates()) {
    if (!installed.contains(face)) continue;
    const FaceMetrics metrics = MeasureFace(dc, DispLogFont(face, dpi));
    if (metrics.LinesUp()) return face;
    if (metrics.halfFixed && fixedOnly.empty()) fixedOnly = face;
  }
  return fixedOnly.empty() ? DispFaceCandidates().front() : fixedOnly;
}

}  // namespace quillbox::win32
