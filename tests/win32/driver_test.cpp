// Drives the real quillbox.exe: starts it in a folder whose name holds
// Japanese characters and blanks, finds its window and controls, and checks
// what they show against the core's own texts.
#include <gtest/gtest.h>
#include <windows.h>

#include <chrono>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "core/App.h"
#include "core/Version.h"
#include "ranks/Ranks.h"
#include "render/Compare.h"
#include "scores/ScoreFile.h"
#include "ui/common/Layout.h"
#include "ui/win32/ControlIds.h"
#include "ui/win32/Layout.h"
#include "views/Views.h"
#include "WinTestUtil.h"

namespace quillbox::win32 {
namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;

constexpr auto kTimeout = 20s;
using wintest::ClassOf;
using wintest::ReadClipboard;
using wintest::HostPath;
using wintest::ReadBytes;
using wintest::TextOf;
using wintest::WaitFor;
constexpr char16_t kCopySignature[] = u"dori-fen record chart \"quillbox!\" 0.90\r\n";

Text ToText(const std::wstring& s) { return Text(s.begin(), s.end()); }
std::wstring ToWide(const Text& s) { return std::wstring(s.begin(), s.end()); }
std::string Show(const Text& s) { return ToUtf8(s); }

bool IsChecked(HWND button) {
  DWORD_PTR state = 0;
  SendMessageTimeoutW(button, BM_GETCHECK, 0, 0, SMTO_ABORTIFHUNG, 5000, &state);
  return state == BST_CHECKED;
}

// Puts `text` on the clipboard together with a private format, so a test can
// tell whether a later copy replaced everything.
void SeedClipboard(const std::wstring& text, UINT privateFormat) {
  ASSERT_TRUE(WaitFor([] { return OpenClipboard(nullptr) != FALSE; }, 5s));
  EmptyClipboard();
  for (UINT format : {static_cast<UINT>(CF_UNICODETEXT), privateFormat}) {
    HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, (text.size() + 1) * sizeof(wchar_t));
    std::memcpy(GlobalLock(memory), text.c_str(), (text.size() + 1) * sizeof(wchar_t));
    GlobalUnlock(memory);
    SetClipboardData(format, memory);
  }
  CloseClipboard();
}

// quillbox.exe copied into a fresh folder beside a score file, then started.
class RunningApp {
 public:
  explicit RunningApp(const std::optional<std::string>& scoreBytes) {
    static int serial = 0;
    folder_ = fs::temp_directory_path() / (L"quillbox テスト 結果 " + std::to_wstring(GetCurrentProcessId()) +
                                           L"-" + std::to_wstring(++serial));
    fs::create_directories(folder_);
    fs::copy_file(HostPath(QUILLBOX_EXE), folder_ / L"quillbox.exe");
    if (scoreBytes) std::ofstream(folder_ / L"hsc.ini", std::ios::binary) << *scoreBytes;

    std::wstring commandLine = L"\"" + (folder_ / L"quillbox.exe").wstring() + L"\"";
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    // Started from another directory: the program must find hsc.ini beside itself.
    const std::wstring elsewhere = fs::temp_directory_path().wstring();
    if (!CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, elsewhere.c_str(),
                        &startup, &process_)) {
      ADD_FAILURE() << "CreateProcessW failed: " << GetLastError();
    }
  }

  ~RunningApp() {
    if (process_.hProcess != nullptr) {
      if (WaitForSingleObject(process_.hProcess, 0) == WAIT_TIMEOUT) {
        if (HWND form = FindTopLevel(kForm1ClassName, false)) PostMessageW(form, WM_CLOSE, 0, 0);
        if (WaitForSingleObject(process_.hProcess, 5000) == WAIT_TIMEOUT)
          TerminateProcess(process_.hProcess, 99);
        WaitForSingleObject(process_.hProcess, 5000);
      }
      CloseHandle(process_.hThread);
      CloseHandle(process_.hProcess);
    }
    std::error_code ignored;
    fs::remove_all(folder_, ignored);
  }
  RunningApp(const RunningApp&) = delete;
  RunningApp& operator=(const RunningApp&) = delete;

  const fs::path& folder() const { return folder_; }

  // A top-level window of this process with the given class.
  HWND FindTopLevel(const wchar_t* className, bool visibleOnly) const {
    struct Search {
      DWORD pid;
      const wchar_t* className;
      bool visibleOnly;
      HWND found;
    } search{process_.dwProcessId, className, visibleOnly, nullptr};
    EnumWindows(
        [](HWND window, LPARAM param) -> BOOL {
          auto* s = reinterpret_cast<Search*>(param);
          DWORD pid = 0;
          GetWindowThreadProcessId(window, &pid);
          if (pid != s->pid || ClassOf(window) != s->className ||
              (s->visibleOnly && !IsWindowVisible(window))) {
            return TRUE;
          }
          s->found = window;
          return FALSE;
        },
        reinterpret_cast<LPARAM>(&search));
    return search.found;
  }

  HWND WaitForTopLevel(const wchar_t* className, std::chrono::milliseconds timeout = kTimeout) const {
    HWND found = nullptr;
    WaitFor([&] { return (found = FindTopLevel(className, true)) != nullptr; }, timeout);
    return found;
  }

  std::optional<DWORD> WaitForExit() const {
    if (WaitForSingleObject(process_.hProcess, 20000) != WAIT_OBJECT_0) return std::nullopt;
    DWORD code = 0;
    GetExitCodeProcess(process_.hProcess, &code);
    return code;
  }

 private:
  fs::path folder_;
  PROCESS_INFORMATION process_{};
};

