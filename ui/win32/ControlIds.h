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
// Commands of the text box's context menu. kReloadId, sent to the window as
// WM_COMMAND, reads hsc.ini again, as F5 does.
inline constexpr int kDispUndoId = 1301;
inline constexpr int kDispCutId = 1302;
inline constexpr int kDispCopyId = 1303;
inline constexpr int kDispPasteId = 1304;
inline constexpr int kDispDeleteId = 1305;
inline constexpr int kDispSelectAllId = 1306;
inline constexpr int kReloadId = 1310;

inline constexpr wchar_t kForm1ClassName[] = L"quillbox.Form1";

}  // namespace quillbox::win32
