#pragma once
// Control IDs of the main window, shared with the driver test that finds the
// controls in the running program.

namespace quillbox::win32 {

// Radio option i has ID kRadioFirstId + i, for i = 0 to 5.
inline constexpr int kRadioFirstId = 1000;
inline constexpr int kRadioCount = 6;
inline constexpr int kDispId = 1100;
inline constexpr int kDispLabelId = 1101;
inline constexpr int kCommand1Id = 1200;

inline constexpr wchar_t kForm1ClassName[] = L"quillbox.Form1";

}  // namespace quillbox::win32
