#pragma once
// DPI queries that exist only on newer Windows, looked up at run time so the
// program still starts where they are missing.
#include <windows.h>

#include <optional>

namespace quillbox::win32 {

// The window's own DPI (GetDpiForWindow), else the screen's.
UINT WindowDpi(HWND window);

// AdjustWindowRectExForDpi where it exists, else AdjustWindowRectEx.
void AdjustWindowRectForDpi(RECT& rect, DWORD style, DWORD exStyle, UINT dpi);

// The platform's default control font (the message font) at `dpi`.
std::optional<LOGFONTW> MessageLogFont(UINT dpi);

// GetSystemMetricsForDpi where it exists, else the screen's metric rescaled.
int SystemMetricForDpi(int index, UINT dpi);

}  // namespace quillbox::win32