// A real click: the system routes it, to a window that holds the mouse if one does.
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

class Form1Driver : public ::testing::Test {
 protected:
  // The score file the program starts with.
  virtual std::string ScoreBytes() const { return ReadBytes(HostPath(QUILLBOX_EXAMPLES_DIR) / L"hsc.ini"); }

  void SetUp() override {
    bytes_ = ScoreBytes();
    ASSERT_FALSE(bytes_.empty());
    LoadResult loaded = ParseScoreFile(bytes_);
    ASSERT_FALSE(loaded.error.has_value());
    songs_ = std::move(loaded.songs);
    InitRanks(ranks_);
    InitPartNames(partNames_);

    app_.emplace(bytes_);
    form_ = app_->WaitForTopLevel(kForm1ClassName, startTimeout_);
    ASSERT_NE(form_, nullptr) << "the window never appeared";
    disp_ = GetDlgItem(form_, kDispId);
    command1_ = GetDlgItem(form_, kCommand1Id);
    for (int i = 0; i < kRadioCount; ++i) radio_[i] = GetDlgItem(form_, kRadioFirstId + i);
    ASSERT_TRUE(WaitFor([&] { return !TextOf(disp_).empty(); }));
  }

  Text Disp() const { return ToText(TextOf(disp_)); }
  bool DispBecomes(const Text& expected) const {
    return WaitFor([&] { return Disp() == expected; }, 5s);
  }
  void Press(int option, UINT down, UINT up) const {
    const LPARAM inside = MAKELPARAM(4, 4);
    const WPARAM held = down == WM_RBUTTONDOWN   ? MK_RBUTTON
                        : down == WM_MBUTTONDOWN ? MK_MBUTTON
                                                 : MK_LBUTTON;
    PostMessageW(radio_[option], down, held, inside);
    PostMessageW(radio_[option], up, 0, inside);
  }

  std::chrono::milliseconds startTimeout_ = kTimeout;
  std::string bytes_;
  Songs songs_;
  Ranks ranks_{};
  PartNames partNames_{};
  std::optional<RunningApp> app_;
  HWND form_ = nullptr;
  HWND disp_ = nullptr;
  HWND command1_ = nullptr;
  HWND radio_[kRadioCount] = {};
};

TEST_F(Form1Driver, StartsWithVersionedCaptionFirstOptionMarkedAndHiPerfectChart) {
  EXPECT_EQ(TextOf(form_), ToWide(Text(ui::kDesignedCaption) + u"   Ver 0.90"));
  for (int i = 0; i < kRadioCount; ++i) EXPECT_EQ(IsChecked(radio_[i]), i == 0) << "option " << i;
  EXPECT_EQ(Show(Disp()), Show(ChartText(songs_, kHiPerfectChart)));
}

