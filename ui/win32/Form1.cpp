#include "ui/win32/Form1.h"

#include <commctrl.h>
#include <windowsx.h>

#include <cstring>
#include <exception>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "core/ProgramDirectory.h"
#include "ui/win32/CaptionFont.h"
#include "ui/win32/DispFont.h"
#include "ui/win32/Dpi.h"
#include "ui/win32/Layout.h"
#include "ui/win32/Resource.h"

namespace quillbox::win32 {
namespace {

constexpr DWORD kFormStyle = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | WS_CLIPCHILDREN;
constexpr DWORD kFormExStyle = 0;
// The edit control's own default is 32767 characters; a long song list is more.
constexpr WPARAM kDispTextLimit = 0x7FFFFFFE;
constexpr int kClipboardTries = 10;
constexpr DWORD kClipboardRetryMs = 50;

const wchar_t* Wide(const Text& text) { return win32::Wide(text.c_str()); }

Text WindowText(HWND window) {
  const int length = GetWindowTextLengthW(window);
  if (length <= 0) return {};
  std::vector<wchar_t> buffer(static_cast<std::size_t>(length) + 1);
  const int copied = GetWindowTextW(window, buffer.data(), length + 1);
  return Text(reinterpret_cast<const char16_t*>(buffer.data()),
              static_cast<std::size_t>(copied > 0 ? copied : 0));
}

// The mouse button and shift-key codes the core's press event carries.
std::int16_t ButtonCode(UINT message) {
  switch (message) {
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK: return 1;
    case WM_RBUTTONDOWN:
    case WM_RBUTTONDBLCLK: return 2;
    case WM_MBUTTONDOWN:
    case WM_MBUTTONDBLCLK: return 4;
    default: return 0;
  }
}

std::int16_t ShiftCode(WPARAM keys) {
  std::int16_t shift = 0;
  if (keys & MK_SHIFT) shift |= 1;
  if (keys & MK_CONTROL) shift |= 2;
  if (GetKeyState(VK_MENU) < 0) shift |= 4;
  return shift;
}

bool IsMouseDown(UINT message) {
  switch (message) {
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
    case WM_RBUTTONDOWN:
    case WM_RBUTTONDBLCLK:
    case WM_MBUTTONDOWN:
    case WM_MBUTTONDBLCLK:
    case WM_XBUTTONDOWN:
    case WM_XBUTTONDBLCLK: return true;
    default: return false;
  }
}

// The window's DC for as long as this lives: released however the scope
// ends, a failed allocation included.
class WindowDc {
 public:
  explicit WindowDc(HWND window) : window_(window), dc_(GetDC(window)) {}
  ~WindowDc() {
    if (dc_ != nullptr) ReleaseDC(window_, dc_);
  }
  WindowDc(const WindowDc&) = delete;
  WindowDc& operator=(const WindowDc&) = delete;

  HDC Get() const { return dc_; }

