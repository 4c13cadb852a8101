// Does what a player does with quillbox.exe and writes down what the window
// showed, for tools/test.d/37-player.sh to compare with the Linux report
// tool: starts the program, presses each option with the mouse, copies.
// usage: quillbox_player.exe QUILLBOX.EXE OUTDIR
//   OUTDIR receives, in UTF-8: title.txt, view0.txt to view5.txt (the text
//   box after each press), marks.txt (the marked option after each press),
//   clip.txt (the clipboard after the copy), or error.txt (the message box
//   the program showed instead of its window). Between the copy and closing
//   the window it writes OUTDIR/shoot and waits up to 20 s for OUTDIR/shot,
//   so that the caller can take a screenshot.
// Exits 0 when it got that far, 1 otherwise.
#include <windows.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <functional>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "WinTestUtil.h"
#include "ui/win32/ControlIds.h"

namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;
using quillbox::win32::kCommand1Id;
using quillbox::win32::kDispId;
using quillbox::win32::kForm1ClassName;
using quillbox::win32::kRadioCount;
using quillbox::win32::kRadioFirstId;
using quillbox::wintest::ClassOf;
using quillbox::wintest::ReadClipboard;
using quillbox::wintest::TextOf;
using quillbox::wintest::WaitFor;

std::string Utf8(const std::wstring& text) {
  if (text.empty()) return {};
  const int n = WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0,
                                    nullptr, nullptr);
  std::string out(static_cast<std::size_t>(n), '\0');
  WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), out.data(), n, nullptr,
                      nullptr);
  return out;
}

void WriteFile(const fs::path& file, const std::wstring& text) {
  std::ofstream(file, std::ios::binary) << Utf8(text);
}

// A visible top-level window of process `pid` with the class `className`.
HWND FindTopLevel(DWORD pid, const wchar_t* className) {
  struct Search {
    DWORD pid;
    const wchar_t* className;
    HWND found;
  } search{pid, className, nullptr};
  EnumWindows(
      [](HWND window, LPARAM param) -> BOOL {
        auto* s = reinterpret_cast<Search*>(param);
        DWORD owner = 0;
        GetWindowThreadProcessId(window, &owner);
        if (owner != s->pid || ClassOf(window) != s->className || !IsWindowVisible(window)) return TRUE;
        s->found = window;
        return FALSE;
      },
      reinterpret_cast<LPARAM>(&search));
  return search.found;
}

// The text of a message box: its static controls, one per line.
std::wstring MessageBoxText(HWND box) {
  std::wstring text = TextOf(box) + L"\n";
  for (HWND child = GetWindow(box, GW_CHILD); child != nullptr; child = GetWindow(child, GW_HWNDNEXT)) {
    if (ClassOf(child) == L"Static") text += TextOf(child) + L"\n";
  }
  return text;
}

// A real click near the control's left edge, routed by the system as a
// player's would be.
void Click(HWND control) {
  RECT r{};
  GetWindowRect(control, &r);
  SetCursorPos(r.left + 4, (r.top + r.bottom) / 2);
  INPUT inputs[2] = {};
  inputs[0].type = inputs[1].type = INPUT_MOUSE;
  inputs[0].mi.dwFlags = MOUSEEVENTF_LEFTDOWN;
  inputs[1].mi.dwFlags = MOUSEEVENTF_LEFTUP;
  SendInput(2, inputs, sizeof(INPUT));
}

void ClearClipboard() {
  if (WaitFor([] { return OpenClipboard(nullptr) != FALSE; }, 5s)) {
    EmptyClipboard();
    CloseClipboard();
  }
}

int Fail(const char* what) {
  std::fprintf(stderr, "player: %s\n", what);
  return 1;
}

int Drive(HWND form, const fs::path& out) {
  WriteFile(out / L"title.txt", TextOf(form));
  const HWND disp = GetDlgItem(form, kDispId);
  if (!WaitFor([&] { return !TextOf(disp).empty(); })) return Fail("the text box stayed empty");
  std::wstring marks;
  for (int i = 0; i < kRadioCount; ++i) {
    // Emptied first, so that the view's own text is seen arriving even
    // when it equals what was shown before.
    SendMessageW(disp, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L""));
    Click(GetDlgItem(form, kRadioFirstId + i));
    if (!WaitFor([&] { return !TextOf(disp).empty(); })) return Fail("a press showed no view");
    WriteFile(out / (L"view" + std::to_wstring(i) + L".txt"), TextOf(disp));
    for (int j = 0; j < kRadioCount; ++j) {
      if (SendMessageW(GetDlgItem(form, kRadioFirstId + j), BM_GETCHECK, 0, 0) == BST_CHECKED)
        marks += std::to_wstring(j);
    }
    marks += L"\n";
  }
  WriteFile(out / L"marks.txt", marks);

  ClearClipboard();
  Click(GetDlgItem(form, kCommand1Id));
  std::optional<std::wstring> copied;
  WaitFor([&] { return (copied = ReadClipboard()).has_value(); }, 5s);
  if (!copied) return Fail("the copy put no text on the clipboard");
  WriteFile(out / L"clip.txt", *copied);

  WriteFile(out / L"shoot", L"");
  WaitFor([&] { return fs::exists(out / L"shot"); });
  return 0;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  if (argc != 3) return Fail("usage: quillbox_player.exe QUILLBOX.EXE OUTDIR");
  const fs::path exe = argv[1];
  const fs::path out = argv[2];
  fs::create_directories(out);

  std::wstring commandLine = L"\"" + exe.wstring() + L"\"";
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process{};
  // Started from another folder, as a shortcut may: hsc.ini is found beside the program.
  const std::wstring elsewhere = fs::temp_directory_path().wstring();
  if (!CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, elsewhere.c_str(),
                      &startup, &process)) {
    return Fail("cannot start the program");
  }

  HWND form = nullptr;
  HWND box = nullptr;
  WaitFor([&] {
    form = FindTopLevel(process.dwProcessId, kForm1ClassName);
    box = FindTopLevel(process.dwProcessId, L"#32770");
    return form != nullptr || box != nullptr;
  });
  int status = 1;
  if (box != nullptr) {
    WriteFile(out / L"error.txt", MessageBoxText(box));
    PostMessageW(box, WM_CLOSE, 0, 0);
    Fail("the program showed a message box instead of its window");
  } else if (form == nullptr) {
    Fail("the window never appeared");
  } else {
    status = Drive(form, out);
    PostMessageW(form, WM_CLOSE, 0, 0);
  }
  if (WaitForSingleObject(process.hProcess, 10000) == WAIT_TIMEOUT) TerminateProcess(process.hProcess, 99);
  CloseHandle(process.hThread);
  CloseHandle(process.hProcess);
  return status;
}