TEST_F(Form1Driver, ControlsHaveTheirCaptionsPlacesFocusOrderAndStyles) {
  struct Expected {
    int id;
    std::optional<std::wstring> caption;  // none for the text box, which shows the chart
    const ui::ControlDesign* place;       // none for the label
  };
  // The design's order is the focus order. The text box's label, unseen,
  // comes right before it and takes no place. The IDs are the ones
  // ControlIds.h promises, worked out here rather than taken from Layout.h.
  std::vector<Expected> expected;
  for (const ui::ControlDesign& design : ui::kControls) {
    switch (design.kind) {
      case ui::ControlKind::Radio:
        expected.push_back({kRadioFirstId + design.option, ToWide(design.caption), &design});
        break;
      case ui::ControlKind::Disp:
        expected.push_back({kDispLabelId, L"レポート", nullptr});
        expected.push_back({kDispId, std::nullopt, &design});
        break;
      case ui::ControlKind::Command1:
        expected.push_back({kCommand1Id, ToWide(design.caption), &design});
        break;
    }
  }
  const HDC screen = GetDC(nullptr);
  const int dpi = GetDeviceCaps(screen, LOGPIXELSY);
  ReleaseDC(nullptr, screen);

  RECT client{};
  GetClientRect(form_, &client);
  EXPECT_EQ(client.right, TwipsToPixels(ui::kClientWidthTwips, dpi));
  EXPECT_EQ(client.bottom, TwipsToPixels(ui::kClientHeightTwips, dpi));
  const LONG formStyle = GetWindowLongW(form_, GWL_STYLE);
  EXPECT_EQ(formStyle & (WS_THICKFRAME | WS_MAXIMIZEBOX), 0) << "the window must keep its size";

  HWND child = GetWindow(form_, GW_CHILD);
  for (const Expected& e : expected) {
    ASSERT_NE(child, nullptr);
    EXPECT_EQ(GetDlgCtrlID(child), e.id) << "focus order";
    const HWND control = GetDlgItem(form_, e.id);
    if (e.caption) {
      EXPECT_EQ(TextOf(control), *e.caption);
    }
    if (e.id == kDispLabelId) {
      EXPECT_EQ(GetWindowLongW(control, GWL_STYLE) & (WS_VISIBLE | WS_TABSTOP | WS_GROUP), 0);
      child = GetWindow(child, GW_HWNDNEXT);
      continue;
    }
    RECT r{};
    GetWindowRect(control, &r);
    MapWindowPoints(nullptr, form_, reinterpret_cast<POINT*>(&r), 2);
    EXPECT_EQ(r.left, TwipsToPixels(e.place->left, dpi)) << "control " << e.id;
    EXPECT_EQ(r.top, TwipsToPixels(e.place->top, dpi)) << "control " << e.id;
    EXPECT_EQ(r.right - r.left, TwipsToPixels(e.place->width, dpi)) << "control " << e.id;
    EXPECT_EQ(r.bottom - r.top, TwipsToPixels(e.place->height, dpi)) << "control " << e.id;
    const LONG style = GetWindowLongW(control, GWL_STYLE);
    EXPECT_EQ((style & WS_GROUP) != 0, e.id == kRadioFirstId) << "one option group, control " << e.id;
    child = GetWindow(child, GW_HWNDNEXT);
  }
  const LONG dispStyle = GetWindowLongW(disp_, GWL_STYLE);
  EXPECT_NE(dispStyle & ES_MULTILINE, 0);
  EXPECT_EQ(dispStyle & (WS_HSCROLL | WS_VSCROLL | ES_AUTOHSCROLL), 0) << "no scroll bars; long lines wrap";
}