 private:
  HWND window_;
  HDC dc_;
};

// Windows calls the window's procedures from its own code, which an
// exception must not unwind through: one that gets this far ends here, and
// the procedure gives Windows the answer it has or a safe default.
template <typename Procedure>
void Contained(Procedure procedure) noexcept {
  try {
    procedure();
  } catch (...) {
  }
}

}  // namespace

Form1::Form1(HINSTANCE instance, std::optional<std::filesystem::path> scoreFile)
    : instance_(instance), app_(*this, random_, std::move(scoreFile)) {}

Form1::~Form1() {
  if (window_ != nullptr) DestroyWindow(window_);
  UnregisterClassW(kForm1ClassName, instance_);
  if (dispFont_ != nullptr) DeleteObject(dispFont_);
  if (controlFont_ != nullptr) DeleteObject(controlFont_);
  for (HFONT font : captionFonts_) {
    if (font != nullptr) DeleteObject(font);
  }
}

int Form1::Run(int showCommand) {
  if (!CreateForm()) {
    ShowError(AppMessageText(AppMessage::NoWindow));
    return 1;
  }

  if (!Form_Load()) {
    DestroyWindow(window_);
    return 1;
  }

  ShowWindow(window_, showCommand);
  UpdateWindow(window_);
  SetFocus(radios_[0]);

  MSG message{};
  for (;;) {
    const BOOL got = GetMessageW(&message, nullptr, 0, 0);
    if (got == 0) break;
    if (got == -1) return 1;
    queuedMessage_ = &message;
    // F5 from any control of the window, as an accelerator would take it.
    if (message.message == WM_KEYDOWN && message.wParam == VK_F5 &&
        (message.hwnd == window_ || IsChild(window_, message.hwnd))) {
      SendMessageW(window_, WM_COMMAND, MAKEWPARAM(kReloadId, 0), 0);
      queuedMessage_ = nullptr;
      continue;
    }
    // IsDialogMessage gives Tab and the arrow keys their usual meaning.
    if (!IsDialogMessageW(window_, &message)) {
      TranslateMessage(&message);
      DispatchMessageW(&message);
    }
    queuedMessage_ = nullptr;
  }
  return static_cast<int>(message.wParam);
}

bool Form1::CreateForm() {
  INITCOMMONCONTROLSEX common{sizeof common, ICC_STANDARD_CLASSES};
  InitCommonControlsEx(&common);
  WNDCLASSEXW windowClass{};
  windowClass.cbSize = sizeof windowClass;
  windowClass.lpfnWndProc = WindowProc;
  windowClass.hInstance = instance_;
  windowClass.hIcon =
      static_cast<HICON>(LoadImageW(instance_, MAKEINTRESOURCEW(IDI_QUILLBOX), IMAGE_ICON,
                                    GetSystemMetrics(SM_CXICON), GetSystemMetrics(SM_CYICON), 0));
  windowClass.hIconSm =
      static_cast<HICON>(LoadImageW(instance_, MAKEINTRESOURCEW(IDI_QUILLBOX), IMAGE_ICON,
                                    GetSystemMetrics(SM_CXSMICON), GetSystemMetrics(SM_CYSMICON), 0));
  windowClass.hCursor = LoadCursorW(nullptr, MAKEINTRESOURCEW(32512));  // IDC_ARROW
  windowClass.hbrBackground = GetSysColorBrush(COLOR_BTNFACE);
  windowClass.lpszClassName = kForm1ClassName;
  if (RegisterClassExW(&windowClass) == 0) return false;

  // The real size follows once the window knows its DPI.
  window_ =
      CreateWindowExW(kFormExStyle, kForm1ClassName, Wide(ui::kDesignedCaption), kFormStyle, CW_USEDEFAULT,
                      CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, nullptr, nullptr, instance_, this);
  if (window_ == nullptr) return false;
  DragAcceptFiles(window_, TRUE);
  CreateControls();
  // Our own answer to a drag, not the system's: never move (see DropTarget).
  drops_.Register(window_, disp_, [this] { return messagesOpen_ == 0; });
  ApplyDpi(WindowDpi(window_));
  return true;
}

bool Form1::Form_Load() {
  bool loaded = false;
  Guard([&] { loaded = app_.Form_Load(); });
  return loaded;
}

void Form1::CreateControls() {
  bool firstRadio = true;
  for (const ControlSpec& control : kControls) {
    const auto menu = reinterpret_cast<HMENU>(static_cast<INT_PTR>(control.id));
    switch (control.kind) {
      case ControlKind::Radio: {
        // One group: WS_GROUP on the first option only.
        const DWORD style =
            WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_AUTORADIOBUTTON | (firstRadio ? WS_GROUP : 0);
        firstRadio = false;
        const int index = control.id - kRadioFirstId;
        HWND radio = CreateWindowExW(0, L"BUTTON", Wide(control.caption), style, 0, 0, 0, 0, window_, menu,
                                     instance_, nullptr);
        SetWindowSubclass(radio, RadioProc, static_cast<UINT_PTR>(index), reinterpret_cast<DWORD_PTR>(this));
        radios_[static_cast<std::size_t>(index)] = radio;
        break;
      }
      case ControlKind::Disp:
        // Screen readers name an edit control after the static label right
        // before it. The window shows no label there, so this one stays
        // hidden: no tab stop, no place in the layout.
        CreateWindowExW(0, L"STATIC", L"レポート", WS_CHILD | SS_LEFT, 0, 0, 0, 0, window_,
                        reinterpret_cast<HMENU>(static_cast<INT_PTR>(kDispLabelId)), instance_, nullptr);
        // No scroll bars and no ES_AUTOHSCROLL: long lines wrap at the edge.
        disp_ = CreateWindowExW(
            WS_EX_CLIENTEDGE, L"EDIT", L"",
            WS_CHILD | WS_VISIBLE | WS_TABSTOP | ES_MULTILINE | ES_AUTOVSCROLL | ES_WANTRETURN, 0, 0, 0, 0,
            window_, menu, instance_, nullptr);
        SendMessageW(disp_, EM_SETLIMITTEXT, kDispTextLimit, 0);
        SetWindowSubclass(disp_, DispProc, 0, 0);
        // A file dropped on the box goes to the window (see DispProc).
        DragAcceptFiles(disp_, TRUE);
        break;
      case ControlKind::Command1:
        command1_ = CreateWindowExW(0, L"BUTTON", Wide(control.caption),
                                    WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_PUSHBUTTON, 0, 0, 0, 0, window_,
                                    menu, instance_, nullptr);
        break;
    }
  }
}

void Form1::ApplyDpi(UINT dpi, const RECT* suggested) {
  dpi_ = dpi;
  const int px = static_cast<int>(dpi);
  if (suggested != nullptr) {
    // Windows' rectangle keeps the window where the user is moving it from
    // one monitor to the other; sizing it ourselves could start the change
    // back and forth.
    SetWindowPos(window_, nullptr, suggested->left, suggested->top, suggested->right - suggested->left,
                 suggested->bottom - suggested->top, SWP_NOZORDER | SWP_NOACTIVATE);
  } else {
    RECT frame{0, 0, TwipsToPixels(kClientWidthTwips, px), TwipsToPixels(kClientHeightTwips, px)};
    AdjustWindowRectForDpi(frame, kFormStyle, kFormExStyle, dpi);
    SetWindowPos(window_, nullptr, 0, 0, frame.right - frame.left, frame.bottom - frame.top,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  }

  for (const ControlSpec& control : kControls) {
    SetWindowPos(GetDlgItem(window_, control.id), nullptr, TwipsToPixels(control.left, px),
                 TwipsToPixels(control.top, px), TwipsToPixels(control.width, px),
                 TwipsToPixels(control.height, px), SWP_NOZORDER | SWP_NOACTIVATE);
  }

  const WindowDc windowDc(window_);
  const HDC dc = windowDc.Get();
  const LOGFONTW dispLogFont = DispLogFont(ChooseDispFace(dc, dpi), dpi);
  const HFONT dispFont = CreateFontIndirectW(&dispLogFont);
  const std::optional<LOGFONTW> controlLogFont = MessageLogFont(dpi);
  const HFONT controlFont = controlLogFont ? CreateFontIndirectW(&*controlLogFont) : nullptr;
  // A caption too wide for its control in the platform's font gets its own
  // smaller size of that font.
  std::array<HFONT, kControls.size()> captionFonts{};
  for (std::size_t i = 0; i < kControls.size(); ++i) {
    const ControlSpec& control = kControls[i];
    if (control.kind != ControlKind::Disp && controlLogFont) {
      const SIZE size{TwipsToPixels(control.width, px), TwipsToPixels(control.height, px)};
      captionFonts[i] =
          CreateFittingCaptionFont(dc, Wide(control.caption), control.kind, size, *controlLogFont, dpi);
    }
  }

  for (std::size_t i = 0; i < kControls.size(); ++i) {
    const ControlSpec& control = kControls[i];
    const HFONT font = control.kind == ControlKind::Disp ? dispFont
                       : captionFonts[i] != nullptr      ? captionFonts[i]
                                                         : controlFont;
    SendMessageW(GetDlgItem(window_, control.id), WM_SETFONT, reinterpret_cast<WPARAM>(font), TRUE);
  }
  // The controls hold the new fonts now; the old ones can go.
  if (dispFont_ != nullptr) DeleteObject(dispFont_);
  if (controlFont_ != nullptr) DeleteObject(controlFont_);
  for (HFONT font : captionFonts_) {
    if (font != nullptr) DeleteObject(font);
  }
  dispFont_ = dispFont;
  controlFont_ = controlFont;
  captionFonts_ = captionFonts;
}

LRESULT CALLBACK Form1::WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_NCCREATE) {
    auto* form = static_cast<Form1*>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams);
    form->window_ = window;
    SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(form));
  }
  auto* form = reinterpret_cast<Form1*>(GetWindowLongPtrW(window, GWLP_USERDATA));
  if (form == nullptr) return DefWindowProcW(window, message, wParam, lParam);
  LRESULT result = 0;
  form->Guard([&] { result = form->HandleMessage(window, message, wParam, lParam); });
  return result;
}

