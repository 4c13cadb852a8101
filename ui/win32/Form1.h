#pragma once
// The main window: six view options, the text box and the copy button, with
// their events handed to the core.
#include <windows.h>

// After windows.h; WIN32_LEAN_AND_MEAN leaves HDROP out.
#include <shellapi.h>

#include <array>
#include <filesystem>
#include <optional>

#include "core/App.h"
#include "core/WindowOps.h"
#include "ui/win32/ControlIds.h"
#include "ui/win32/DropTarget.h"
#include "ui/win32/Layout.h"
#include "views/RandomPick.h"

namespace quillbox::win32 {

class Form1 final : public WindowOps {
 public:
  // `scoreFile` replaces hsc.ini in the program's folder (for tests).
  explicit Form1(HINSTANCE instance, std::optional<std::filesystem::path> scoreFile = {});
  ~Form1() override;
  Form1(const Form1&) = delete;
  Form1& operator=(const Form1&) = delete;

  // Creates the window, runs the load and, when it succeeds, shows the
  // window and runs the message loop. Returns the process exit status: 1 when
  // the score file could not be loaded (the window is then never shown).
  int Run(int showCommand);
  // The text box's context menu as it stands now: the edit box's standard
  // entries with their enabled states, then the reload entry. The caller
  // destroys it.
  HMENU CreateDispMenu() const;
  // The first step of Run: the window and its controls, laid out for the
  // window's DPI and still hidden. False when the window cannot be made.
  bool CreateForm();
  // The second: the core's start-up. False when the score file could not be
  // loaded (the message has been shown).
  bool Form_Load();
  // The target file drags reach through OLE (null without OLE); tests drive it.
  IDropTarget* FileDropTarget() const { return drops_.Target(); }

  // WindowOps
  Text GetCaption() override;
  void SetCaption(const Text& caption) override;
  VersionNumbers ProgramVersion() override;
  void MarkFirstOption() override;
  Text GetDispText() override;
  void SetDispText(const Text& text) override;
  ClipboardResult ReplaceClipboardText(const Text& text) override;
  std::filesystem::path ProgramDirectory() override;
  void ShowError(const Text& message) override;

 private:
  static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
  static LRESULT CALLBACK RadioProc(HWND radio, UINT message, WPARAM wParam, LPARAM lParam,
                                    UINT_PTR subclassId, DWORD_PTR form);
  static LRESULT CALLBACK DispProc(HWND disp, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR subclassId,
                                   DWORD_PTR unused);
  LRESULT HandleMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
  void OnRadioMouseDown(int index, UINT message, WPARAM wParam, LPARAM lParam);
  // Takes the dropped files' names and hands them to the core; frees `drop`.
  void OnDropFiles(HDROP drop);
  void OnReload();
  // The text box's menu at `at` (screen coordinates), run to its end.
  void OnDispContextMenu(POINT at);

  void CreateControls();
  // Lays the window out for `dpi`; `suggested` is the frame Windows gives
  // with a DPI change, else the frame is sized from the layout.
  void ApplyDpi(UINT dpi, const RECT* suggested = nullptr);
  bool OpenClipboardRetrying();
  // Runs a core operation or a window message; anything it throws becomes a
  // message box rather than unwinding through the window procedure.
  template <typename Operation>
  void Guard(Operation operation) noexcept;
  void ReportFailure(const char* what) noexcept;
  HWND BoxOwner() const;

  HINSTANCE instance_;
  HWND window_ = nullptr;
  std::array<HWND, kRadioCount> radios_{};
  HWND disp_ = nullptr;
  HWND command1_ = nullptr;
  HFONT dispFont_ = nullptr;
  HFONT controlFont_ = nullptr;
  // By control, in kControls' order: a caption's own smaller font, where its
  // control needs one.
  std::array<HFONT, kControls.size()> captionFonts_{};
  UINT dpi_ = USER_DEFAULT_SCREEN_DPI;
  HWND focusBeforeDeactivate_ = nullptr;
  // The message the loop is dispatching now; lets the options tell a real
  // mouse press from the button-down a keyboard move sends through BM_CLICK.
  const MSG* queuedMessage_ = nullptr;
  // Set while a failure's message box is up.
  bool reportingFailure_ = false;
  // Message boxes up now; drops are refused while any is.
  int messagesOpen_ = 0;
  DropRegistration drops_;
  const Text unfinished_ = AppMessageText(AppMessage::Unfinished);  // made while memory is there

  ClockRandomSource random_;
  App app_;
};

}  // namespace quillbox::win32