TEST_F(Form1Driver, EveryMouseButtonPressShowsThatOptionsView) {
  InitPartNames(partNames_);
  const struct {
    int option;
    UINT down, up;
    Text expected;
  } cases[] = {
      {2, WM_RBUTTONDOWN, WM_RBUTTONUP, ChartText(songs_, kPlayCountChart)},
      {3, WM_LBUTTONDOWN, WM_LBUTTONUP, RankSummaryText(songs_, ranks_)},
      {1, WM_MBUTTONDOWN, WM_MBUTTONUP, ChartText(songs_, kBestScoreChart)},
      {0, WM_LBUTTONDBLCLK, WM_LBUTTONUP, ChartText(songs_, kHiPerfectChart)},
  };
  for (const auto& c : cases) {
    Press(c.option, c.down, c.up);
    EXPECT_TRUE(DispBecomes(c.expected)) << "option " << c.option << " shows:\n" << Show(Disp());
  }

  // The random picks: whatever part they pick, the text is that part's detail.
  for (int option : {4, 5}) {
    // Two picks may land on the same part: start each from a text no pick shows.
    SendMessageW(disp_, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L"-"));
    const Text before = Disp();
    Press(option, WM_LBUTTONDOWN, WM_LBUTTONUP);
    ASSERT_TRUE(WaitFor([&] { return Disp() != before; }, 5s)) << "option " << option;
    const Text shown = Disp();
    bool isDetail = false;
    for (std::int32_t song = 1; song <= songs_.SongCount() && !isDetail; ++song) {
      for (std::int32_t part = 1; part <= 8 && !isDetail; ++part) {
        isDetail = PartDetailText(songs_, partNames_, song, part) == shown;
      }
    }
    EXPECT_TRUE(isDetail) << "option " << option << " shows:\n" << Show(shown);
  }
}

TEST_F(Form1Driver, KeyboardMovesTheMarkButNotTheView) {
  const Text chart = ChartText(songs_, kHiPerfectChart);
  ASSERT_EQ(Show(Disp()), Show(chart));
  // Down from option 0 goes to option 2, then option 1: the focus order.
  for (int next : {2, 1}) {
    const int from = next == 2 ? 0 : 2;
    PostMessageW(radio_[from], WM_KEYDOWN, VK_DOWN, 1);
    PostMessageW(radio_[from], WM_KEYUP, VK_DOWN, 1);
    EXPECT_TRUE(WaitFor([&] { return IsChecked(radio_[next]); }, 5s)) << "the mark did not move to " << next;
    EXPECT_FALSE(IsChecked(radio_[from]));
    EXPECT_EQ(Show(Disp()), Show(chart));
  }
}

TEST_F(Form1Driver, TabWalksTheTabStopsAndEscDoesNotCloseTheWindow) {
  GUITHREADINFO info{};
  info.cbSize = sizeof info;
  const DWORD thread = GetWindowThreadProcessId(form_, nullptr);
  const auto focused = [&] { return GetGUIThreadInfo(thread, &info) ? info.hwndFocus : nullptr; };
  ASSERT_TRUE(WaitFor([&] { return focused() == radio_[0]; }, 5s));
  // Of the options only the marked one is a tab stop, as usual for a group.
  for (HWND next : {disp_, command1_, radio_[0]}) {
    const HWND from = focused();
    if (from == disp_) {
      // A multi-line edit asks its parent to close on Esc; this window must not.
      PostMessageW(from, WM_KEYDOWN, VK_ESCAPE, 1);
      PostMessageW(from, WM_KEYUP, VK_ESCAPE, 1);
    }
    PostMessageW(from, WM_KEYDOWN, VK_TAB, 1);
    PostMessageW(from, WM_KEYUP, VK_TAB, 1);
    EXPECT_TRUE(WaitFor([&] { return focused() == next; }, 5s))
        << "Tab from " << GetDlgCtrlID(from) << " reached " << GetDlgCtrlID(focused());
    // The caret stays at the start; a selected report would go with the next key.
    if (next == disp_) {
      EXPECT_EQ(SendMessageW(disp_, EM_GETSEL, 0, 0), 0) << "the report is selected";
    }
  }
  EXPECT_TRUE(IsWindow(form_)) << "Esc in the text box closed the window";
  EXPECT_EQ(Show(Disp()), Show(ChartText(songs_, kHiPerfectChart))) << "Tab must not type into the text box";
}