LRESULT Form1::HandleMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_COMMAND:
      // The options' own BN_CLICKED runs nothing: only a mouse press does.
      if (LOWORD(wParam) == kCommand1Id && HIWORD(wParam) == BN_CLICKED) {
        Guard([&] { app_.Command1_Click(); });
        return 0;
      }
      if (LOWORD(wParam) == kReloadId) {
        OnReload();
        return 0;
      }
      break;
    case WM_ACTIVATE:
      // Keep the focused control across switches to other windows.
      if (LOWORD(wParam) == WA_INACTIVE) {
        focusBeforeDeactivate_ = GetFocus();
      } else if (focusBeforeDeactivate_ != nullptr && IsChild(window_, focusBeforeDeactivate_)) {
        SetFocus(focusBeforeDeactivate_);
        return 0;
      }
      break;
    case WM_NEXTDLGCTL: {
      // Sent by IsDialogMessage and by the multi-line edit on Tab; only dialog
      // windows handle it by default, and without this Tab would stay stuck
      // in the text box.
      const HWND next = LOWORD(lParam) != 0 ? reinterpret_cast<HWND>(wParam)
                                            : GetNextDlgTabItem(window, GetFocus(), wParam != 0);
      // Focus only: the text box keeps its caret where it was (see DispProc).
      if (next != nullptr) SetFocus(next);
      return 0;
    }
    case DM_GETDEFID:
      // Asked by IsDialogMessage on Enter: the focused copy button takes it
      // as its click, as a focused push button does in a dialog box.
      if (GetFocus() == command1_) return MAKELRESULT(kCommand1Id, DC_HASDEFID);
      return 0;
    case WM_DROPFILES: OnDropFiles(reinterpret_cast<HDROP>(wParam)); return 0;
    case WM_DPICHANGED: ApplyDpi(HIWORD(wParam), reinterpret_cast<const RECT*>(lParam)); return 0;
    case WM_DESTROY:
      drops_.Revoke();
      PostQuitMessage(0);
      return 0;
    case WM_NCDESTROY: window_ = nullptr; break;
    default: break;
  }
  return DefWindowProcW(window, message, wParam, lParam);
}