TEST_F(Form1Driver, CopyPutsTheShownTextAndSignatureInPlaceOfEverything) {
  const UINT privateFormat = RegisterClipboardFormatW(L"quillbox.driver.marker");
  Press(3, WM_LBUTTONDOWN, WM_LBUTTONUP);
  const Text summary = RankSummaryText(songs_, ranks_);
  ASSERT_TRUE(DispBecomes(summary));

  SeedClipboard(L"before", privateFormat);
  DWORD_PTR ignored = 0;
  SendMessageTimeoutW(command1_, BM_CLICK, 0, 0, SMTO_ABORTIFHUNG, 10000, &ignored);
  EXPECT_EQ(ReadClipboard().value_or(L"(none)"), ToWide(summary + kCopySignature));
  EXPECT_FALSE(IsClipboardFormatAvailable(privateFormat)) << "the copy must replace every format";
  EXPECT_EQ(Show(Disp()), Show(summary)) << "copying changes nothing but the clipboard";

  // The space bar and Enter on the focused button are the same click.
  DWORD_PTR focused = 0;
  SendMessageTimeoutW(form_, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(command1_), TRUE, SMTO_ABORTIFHUNG,
                      10000, &focused);
  for (const WPARAM key : {VK_SPACE, VK_RETURN}) {
    SCOPED_TRACE(key);
    SeedClipboard(L"before", privateFormat);
    PostMessageW(command1_, WM_KEYDOWN, key, 1);
    PostMessageW(command1_, WM_KEYUP, key, 1);
    EXPECT_TRUE(WaitFor([&] { return ReadClipboard() == ToWide(summary + kCopySignature); }, 5s));
  }
}

// The box has no scroll bar: the wheel and the keys must still reach the
// lines below its lower edge, and a copy holds them whether shown or not.
TEST_F(Form1Driver, WheelPageDownAndCtrlEndReachTheLinesBelowTheBoxAndACopyHoldsThem) {
  const Text chart = ChartText(songs_, kHiPerfectChart);
  const auto key = [](WORD code, bool up) {
    INPUT input{};
    input.type = INPUT_KEYBOARD;
    input.ki.wVk = code;
    input.ki.dwFlags = up ? KEYEVENTF_KEYUP : 0;
    return input;
  };
  INPUT wheel{};
  wheel.type = INPUT_MOUSE;
  wheel.mi.dwFlags = MOUSEEVENTF_WHEEL;
  wheel.mi.mouseData = static_cast<DWORD>(-3 * WHEEL_DELTA);
  const struct {
    const char* way;
    std::vector<INPUT> input;
  } ways[] = {
      {"wheel", {wheel}},
      {"Page Down", {key(VK_NEXT, false), key(VK_NEXT, true)}},
      {"Ctrl+End", {key(VK_CONTROL, false), key(VK_END, false), key(VK_END, true), key(VK_CONTROL, true)}},
  };
  SetForegroundWindow(form_);
  for (const auto& way : ways) {
    SCOPED_TRACE(way.way);
    // A view shows its text from the first line.
    Press(0, WM_LBUTTONDOWN, WM_LBUTTONUP);
    ASSERT_TRUE(DispBecomes(chart));
    ASSERT_EQ(SendMessageW(disp_, EM_GETFIRSTVISIBLELINE, 0, 0), 0);
    DWORD_PTR ignored = 0;
    SendMessageTimeoutW(form_, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(disp_), TRUE, SMTO_ABORTIFHUNG, 10000,
                        &ignored);
    RECT box{};
    GetWindowRect(disp_, &box);
    SetCursorPos((box.left + box.right) / 2, (box.top + box.bottom) / 2);
    std::vector<INPUT> input = way.input;
    SendInput(static_cast<UINT>(input.size()), input.data(), sizeof(INPUT));
    EXPECT_TRUE(WaitFor([&] { return SendMessageW(disp_, EM_GETFIRSTVISIBLELINE, 0, 0) > 0; }, 5s))
        << "the box still shows its first line";
    SendMessageTimeoutW(command1_, BM_CLICK, 0, 0, SMTO_ABORTIFHUNG, 10000, &ignored);
    EXPECT_EQ(ReadClipboard().value_or(L"(none)"), ToWide(chart + kCopySignature));
  }
}

// F5 from the keyboard, whichever control has the focus, after the game
// saved: the session's changes, then Perfect charts the new table.
TEST_F(Form1Driver, F5ShowsTheSessionsChangesAndThePressesShowTheNewTable) {
  std::string later = bytes_;
  const std::size_t at = later.find("HPR1=82");
  ASSERT_NE(at, std::string::npos);
  later.replace(at, 7, "HPR1=95");
  std::ofstream(app_->folder() / L"hsc.ini", std::ios::binary | std::ios::trunc) << later;
  const Songs now = ParseScoreFile(later).songs;
  PostMessageW(command1_, WM_KEYDOWN, VK_F5, 1);
  PostMessageW(command1_, WM_KEYUP, VK_F5, 1);
  const Text changes =
      ComparisonText(songs_, now, partNames_, CompareTables(songs_, now, ranks_), Language::Japanese);
  EXPECT_TRUE(DispBecomes(changes)) << Show(Disp());
  EXPECT_TRUE(IsChecked(radio_[0]));
  Press(0, WM_LBUTTONDOWN, WM_LBUTTONUP);
  EXPECT_TRUE(DispBecomes(ChartText(now, kHiPerfectChart))) << Show(Disp());
}

TEST_F(Form1Driver, BusyClipboardIsReportedAndNothingChanges) {
  const UINT privateFormat = RegisterClipboardFormatW(L"quillbox.driver.marker");
  SeedClipboard(L"held by another program", privateFormat);
  const Text shown = Disp();
  ASSERT_TRUE(OpenClipboard(nullptr));
  PostMessageW(command1_, BM_CLICK, 0, 0);
  const HWND box = app_->WaitForTopLevel(L"#32770");
  CloseClipboard();
  ASSERT_NE(box, nullptr) << "no message box for the busy clipboard";
  EXPECT_NE(TextOf(GetDlgItem(box, 0xFFFF)).find(L"クリップボード"), std::wstring::npos);
  PostMessageW(box, WM_COMMAND, IDOK, 0);
  EXPECT_TRUE(WaitFor([&] { return !IsWindow(box); }, 5s));
  EXPECT_EQ(ReadClipboard().value_or(L"(none)"), L"held by another program");
  EXPECT_TRUE(IsClipboardFormatAvailable(privateFormat));
  EXPECT_EQ(Show(Disp()), Show(shown));
}

// A NUL would end the text in the text box and on the clipboard.
class NulInATitle : public Form1Driver {
 protected:
  std::string ScoreBytes() const override {
    using namespace std::string_literals;
    return "[Be\0fore\\Normal]\r\nHPR1=7\r\n[After\\Normal]\r\nHPR2=9\r\n[Last\\Normal]\r\nHPR8=1\r\n"s;
  }
};

TEST_F(NulInATitle, EverySongIsShownAndCopied) {
  const Text chart = ChartText(songs_, kHiPerfectChart);
  EXPECT_EQ(Show(Disp()), Show(chart));
  DWORD_PTR ignored = 0;
  SendMessageTimeoutW(command1_, BM_CLICK, 0, 0, SMTO_ABORTIFHUNG, 10000, &ignored);
  EXPECT_EQ(ReadClipboard().value_or(L"(none)"), ToWide(chart + kCopySignature));
}

// Each song adds 3060 to the overall rank line (four front parts once, four
// back parts twice, all 255): 701 800 songs pass 2^31 - 1.
class OverflowingRanks : public Form1Driver {
 protected:
  // Under wine the window takes half a minute to show a chart that long.
  OverflowingRanks() { startTimeout_ = 180s; }
  std::string ScoreBytes() const override {
    std::string song = "x\\\r\n";
    for (int part = 1; part <= 8; ++part) song += "HPR" + std::to_string(part) + "=255\r\n";
    constexpr std::size_t kSongs = 701800;
    std::string bytes;
    bytes.reserve(song.size() * kSongs);
    for (std::size_t i = 0; i < kSongs; ++i) bytes += song;
    return bytes;
  }
};