LRESULT CALLBACK Form1::RadioProc(HWND radio, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR subclassId,
                                  DWORD_PTR form) {
  if (message == WM_NCDESTROY) RemoveWindowSubclass(radio, RadioProc, subclassId);
  // The button takes the press first. A view that shows a message box takes
  // the focus, and with it the mouse the button captured; were the press
  // handed on only after the box closed, the button would capture the mouse
  // then and take the next click anywhere as its own.
  const LRESULT result = DefSubclassProc(radio, message, wParam, lParam);
  if (IsMouseDown(message)) {
    auto* self = reinterpret_cast<Form1*>(form);
    // A keyboard move of the mark clicks the option with BM_CLICK, which
    // sends it a WM_LBUTTONDOWN; only a press that came through the queue
    // is the user's mouse.
    const MSG* queued = self->queuedMessage_;
    if (queued != nullptr && queued->hwnd == radio && queued->message == message) {
      Contained([&] { self->OnRadioMouseDown(static_cast<int>(subclassId), message, wParam, lParam); });
    }
  }
  return result;
}

LRESULT CALLBACK Form1::DispProc(HWND disp, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR subclassId,
                                 DWORD_PTR) {
  // Under IsDialogMessage a multi-line edit posts WM_CLOSE to its parent on
  // Esc, as if it sat in a dialog box; here that would end the program.
  if (message == WM_KEYDOWN && wParam == VK_ESCAPE) return 0;
  // The edit control would ignore it: a drop anywhere counts as on the window.
  if (message == WM_DROPFILES) return SendMessageW(GetParent(disp), message, wParam, lParam);
  // The edit control's own menu cannot be extended, so the whole menu is ours.
  if (message == WM_CONTEXTMENU) {
    auto* self = reinterpret_cast<Form1*>(GetWindowLongPtrW(GetParent(disp), GWLP_USERDATA));
    POINT at{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
    if (lParam == -1) {
      // From the keyboard (Shift+F10, the menu key): at the caret.
      GetCaretPos(&at);
      ClientToScreen(disp, &at);
    }
    if (self != nullptr) Contained([&] { self->OnDispContextMenu(at); });
    return 0;
  }
  LRESULT result = 0;
  Contained([&] {
    if (message == WM_NCDESTROY) RemoveWindowSubclass(disp, DispProc, subclassId);
    result = DefSubclassProc(disp, message, wParam, lParam);
    // Tabbing into an edit control that says it has a selection to set
    // selects its whole text, and the next key would replace the report;
    // the caret stays where it was instead, at the start after a view.
    if (message == WM_GETDLGCODE) result &= ~static_cast<LRESULT>(DLGC_HASSETSEL);
  });
  return result;
}

void Form1::OnDropFiles(HDROP drop) {
  // A drop while a message is up would stack a second box over it and leave
  // the window working behind a modal one: this drop is refused instead.
  if (messagesOpen_ > 0) {
    DragFinish(drop);
    MessageBeep(MB_ICONWARNING);
    return;
  }
  std::vector<std::filesystem::path> files;
  bool named = false;
  Guard([&] {
    files = DroppedNames(drop);
    named = true;
  });
  // Freed before the core runs: a message box it shows must not keep the
  // drop's memory.
  DragFinish(drop);
  // Some of the names alone would be half the drop.
  if (!named || files.empty()) return;
  Guard([&] { app_.Form_DropFiles(files); });
}

void Form1::OnReload() {
  // As with a drop: a reload while a message is up would stack a second box.
  if (messagesOpen_ > 0) {
    MessageBeep(MB_ICONWARNING);
    return;
  }
  Guard([&] { app_.Form_Reload(); });
}

HMENU Form1::CreateDispMenu() const {
  DWORD start = 0;
  DWORD end = 0;
  SendMessageW(disp_, EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
  const bool selected = start != end;
  const bool editable = (GetWindowLongW(disp_, GWL_STYLE) & ES_READONLY) == 0;
  const auto length = static_cast<DWORD>(GetWindowTextLengthW(disp_));
  const auto state = [](bool enabled) { return static_cast<UINT>(MF_STRING | (enabled ? MF_ENABLED : MF_GRAYED)); };
  HMENU menu = CreatePopupMenu();
  if (menu == nullptr) return nullptr;
  AppendMenuW(menu, state(editable && SendMessageW(disp_, EM_CANUNDO, 0, 0) != 0), kDispUndoId, L"元に戻す(&U)");
  AppendMenuW(menu, MF_SEPARATOR, 0, nullptr);
  AppendMenuW(menu, state(editable && selected), kDispCutId, L"切り取り(&T)");
  AppendMenuW(menu, state(selected), kDispCopyId, L"コピー(&C)");
  AppendMenuW(menu, state(editable && IsClipboardFormatAvailable(CF_UNICODETEXT) != 0), kDispPasteId,
              L"貼り付け(&P)");
  AppendMenuW(menu, state(editable && selected), kDispDeleteId, L"削除(&D)");
  AppendMenuW(menu, MF_SEPARATOR, 0, nullptr);
  AppendMenuW(menu, state(length > 0 && !(start == 0 && end >= length)), kDispSelectAllId, L"すべて選択(&A)");
  AppendMenuW(menu, MF_SEPARATOR, 0, nullptr);
  AppendMenuW(menu, state(true), kReloadId, Wide(ui::kReloadMenuEntry));
  return menu;
}

void Form1::OnDispContextMenu(POINT at) {
  HMENU menu = CreateDispMenu();
  if (menu == nullptr) return;
  SetFocus(disp_);
  const auto chosen = static_cast<int>(
      TrackPopupMenu(menu, TPM_RETURNCMD | TPM_RIGHTBUTTON | TPM_NONOTIFY, at.x, at.y, 0, window_, nullptr));
  DestroyMenu(menu);
  switch (chosen) {
    case kDispUndoId: SendMessageW(disp_, EM_UNDO, 0, 0); break;
    case kDispCutId: SendMessageW(disp_, WM_CUT, 0, 0); break;
    case kDispCopyId: SendMessageW(disp_, WM_COPY, 0, 0); break;
    case kDispPasteId: SendMessageW(disp_, WM_PASTE, 0, 0); break;
    case kDispDeleteId: SendMessageW(disp_, WM_CLEAR, 0, 0); break;
    case kDispSelectAllId: SendMessageW(disp_, EM_SETSEL, 0, -1); break;
    case kReloadId: OnReload(); break;
    default: break;  // closed without a choice
  }
}

void Form1::OnRadioMouseDown(int index, UINT message, WPARAM wParam, LPARAM lParam) {
  // Position in twips, as the core's press event has it.
  const float x = static_cast<float>(GET_X_LPARAM(lParam)) * kTwipsPerInch / static_cast<float>(dpi_);
  const float y = static_cast<float>(GET_Y_LPARAM(lParam)) * kTwipsPerInch / static_cast<float>(dpi_);
  const std::int16_t button = ButtonCode(message);
  const std::int16_t shift = ShiftCode(GET_KEYSTATE_WPARAM(wParam));
  Guard([&] { app_.Radio_MouseDown(static_cast<std::int16_t>(index), button, shift, x, y); });
}

template <typename Operation>
void Form1::Guard(Operation operation) noexcept {
  try {
    operation();
  } catch (const std::exception& error) {
    ReportFailure(error.what());
  } catch (...) {
    ReportFailure(nullptr);
  }
}

void Form1::ReportFailure(const char* what) noexcept {
  // The box runs its own message loop; a handler that fails on every message
  // would otherwise stack up boxes without end.
  if (reportingFailure_) return;
  reportingFailure_ = true;
  try {
    ShowError(AppMessageText(AppMessage::Unfinished, what != nullptr ? FromUtf8(what) : Text()));
  } catch (...) {
    // Memory ran out even for the message: the text made at start needs none.
    MessageBoxW(BoxOwner(), Wide(unfinished_), nullptr, MB_OK | MB_ICONERROR);
  }
  reportingFailure_ = false;
}

Text Form1::GetCaption() { return WindowText(window_); }

void Form1::SetCaption(const Text& caption) { SetWindowTextW(window_, Wide(caption)); }

VersionNumbers Form1::ProgramVersion() {
  // The program's own VERSIONINFO resource is the one source of its version.
  VersionNumbers version;
  const HRSRC info =
      FindResourceW(instance_, MAKEINTRESOURCEW(VS_VERSION_INFO), MAKEINTRESOURCEW(16));  // RT_VERSION
  if (info == nullptr) return version;
  const HGLOBAL loaded = LoadResource(instance_, info);
  const void* data = loaded != nullptr ? LockResource(loaded) : nullptr;
  if (data == nullptr) return version;
  // VerQueryValueW may write to its block; give it a copy.
  const auto* bytes = static_cast<const BYTE*>(data);
  std::vector<BYTE> block(bytes, bytes + SizeofResource(instance_, info));
  VS_FIXEDFILEINFO* fixed = nullptr;
  UINT length = 0;
  if (VerQueryValueW(block.data(), L"\\", reinterpret_cast<void**>(&fixed), &length) && fixed != nullptr &&
      length >= sizeof *fixed) {
    version.major = static_cast<std::int16_t>(HIWORD(fixed->dwFileVersionMS));
    version.minor = static_cast<std::int16_t>(LOWORD(fixed->dwFileVersionMS));
  }
  return version;
}

void Form1::MarkFirstOption() {
  CheckRadioButton(window_, kRadioFirstId, kRadioFirstId + kRadioCount - 1, kRadioFirstId);
}

Text Form1::GetDispText() { return WindowText(disp_); }

void Form1::SetDispText(const Text& text) { SetWindowTextW(disp_, Wide(text)); }

bool Form1::OpenClipboardRetrying() {
  // Another program may hold the clipboard for a moment. The window must be
  // the owner: with a NULL owner SetClipboardData fails after EmptyClipboard.
  for (int attempt = 0; attempt < kClipboardTries; ++attempt) {
    if (attempt > 0) Sleep(kClipboardRetryMs);
    if (OpenClipboard(window_)) return true;
  }
  return false;
}

ClipboardResult Form1::ReplaceClipboardText(const Text& text) {
  // The text's memory is made ready before the clipboard is opened, so the
  // clipboard is emptied only when there is something to put in its place,
  // and it is held for as short a time as possible.
  const std::size_t bytes = (text.size() + 1) * sizeof(char16_t);
  HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, bytes);
  if (memory == nullptr) return ClipboardResult::OutOfMemory;
  if (void* target = GlobalLock(memory)) {
    std::memcpy(target, text.c_str(), bytes);  // c_str() ends with the NUL
    GlobalUnlock(memory);
  } else {
    GlobalFree(memory);
    return ClipboardResult::OutOfMemory;
  }
  if (!OpenClipboardRetrying()) {
    GlobalFree(memory);
    return ClipboardResult::Busy;
  }
  const bool placed = EmptyClipboard() && SetClipboardData(CF_UNICODETEXT, memory) != nullptr;
  CloseClipboard();
  // Once placed, the memory belongs to the clipboard.
  if (!placed) GlobalFree(memory);
  return placed ? ClipboardResult::Replaced : ClipboardResult::Busy;
}

std::filesystem::path Form1::ProgramDirectory() { return ProgramDirectoryFromSystem(nullptr); }

void Form1::ShowError(const Text& message) {
  ++messagesOpen_;
  MessageBoxW(BoxOwner(), Wide(message), Wide(ui::kDesignedCaption), MB_OK | MB_ICONERROR);
  --messagesOpen_;
}

HWND Form1::BoxOwner() const {
  // Before the window is shown (a score file that cannot be loaded) a box
  // stands alone: owned by a hidden window it would have no taskbar button
  // and could open behind other windows.
  return IsWindowVisible(window_) ? window_ : nullptr;
}

}  // namespace quillbox::win32