TEST_F(OverflowingRanks, AViewsErrorBoxLeavesNoOptionHoldingTheMouse) {
  // A short text, not the chart of 700 000 rows, keeps the checks quick.
  DWORD_PTR ignored = 0;
  SendMessageTimeoutW(disp_, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L"kept"), SMTO_ABORTIFHUNG, 10000,
                      &ignored);

  Click(radio_[3]);
  const HWND box = app_->WaitForTopLevel(L"#32770");
  ASSERT_NE(box, nullptr) << "no message box for the overflowing rank summary";
  EXPECT_NE(TextOf(GetDlgItem(box, 0xFFFF)).find(L"段位"), std::wstring::npos);
  EXPECT_EQ(GetWindow(box, GW_OWNER), form_) << "a box over the shown window belongs to it";
  PostMessageW(box, WM_COMMAND, IDOK, 0);
  ASSERT_TRUE(WaitFor([&] { return !IsWindow(box); }, 5s));
  // Asking for the text also waits until the window has finished with the press.
  EXPECT_EQ(Show(Disp()), "kept");
  GUITHREADINFO info{};
  info.cbSize = sizeof info;
  ASSERT_TRUE(GetGUIThreadInfo(GetWindowThreadProcessId(form_, nullptr), &info));
  EXPECT_EQ(info.hwndCapture, nullptr) << "control " << GetDlgCtrlID(info.hwndCapture) << " holds the mouse";

  // The next click goes where it is aimed: option 4 picks a part, no second box.
  ASSERT_EQ(GetForegroundWindow(), form_);
  Click(radio_[4]);
  HWND secondBox = nullptr;
  WaitFor([&] { return (secondBox = app_->FindTopLevel(L"#32770", true)) != nullptr || Disp() != u"kept"; });
  if (secondBox != nullptr) PostMessageW(secondBox, WM_COMMAND, IDOK, 0);
  ASSERT_EQ(secondBox, nullptr) << "the click ran option 3 again";
  // Every song is alike but for its number, which the detail starts with.
  const Text shown = Disp();
  const std::int32_t song = std::stoi(Show(shown));
  bool isDetail = false;
  for (std::int32_t part = 1; part <= 8 && !isDetail; ++part) {
    isDetail = PartDetailText(songs_, partNames_, song, part) == shown;
  }
  EXPECT_TRUE(isDetail) << Show(shown);
}

TEST(Form1Start, ATableOfThousandsOfSongsIsShownWhole) {
  std::string bytes;
  for (int song = 1; song <= 1500; ++song) {
    bytes += "[Song " + std::to_string(song) + "\\Normal]\r\nHPR1=" + std::to_string(song % 100) + "\r\n";
  }
  const Text expected = ChartText(ParseScoreFile(bytes).songs, kHiPerfectChart);
  ASSERT_GT(expected.size(), 32767u);
  RunningApp app(bytes);
  const HWND form = app.WaitForTopLevel(kForm1ClassName);
  ASSERT_NE(form, nullptr);
  const HWND disp = GetDlgItem(form, kDispId);
  EXPECT_TRUE(WaitFor([&] { return ToText(TextOf(disp)) == expected; }, 5s))
      << TextOf(disp).size() << " characters";
}

TEST(Form1Start, AScoreFileThatCannotBeLoadedEndsWithStatus1WithoutTheWindow) {
  const struct {
    const char* what;
    std::optional<std::string> bytes;
    const wchar_t* mentions;
  } cases[] = {
      {"missing", std::nullopt, L"hsc.ini"},
      {"part 9", std::string("[Song\\Normal]\r\nHPR9=5\r\n"), L"HPR9=5"},
      {"no title", std::string("\\Normal\r\n"), L"hsc.ini"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    RunningApp app(c.bytes);
    const HWND box = app.WaitForTopLevel(L"#32770");
    ASSERT_NE(box, nullptr) << "no error message box";
    const std::wstring message = TextOf(GetDlgItem(box, 0xFFFF));
    EXPECT_NE(message.find(c.mentions), std::wstring::npos) << Show(ToText(message));
    // The message names the file in its folder, Japanese name and all.
    EXPECT_NE(message.find(app.folder().filename().wstring()), std::wstring::npos) << Show(ToText(message));
    EXPECT_EQ(app.FindTopLevel(kForm1ClassName, true), nullptr) << "the window must not be shown";
    // Owned by the hidden window, the box would have no taskbar button and
    // could open behind other windows.
    EXPECT_EQ(GetWindow(box, GW_OWNER), nullptr);
    PostMessageW(box, WM_COMMAND, IDOK, 0);
    EXPECT_EQ(app.WaitForExit(), std::optional<DWORD>(1));
  }
}

// Runs `commandLine` with standard output going to `file`; returns the exit status.
std::optional<DWORD> RunRedirected(std::wstring commandLine, const fs::path& file) {
  SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
  const HANDLE out = CreateFileW(file.c_str(), GENERIC_WRITE, FILE_SHARE_READ, &inherit, CREATE_ALWAYS,
                                 FILE_ATTRIBUTE_NORMAL, nullptr);
  if (out == INVALID_HANDLE_VALUE) return std::nullopt;
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESTDHANDLES;
  startup.hStdOutput = out;
  startup.hStdError = GetStdHandle(STD_ERROR_HANDLE);
  startup.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
  PROCESS_INFORMATION process{};
  std::optional<DWORD> code;
  if (CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, TRUE, CREATE_NO_WINDOW, nullptr, nullptr,
                     &startup, &process)) {
    if (WaitForSingleObject(process.hProcess, 20000) == WAIT_OBJECT_0) {
      DWORD exit = 0;
      GetExitCodeProcess(process.hProcess, &exit);
      code = exit;
    }
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
  }
  CloseHandle(out);
  return code;
}

TEST(ReportTool, RedirectedOutputIsUtf8WithLineEndsKeptAndJapanesePathsWork) {
  const std::string bytes = ReadBytes(HostPath(QUILLBOX_EXAMPLES_DIR) / L"hsc.ini");
  const Songs songs = ParseScoreFile(bytes).songs;
  const fs::path folder =
      fs::temp_directory_path() / (L"quillbox レポート " + std::to_wstring(GetCurrentProcessId()));
  fs::create_directories(folder);
  std::ofstream(folder / L"スコア.ini", std::ios::binary) << bytes;

  const struct {
    const wchar_t* arguments;
    Text expected;
  } cases[] = {
      {L"perfect", ChartText(songs, kHiPerfectChart)},
      {L"--copy playcount",
       ChartText(songs, kPlayCountChart) + u"dori-fen record chart \"quillbox!\" 0.90\r\n"},
      {L"--version", FromUtf8("quillbox-report " + std::to_string(build::kVersionMajor) + "." +
                              std::to_string(build::kVersionMinor) + "." + std::to_string(build::kVersionPatch) +
                              "\n")},
  };
  int run = 0;
  for (const auto& c : cases) {
    // A fresh file each time: wine's console helper may still hold the last one.
    const fs::path output = folder / (L"out" + std::to_wstring(++run) + L".txt");
    const std::wstring commandLine = L"\"" + HostPath(QUILLBOX_REPORT_EXE).wstring() + L"\" --file \"" +
                                     (folder / L"スコア.ini").wstring() + L"\" " + c.arguments;
    EXPECT_EQ(RunRedirected(commandLine, output), std::optional<DWORD>(0)) << Show(ToText(c.arguments));
    EXPECT_EQ(ReadBytes(output), ToUtf8(c.expected)) << Show(ToText(c.arguments));
  }
  std::error_code ignored;
  fs::remove_all(folder, ignored);
}

}  // namespace
}  // namespace quillbox::win32
