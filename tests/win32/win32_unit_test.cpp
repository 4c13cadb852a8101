// In-process checks: the twips conversion, the choice of the text box font,
// reading a score file that another program holds, and the hidden window's
// answers to what Windows sends it.
#include <gtest/gtest.h>
#include <oleacc.h>
#include <windows.h>

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <new>
#include <shlobj.h>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "scores/ScoreFile.h"
#include "core/App.h"
#include "core/FileTime.h"
#include "render/Compare.h"
#include "render/History.h"
#include "ui/common/Layout.h"
#include "ui/win32/CaptionFont.h"
#include "ui/win32/DispFont.h"
#include "ui/win32/Form1.h"
#include "ui/win32/Layout.h"
#include "WinTestUtil.h"

namespace {
// Set by a test: this many of the next allocations on this thread fail as if
// memory had run out.
thread_local int failingAllocations = 0;
}  // namespace

void* operator new(std::size_t size) {
  if (failingAllocations > 0) {
    --failingAllocations;
    throw std::bad_alloc();
  }
  if (void* memory = std::malloc(size != 0 ? size : 1)) return memory;
  throw std::bad_alloc();
}
// Not inlined: GCC would then see `new` paired with free() and warn.
[[gnu::noinline]] void operator delete(void* memory) noexcept { std::free(memory); }
[[gnu::noinline]] void operator delete(void* memory, std::size_t) noexcept { std::free(memory); }

namespace quillbox::win32 {
namespace {

TEST(TwipsToPixels, ConvertsAtTheWindowsDpiRoundingToNearest) {
  const struct {
    int twips, dpi, pixels;
  } cases[] = {
      {8295, 96, 553},   {5940, 96, 396},  {15, 96, 1},      {7, 96, 0},
      {8, 96, 1},        {8295, 120, 691}, {8295, 144, 830}, {5940, 144, 594},
      {8295, 192, 1106}, {180, 144, 18},   {4575, 288, 915}, {-15, 96, -1},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(TwipsToPixels(c.twips, c.dpi), c.pixels) << c.twips << " twips at " << c.dpi << " dpi";
    EXPECT_EQ(TwipsToPixels(c.twips, c.dpi), MulDiv(c.twips, c.dpi, kTwipsPerInch)) << "agrees with MulDiv";
  }
}

class DispFontTest : public ::testing::Test {
 protected:
  void SetUp() override { dc_ = CreateCompatibleDC(nullptr); }
  void TearDown() override { DeleteDC(dc_); }
  HDC dc_ = nullptr;
};

TEST_F(DispFontTest, MeasuringTellsFixedFromProportionalFaces) {
  // Both IPA faces are installed with the test set-up; only the first is fixed pitch.
  const auto installed = InstalledFaces(dc_);
  if (!installed.contains(L"IPAGothic") || !installed.contains(L"IPAPGothic")) {
    GTEST_SKIP() << "the IPA fonts are not installed";
  }
  const FaceMetrics fixed = MeasureFace(dc_, DispLogFont(L"IPAGothic", 96));
  EXPECT_TRUE(fixed.halfFixed);
  EXPECT_TRUE(fixed.LinesUp()) << "half " << fixed.halfWidth << ", full " << fixed.fullWidth;
  const FaceMetrics proportional = MeasureFace(dc_, DispLogFont(L"IPAPGothic", 96));
  EXPECT_FALSE(proportional.halfFixed);
}

TEST_F(DispFontTest, ChosenFaceLinesUpTheCharts) {
  // The design's faces in its order of preference, the last resorts last.
  std::vector<std::wstring> faces;
  for (const char16_t* face : ui::kDispFontFaces) faces.emplace_back(Wide(face));
  for (const char16_t* face : ui::kDispFontLastResortFaces) faces.emplace_back(Wide(face));
  const auto installed = InstalledFaces(dc_);
  for (UINT dpi : {96u, 144u}) {
    const std::wstring face = ChooseDispFace(dc_, dpi);
    const FaceMetrics metrics = MeasureFace(dc_, DispLogFont(face, dpi));
    EXPECT_TRUE(metrics.LinesUp()) << "at " << dpi << " dpi, half " << metrics.halfWidth << ", full "
                                   << metrics.fullWidth;
    for (const std::wstring& candidate : faces) {
      if (installed.contains(candidate) && MeasureFace(dc_, DispLogFont(candidate, dpi)).LinesUp()) {
        EXPECT_EQ(face, candidate) << "the first of the design's faces that lines up, at " << dpi << " dpi";
        break;
      }
    }
  }
}

TEST(LoadScoreFile, AFileHeldByAnotherProgramIsRefusedOnlyWhenNotShared) {
  namespace fs = std::filesystem;
  const fs::path file =
      fs::temp_directory_path() / (L"quillbox 使用中 " + std::to_wstring(GetCurrentProcessId()) + L".ini");
  std::ofstream(file, std::ios::binary) << "[Song\\Normal]\r\nHPR1=5\r\n";
  const struct {
    const char* what;
    DWORD access, share;
    bool refused;
  } cases[] = {
      {"open with no sharing", GENERIC_READ, 0, true},
      {"open for writing, reading shared", GENERIC_WRITE, FILE_SHARE_READ, false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    const HANDLE held = CreateFileW(file.c_str(), c.access, c.share, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(held, INVALID_HANDLE_VALUE);
    const LoadResult loaded = LoadScoreFile(file);
    CloseHandle(held);
    if (c.refused) {
      ASSERT_TRUE(loaded.error.has_value());
      EXPECT_EQ(loaded.error->reason, "the file is in use by another program");
      EXPECT_EQ(ToUtf8(loaded.error->reasonJa), ToUtf8(u"ほかのアプリがファイルを使用中です"));
    } else {
      EXPECT_FALSE(loaded.error.has_value()) << loaded.error->reason;
      EXPECT_EQ(loaded.songs.SongCount(), 1);
    }
  }
  fs::remove(file);
}

class HiddenForm1 : public ::testing::Test {
 protected:
  void SetUp() override {
    // A window destroyed earlier posted WM_QUIT, which would end the next message box at once.
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
    }
    ASSERT_TRUE(form_.CreateForm());
    window_ = FindWindowW(kForm1ClassName, nullptr);
    ASSERT_NE(window_, nullptr);
  }

  // Where a window lies: the form on the screen, a control in the form's client area.
  RECT FrameOf(HWND window) const {
    RECT r{};
    GetWindowRect(window, &r);
    if (window != window_) MapWindowPoints(nullptr, window_, reinterpret_cast<POINT*>(&r), 2);
    return r;
  }

  Form1 form_{GetModuleHandleW(nullptr)};
  HWND window_ = nullptr;
};

TEST_F(HiddenForm1, ADpiChangeTakesTheSuggestedRectangleAndScalesTheControls) {
  // Sizes a little off what the layout alone would give: Windows' rectangle wins.
  const struct {
    UINT dpi;
    RECT suggested;
  } cases[] = {
      {144, {40, 30, 40 + 900, 30 + 700}},
      {96, {10, 20, 10 + 600, 20 + 480}},
  };
  const HWND disp = GetDlgItem(window_, kDispId);
  for (const auto& c : cases) {
    SCOPED_TRACE(c.dpi);
    SendMessageW(window_, WM_DPICHANGED, MAKEWPARAM(c.dpi, c.dpi), reinterpret_cast<LPARAM>(&c.suggested));
    const RECT frame = FrameOf(window_);
    EXPECT_EQ(frame.left, c.suggested.left);
    EXPECT_EQ(frame.top, c.suggested.top);
    EXPECT_EQ(frame.right, c.suggested.right);
    EXPECT_EQ(frame.bottom, c.suggested.bottom);
    const RECT box = FrameOf(disp);
    const int dpi = static_cast<int>(c.dpi);
    EXPECT_EQ(box.top, TwipsToPixels(840, dpi));
    EXPECT_EQ(box.right - box.left, TwipsToPixels(8295, dpi));
  }
}

// What a caption needs beyond its own extent: an option's mark (the button
// class draws it 13 pixels wide at 96 DPI, scaled, or as wide as the menu
// check mark) and the gap after it (half a '0'); a push button's edge and
// focus frame on both sides.
int CaptionMargin(HDC dc, ControlKind kind, UINT dpi) {
  if (kind != ControlKind::Radio) return 4 * GetSystemMetricsForDpi(SM_CXEDGE, dpi);
  SIZE zero{};
  GetTextExtentPoint32W(dc, L"0", 1, &zero);
  const int mark =
      std::max(GetSystemMetricsForDpi(SM_CXMENUCHECK, dpi), MulDiv(12, static_cast<int>(dpi), 96) + 1);
  return mark + zero.cx / 2;
}

// Bites only with a Japanese font linked to the UI font, as on Windows and in
// tools/test.d/30-win32.sh: without one the caption measures narrower and fits anyway.
TEST_F(HiddenForm1, EveryCaptionFitsItsControlAtEachDpiInTheFontTheControlHolds) {
  std::vector<HFONT> before;
  for (UINT dpi : {96u, 120u, 144u, 192u}) {
    SCOPED_TRACE(dpi);
    const int px = static_cast<int>(dpi);
    const RECT suggested{0, 0, TwipsToPixels(kClientWidthTwips, px), TwipsToPixels(kClientHeightTwips, px)};
    SendMessageW(window_, WM_DPICHANGED, MAKEWPARAM(dpi, dpi), reinterpret_cast<LPARAM>(&suggested));
    // The fonts of the last DPI, the captions' own among them, are freed.
    for (HFONT font : before) EXPECT_EQ(GetObjectType(font), 0u) << font;
    before.clear();
    NONCLIENTMETRICSW metrics{};
    metrics.cbSize = sizeof metrics;
    ASSERT_TRUE(SystemParametersInfoForDpi(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0, dpi));
    const LOGFONTW& platform = metrics.lfMessageFont;
    for (const ControlSpec& design : kControls) {
      if (design.kind == ControlKind::Disp) continue;
      const HWND control = GetDlgItem(window_, design.id);
      wchar_t caption[128] = {};
      const int length = GetWindowTextW(control, caption, 128);
      RECT client{};
      GetClientRect(control, &client);
      // A caption is made to fit by its font, never by a bigger control.
      EXPECT_EQ(client.right, TwipsToPixels(design.width, px));
      EXPECT_EQ(client.bottom, TwipsToPixels(design.height, px));

      const auto font = reinterpret_cast<HFONT>(SendMessageW(control, WM_GETFONT, 0, 0));
      ASSERT_NE(font, nullptr);
      before.push_back(font);
      LOGFONTW held{};
      GetObjectW(font, sizeof held, &held);
      EXPECT_STREQ(held.lfFaceName, platform.lfFaceName) << "control " << design.id;
      EXPECT_LE(std::abs(held.lfHeight), std::abs(platform.lfHeight)) << "control " << design.id;
      const HDC dc = GetDC(control);
      const HGDIOBJ old = SelectObject(dc, font);
      SIZE extent{};
      GetTextExtentPoint32W(dc, caption, length, &extent);
      const int needed = extent.cx + CaptionMargin(dc, design.kind, dpi);
      // Made no smaller than it must: one pixel larger, the caption is cut.
      if (held.lfHeight != platform.lfHeight) {
        LOGFONTW larger = held;
        larger.lfHeight += held.lfHeight < 0 ? -1 : 1;
        const HFONT largerFont = CreateFontIndirectW(&larger);
        SelectObject(dc, largerFont);
        EXPECT_FALSE(CaptionFits(dc, caption, design.kind, SIZE{client.right, client.bottom}, dpi))
            << "control " << design.id;
        SelectObject(dc, font);
        DeleteObject(largerFont);
      }
      SelectObject(dc, old);
      ReleaseDC(control, dc);
      EXPECT_LE(needed, client.right) << "control " << design.id << ": caption " << extent.cx;
    }
  }
}

// The client area of `window` as the window draws it through WM_PRINTCLIENT,
// one pixel a value, row by row.
std::vector<std::uint32_t> Printed(HWND window, int width, int height) {
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof info.bmiHeader;
  info.bmiHeader.biWidth = width;
  info.bmiHeader.biHeight = -height;
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  void* bits = nullptr;
  const HDC dc = CreateCompatibleDC(nullptr);
  const HBITMAP bitmap = CreateDIBSection(dc, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  const HGDIOBJ old = SelectObject(dc, bitmap);
  SendMessageW(window, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(dc), PRF_CLIENT | PRF_ERASEBKGND);
  GdiFlush();
  const auto* pixels = static_cast<const std::uint32_t*>(bits);
  std::vector<std::uint32_t> copy(pixels, pixels + static_cast<std::size_t>(width) * height);
  SelectObject(dc, old);
  DeleteObject(bitmap);
  DeleteDC(dc);
  return copy;
}

// The rows the caption of `control` takes up, from the control's top, as the
// button class draws it: on a twin taller by a margin above and below, which
// centres the line the same way and cuts nothing, set against the twin with
// no caption. An option's mark, 13 pixels high at 96 DPI, moves with the
// caption: only what lies right of it counts.
std::pair<int, int> InkRows(HWND control) {
  constexpr int kMargin = 16;
  RECT client{};
  GetClientRect(control, &client);
  const int width = client.right;
  const int height = client.bottom + 2 * kMargin;
  const auto draw = [&](const wchar_t* caption) {
    const DWORD style = static_cast<DWORD>(GetWindowLongW(control, GWL_STYLE)) & ~(WS_VISIBLE | WS_GROUP);
    const HWND twin = CreateWindowExW(0, L"BUTTON", caption, style, 0, 0, width, height, GetParent(control),
                                      nullptr, GetModuleHandleW(nullptr), nullptr);
    SendMessageW(twin, WM_SETFONT, SendMessageW(control, WM_GETFONT, 0, 0), FALSE);
    std::vector<std::uint32_t> pixels = Printed(twin, width, height);
    DestroyWindow(twin);
    return pixels;
  };
  wchar_t caption[128] = {};
  GetWindowTextW(control, caption, 128);
  const std::vector<std::uint32_t> with = draw(caption);
  const std::vector<std::uint32_t> without = draw(L"");
  const bool option = (GetWindowLongW(control, GWL_STYLE) & BS_TYPEMASK) == BS_AUTORADIOBUTTON;
  int top = -1;
  int bottom = -1;
  for (int y = 0; y < height; ++y) {
    for (int x = option ? 14 : 0; x < width; ++x) {
      const std::size_t at = static_cast<std::size_t>(y) * width + x;
      if (with[at] == without[at]) continue;
      if (top < 0) top = y;
      bottom = y;
    }
  }
  return {top - kMargin, bottom - kMargin};
}

// Windows' text size at 133 % gives a message font 16 pixels high at 96 DPI.
TEST_F(HiddenForm1, EveryCaptionKeepsItsInkInsideItsControlWithALargerMessageFont) {
  NONCLIENTMETRICSW saved{};
  saved.cbSize = sizeof saved;
  ASSERT_TRUE(SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof saved, &saved, 0));
  for (LONG height : {saved.lfMessageFont.lfHeight, -16L}) {
    SCOPED_TRACE(height);
    NONCLIENTMETRICSW larger = saved;
    larger.lfMessageFont.lfHeight = height;
    ASSERT_TRUE(SystemParametersInfoW(SPI_SETNONCLIENTMETRICS, sizeof larger, &larger, 0));
    const RECT suggested{0, 0, TwipsToPixels(kClientWidthTwips, 96), TwipsToPixels(kClientHeightTwips, 96)};
    SendMessageW(window_, WM_DPICHANGED, MAKEWPARAM(96, 96), reinterpret_cast<LPARAM>(&suggested));
    for (const ControlSpec& design : kControls) {
      if (design.kind == ControlKind::Disp) continue;
      const HWND control = GetDlgItem(window_, design.id);
      const auto [top, bottom] = InkRows(control);
      RECT client{};
      GetClientRect(control, &client);
      EXPECT_TRUE(top >= 0 && bottom < client.bottom) << "control " << design.id << ": ink in rows " << top
                                                      << " to " << bottom << " of " << client.bottom;
    }
  }
  SystemParametersInfoW(SPI_SETNONCLIENTMETRICS, sizeof saved, &saved, 0);
}

TEST_F(HiddenForm1, TheTextBoxIsNamedByAnUnseenLabelRightBeforeIt) {
  // Screen readers name an edit control from the static label before it.
  const HWND disp = GetDlgItem(window_, kDispId);
  const HWND label = GetWindow(disp, GW_HWNDPREV);
  ASSERT_NE(label, nullptr);
  wchar_t className[16] = {};
  GetClassNameW(label, className, 16);
  EXPECT_STREQ(className, L"Static");
  wchar_t text[16] = {};
  GetWindowTextW(label, text, 16);
  EXPECT_STREQ(text, L"レポート");
  // Neither seen nor reached with Tab.
  EXPECT_EQ(GetWindowLongW(label, GWL_STYLE) & (WS_VISIBLE | WS_TABSTOP), 0);

  // And what the accessibility interface reads out.
  ASSERT_TRUE(SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED)));
  IAccessible* accessible = nullptr;
  // __uuidof: mingw-w64 links IID_IAccessible to oleacc.dll's export thunk, not to the GUID.
  ASSERT_EQ(AccessibleObjectFromWindow(disp, static_cast<DWORD>(OBJID_CLIENT), __uuidof(IAccessible),
                                       reinterpret_cast<void**>(&accessible)),
            S_OK);
  VARIANT self{};
  self.vt = VT_I4;
  self.lVal = CHILDID_SELF;
  BSTR name = nullptr;
  EXPECT_EQ(accessible->get_accName(self, &name), S_OK);
  EXPECT_STREQ(name != nullptr ? name : L"(none)", L"レポート");
  SysFreeString(name);
  accessible->Release();
  CoUninitialize();
}

// The visible message boxes of `thread`.
std::vector<HWND> MessageBoxes(DWORD thread) {
  std::vector<HWND> boxes;
  EnumThreadWindows(
      thread,
      [](HWND window, LPARAM found) {
        wchar_t name[16] = {};
        GetClassNameW(window, name, 16);
        if (std::wstring(name) == L"#32770" && IsWindowVisible(window)) {
          reinterpret_cast<std::vector<HWND>*>(found)->push_back(window);
        }
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&boxes));
  return boxes;
}

// Run on another thread: waits for a message box of `thread` to show, returns its text and closes it.
std::wstring CloseMessageBox(DWORD thread) {
  for (int tries = 0; tries < 500; ++tries, Sleep(20)) {
    const std::vector<HWND> boxes = MessageBoxes(thread);
    if (boxes.empty()) continue;
    wchar_t text[256] = {};
    GetWindowTextW(GetDlgItem(boxes.front(), 0xFFFF), text, 256);
    PostMessageW(boxes.front(), WM_COMMAND, IDOK, 0);
    return text;
  }
  return L"(no message box)";
}

TEST_F(HiddenForm1, RunningOutOfMemoryInADpiChangeIsReportedNotThrownIntoWindows) {
  // The first allocation is the list of installed fonts, filled in a GDI
  // callback; the second is the message about it.
  const struct {
    int failing;
    const wchar_t* message;
  } cases[] = {
      {1, L"処理を完了できませんでした。\r\nstd::bad_alloc\r\n\r\nもう一度お試しください。続くときは、くいるぼっくす！を起動し直してください。"},
      {2, L"処理を完了できませんでした。\r\n\r\nもう一度お試しください。続くときは、くいるぼっくす！を起動し直してください。"},
  };
  // The DC the window's cache hands out; a change that kept it would leave
  // it held, and releasing it here would then succeed.
  const HDC cached = GetDC(window_);
  ReleaseDC(window_, cached);
  for (const auto& c : cases) {
    SCOPED_TRACE(c.failing);
    std::wstring message;
    std::thread closer([&, thread = GetCurrentThreadId()] { message = CloseMessageBox(thread); });
    const RECT suggested{0, 0, 900, 700};
    failingAllocations = c.failing;
    SendMessageW(window_, WM_DPICHANGED, MAKEWPARAM(144, 144), reinterpret_cast<LPARAM>(&suggested));
    failingAllocations = 0;
    closer.join();
    EXPECT_EQ(message, c.message);
    EXPECT_EQ(ReleaseDC(window_, cached), 0) << "the window's DC was left held";
  }
}

TEST_F(HiddenForm1, AFailureWhileAFailuresBoxIsUpShowsNoSecondBox) {
  static const RECT suggested{0, 0, 900, 700};
  std::size_t most = 0;
  std::thread closer([&, thread = GetCurrentThreadId()] {
    for (int tries = 0; tries < 500 && MessageBoxes(thread).empty(); ++tries) Sleep(20);
    // Fails again, in the first box's own message loop.
    PostMessageW(window_, WM_DPICHANGED, MAKEWPARAM(120, 120), reinterpret_cast<LPARAM>(&suggested));
    for (int tries = 0; tries < 25; ++tries, Sleep(20)) most = std::max(most, MessageBoxes(thread).size());
    for (int tries = 0; tries < 500; ++tries, Sleep(20)) {
      const std::vector<HWND> boxes = MessageBoxes(thread);
      if (boxes.empty()) break;
      for (HWND box : boxes) PostMessageW(box, WM_COMMAND, IDOK, 0);
    }
  });
  // Every allocation fails until both changes are over.
  failingAllocations = 1'000'000;
  SendMessageW(window_, WM_DPICHANGED, MAKEWPARAM(144, 144), reinterpret_cast<LPARAM>(&suggested));
  failingAllocations = 0;
  closer.join();
  EXPECT_EQ(most, 1u);
}

// An HDROP as the shell makes one: a DROPFILES header, then the names, each
// ending in a NUL, and one more NUL.
HDROP MakeDrop(const std::vector<std::filesystem::path>& files) {
  std::wstring names;
  for (const auto& file : files) names += file.wstring() + L'\0';
  names += L'\0';
  const HGLOBAL memory = GlobalAlloc(GHND, sizeof(DROPFILES) + names.size() * sizeof(wchar_t));
  auto* header = static_cast<DROPFILES*>(GlobalLock(memory));
  header->pFiles = sizeof(DROPFILES);
  header->fWide = TRUE;
  std::memcpy(reinterpret_cast<char*>(header) + sizeof(DROPFILES), names.data(), names.size() * sizeof(wchar_t));
  GlobalUnlock(memory);
  return static_cast<HDROP>(memory);
}

// The demo file, as CMake names it, in the form wine's programs take.
std::filesystem::path ExampleFile() {
  std::wstring path;
  for (const char c : std::string(QUILLBOX_EXAMPLES_DIR "/hsc.ini")) path += c == '/' ? L'\\' : wchar_t(c);
  return std::filesystem::path(path[0] == L'\\' ? L"Z:" + path : path);
}

// Files dropped on the window and on its text box: the comparison with a
// backup, or one message and the box as it was.
TEST(DroppedFiles, ShowTheComparisonOrOneMessageAndLeaveTheBoxAlone) {
  namespace fs = std::filesystem;
  const fs::path dir = fs::temp_directory_path() / (L"quillbox drop " + std::to_wstring(GetCurrentProcessId()));
  fs::create_directories(dir / L"folder");
  std::ifstream demo(ExampleFile(), std::ios::binary);
  std::string backup((std::istreambuf_iterator<char>(demo)), {});
  const std::size_t at = backup.find("HPR1=82");
  ASSERT_NE(at, std::string::npos);
  backup.replace(at, 7, "HPR1=70");
  std::ofstream(dir / L"backup.ini", std::ios::binary) << backup;
  std::ofstream(dir / L"bad.ini", std::ios::binary) << "[a\\]\nHPR9=5\n";
  fs::copy_file(dir / L"backup.ini", dir / L"c.ini", fs::copy_options::overwrite_existing);
  fs::copy_file(ExampleFile(), dir / L"b.ini", fs::copy_options::overwrite_existing);
  const auto now = fs::file_time_type::clock::now();
  fs::last_write_time(dir / L"backup.ini", now - std::chrono::hours(3));
  fs::last_write_time(dir / L"c.ini", now - std::chrono::hours(2));
  fs::last_write_time(dir / L"b.ini", now - std::chrono::hours(1));

  const struct {
    bool onDisp;
    std::vector<fs::path> files;
    const wchar_t* message;  // a part of the one message box; nullptr: none
  } cases[] = {
      {false, {dir / L"backup.ini"}, nullptr},
      {true, {dir / L"backup.ini"}, nullptr},
      {false, {dir / L"b.ini", dir / L"c.ini", dir / L"backup.ini"}, nullptr},  // newest first
      {false, {dir / L"backup.ini", dir / L"bad.ini"}, L"行：2"},
      {true, {dir / L"bad.ini"}, L"行：2"},
      {false, {dir / L"folder"}, L"フォルダーは読み込めません。"},
      {true, {dir / L"folder"}, L"フォルダーは読み込めません。"},
  };
  Ranks ranks;
  InitRanks(ranks);
  const Songs current = LoadScoreFile(ExampleFile()).songs;
  ASSERT_GT(current.SongCount(), 0);
  for (const auto& c : cases) {
    SCOPED_TRACE(std::to_string(&c - cases));
    MSG pending;
    while (PeekMessageW(&pending, nullptr, 0, 0, PM_REMOVE)) {
    }
    Form1 form(GetModuleHandleW(nullptr), ExampleFile());
    ASSERT_TRUE(form.CreateForm());
    ASSERT_TRUE(form.Form_Load());
    const HWND window = FindWindowW(kForm1ClassName, nullptr);
    const HWND target = c.onDisp ? GetDlgItem(window, kDispId) : window;
    ASSERT_NE(target, nullptr);
    const Text before = form.GetDispText();
    std::wstring message;
    std::thread closer;
    if (c.message != nullptr) closer = std::thread([&, thread = GetCurrentThreadId()] { message = CloseMessageBox(thread); });
    SendMessageW(target, WM_DROPFILES, reinterpret_cast<WPARAM>(MakeDrop(c.files)), 0);
    if (closer.joinable()) closer.join();
    EXPECT_EQ(IsDlgButtonChecked(window, kRadioFirstId), BST_CHECKED);
    if (c.message == nullptr && c.files.size() > 1) {
      std::vector<ScoreSnapshot> history;
      for (const fs::path& file : {dir / L"backup.ini", dir / L"c.ini", dir / L"b.ini", ExampleFile()}) {
        history.push_back({PathForUser(file), ModifiedText(file).value_or(Text()), LoadScoreFile(file).songs});
      }
      EXPECT_TRUE(form.GetDispText() == HistoryText(history, ranks, Language::Japanese));
    } else if (c.message == nullptr) {
      // Byte for byte what the report tool prints for the same two files.
      const fs::path output = dir / L"compare.out";
      ASSERT_EQ(wintest::RunProgram(L"\"" + wintest::HostPath(QUILLBOX_REPORT_EXE).wstring() + L"\" compare \"" +
                                        (dir / L"backup.ini").wstring() + L"\" \"" + ExampleFile().wstring() +
                                        L"\" --lang ja",
                                    output),
                std::optional<DWORD>(0));
      EXPECT_EQ(ToUtf8(form.GetDispText()), wintest::ReadBytes(output));
    } else {
      EXPECT_NE(message.find(c.message), std::wstring::npos) << ToUtf8(Text(message.begin(), message.end()));
      EXPECT_TRUE(form.GetDispText() == before);
    }
  }
  fs::remove_all(dir);
}

// The text box's menu: the edit box's standard entries with the states the
// selection gives them, then the reload entry; reloading after the game
// saved shows the session's changes, and a bad file leaves the box alone.
TEST(Reload, MenuEntriesAndTheSessionsChanges) {
  namespace fs = std::filesystem;
  const fs::path dir = fs::temp_directory_path() / (L"quillbox reload " + std::to_wstring(GetCurrentProcessId()));
  fs::create_directories(dir);
  fs::copy_file(ExampleFile(), dir / L"hsc.ini", fs::copy_options::overwrite_existing);
  MSG pending;
  while (PeekMessageW(&pending, nullptr, 0, 0, PM_REMOVE)) {
  }
  Form1 form(GetModuleHandleW(nullptr), dir / L"hsc.ini");
  ASSERT_TRUE(form.CreateForm());
  ASSERT_TRUE(form.Form_Load());
  const HWND window = FindWindowW(kForm1ClassName, nullptr);
  const HWND disp = GetDlgItem(window, kDispId);
  ASSERT_TRUE(OpenClipboard(nullptr));  // nothing to paste
  EmptyClipboard();
  CloseClipboard();
  const auto menuState = [&] {
    HMENU menu = form.CreateDispMenu();
    std::wstring state;
    for (int i = 0; i < GetMenuItemCount(menu); ++i) {
      wchar_t text[64] = {};
      GetMenuStringW(menu, static_cast<UINT>(i), text, 64, MF_BYPOSITION);
      const UINT flags = GetMenuState(menu, static_cast<UINT>(i), MF_BYPOSITION);
      state += (flags & MF_SEPARATOR) != 0 ? L"-" : std::wstring(text) + ((flags & MF_GRAYED) != 0 ? L"(off)" : L"");
      state += L';';
    }
    DestroyMenu(menu);
    return state;
  };
  SendMessageW(disp, EM_SETSEL, 0, 0);
  EXPECT_EQ(menuState(), L"元に戻す(&U)(off);-;切り取り(&T)(off);コピー(&C)(off);貼り付け(&P)(off);削除(&D)(off);-;"
                         L"すべて選択(&A);-;hsc.ini を読み直す（F5）;");
  SendMessageW(disp, EM_SETSEL, 0, -1);
  EXPECT_EQ(menuState(), L"元に戻す(&U)(off);-;切り取り(&T);コピー(&C);貼り付け(&P)(off);削除(&D);-;"
                         L"すべて選択(&A)(off);-;hsc.ini を読み直す（F5）;");

  Ranks ranks;
  InitRanks(ranks);
  PartNames names;
  InitPartNames(names);
  const Songs start = LoadScoreFile(dir / L"hsc.ini").songs;
  std::ifstream demo(ExampleFile(), std::ios::binary);
  std::string later((std::istreambuf_iterator<char>(demo)), {});
  const std::size_t at = later.find("HPR1=82");
  ASSERT_NE(at, std::string::npos);
  later.replace(at, 7, "HPR1=95");
  std::ofstream(dir / L"hsc.ini", std::ios::binary | std::ios::trunc) << later;
  SendMessageW(window, WM_COMMAND, MAKEWPARAM(kReloadId, 0), 0);
  // Byte for byte what `quillbox-report compare START NOW --lang ja` prints.
  const fs::path output = dir / L"compare.out";
  ASSERT_EQ(wintest::RunProgram(L"\"" + wintest::HostPath(QUILLBOX_REPORT_EXE).wstring() + L"\" compare \"" +
                                    ExampleFile().wstring() + L"\" \"" + (dir / L"hsc.ini").wstring() +
                                    L"\" --lang ja",
                                output),
            std::optional<DWORD>(0));
  EXPECT_EQ(ToUtf8(form.GetDispText()), wintest::ReadBytes(output));
  EXPECT_NE(form.GetDispText(), ComparisonText(start, start, names, CompareTables(start, start, ranks),
                                               Language::Japanese));
  EXPECT_EQ(IsDlgButtonChecked(window, kRadioFirstId), BST_CHECKED);

  const Text shown = form.GetDispText();
  std::ofstream(dir / L"hsc.ini", std::ios::binary | std::ios::trunc) << "[a\\]\nHPR9=5\n";
  std::wstring message;
  std::thread closer([&, thread = GetCurrentThreadId()] { message = CloseMessageBox(thread); });
  SendMessageW(window, WM_COMMAND, MAKEWPARAM(kReloadId, 0), 0);
  closer.join();
  EXPECT_NE(message.find(L"F5"), std::wstring::npos);
  EXPECT_TRUE(form.GetDispText() == shown);
  DestroyWindow(window);
  fs::remove_all(dir);
}

// A second drop while the first one's message is up is refused: no second
// box, and the window is not left working behind the first.
TEST(DroppedFiles, ADropWhileAMessageIsUpShowsNoSecondBox) {
  namespace fs = std::filesystem;
  const fs::path bad = fs::temp_directory_path() / (L"quillbox bad " + std::to_wstring(GetCurrentProcessId()) + L".ini");
  std::ofstream(bad, std::ios::binary) << "[a\\]\nHPR9=5\n";
  MSG pending;
  while (PeekMessageW(&pending, nullptr, 0, 0, PM_REMOVE)) {
  }
  Form1 form(GetModuleHandleW(nullptr), ExampleFile());
  ASSERT_TRUE(form.CreateForm());
  ASSERT_TRUE(form.Form_Load());
  const HWND window = FindWindowW(kForm1ClassName, nullptr);
  std::size_t first = 0;
  std::size_t most = 0;
  std::thread closer([&, thread = GetCurrentThreadId()] {
    for (int tries = 0; tries < 500 && MessageBoxes(thread).empty(); ++tries) Sleep(20);
    first = MessageBoxes(thread).size();
    // Dropped again, into the first box's own message loop.
    PostMessageW(window, WM_DROPFILES, reinterpret_cast<WPARAM>(MakeDrop({bad})), 0);
    for (int tries = 0; tries < 25; ++tries, Sleep(20)) most = std::max(most, MessageBoxes(thread).size());
    for (int tries = 0; tries < 500; ++tries, Sleep(20)) {
      const std::vector<HWND> boxes = MessageBoxes(thread);
      if (boxes.empty()) break;
      for (HWND box : boxes) PostMessageW(box, WM_COMMAND, IDOK, 0);
    }
  });
  SendMessageW(window, WM_DROPFILES, reinterpret_cast<WPARAM>(MakeDrop({bad})), 0);
  closer.join();
  EXPECT_EQ(first, 1u);
  EXPECT_EQ(most, 1u);
  fs::remove(bad);
}


// A drag source's data: the files as CF_HDROP, or no format at all. It
// lives on the stack, so counting references is left out.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wnon-virtual-dtor"
class FileData final : public IDataObject {
 public:
  explicit FileData(std::vector<std::filesystem::path> files) : files_(std::move(files)) {}
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** object) override {
    if (!IsEqualIID(riid, IID_IUnknown) && !IsEqualIID(riid, IID_IDataObject)) return E_NOINTERFACE;
    *object = this;
    return S_OK;
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return 2; }
  ULONG STDMETHODCALLTYPE Release() override { return 1; }
  HRESULT STDMETHODCALLTYPE GetData(FORMATETC* format, STGMEDIUM* medium) override {
    if (QueryGetData(format) != S_OK) return DV_E_FORMATETC;
    *medium = STGMEDIUM{};
    medium->tymed = TYMED_HGLOBAL;
    medium->hGlobal = MakeDrop(files_);
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE QueryGetData(FORMATETC* format) override {
    return !files_.empty() && format->cfFormat == CF_HDROP && (format->tymed & TYMED_HGLOBAL) != 0 ? S_OK
                                                                                                 : DV_E_FORMATETC;
  }
  HRESULT STDMETHODCALLTYPE GetDataHere(FORMATETC*, STGMEDIUM*) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE GetCanonicalFormatEtc(FORMATETC*, FORMATETC*) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE SetData(FORMATETC*, STGMEDIUM*, BOOL) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE EnumFormatEtc(DWORD, IEnumFORMATETC**) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE DAdvise(FORMATETC*, DWORD, IAdviseSink*, DWORD*) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE DUnadvise(DWORD) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE EnumDAdvise(IEnumSTATDATA**) override { return E_NOTIMPL; }

 private:
  std::vector<std::filesystem::path> files_;
};
#pragma GCC diagnostic pop

// The effects a drag is answered with at enter, over and drop.
std::vector<DWORD> DragAndDrop(IDropTarget& target, IDataObject& data, DWORD offered) {
  std::vector<DWORD> effects(3, offered);
  target.DragEnter(&data, MK_LBUTTON, {0, 0}, &effects[0]);
  target.DragOver(MK_LBUTTON, {0, 0}, &effects[1]);
  target.Drop(&data, 0, {0, 0}, &effects[2]);
  return effects;
}

// A backup dropped through OLE: a source told MOVE may delete it, so the
// answer is copy or link or nothing, and an accepted drop shows the
// comparison once the drop's work is dispatched.
TEST(DroppedFiles, OleDragsAreAnsweredCopyOrLinkNeverMove) {
  namespace fs = std::filesystem;
  const fs::path backup = fs::temp_directory_path() / (L"quillbox ole " + std::to_wstring(GetCurrentProcessId()) + L".ini");
  std::ifstream demo(ExampleFile(), std::ios::binary);
  std::string text((std::istreambuf_iterator<char>(demo)), {});
  const std::size_t at = text.find("HPR1=82");
  ASSERT_NE(at, std::string::npos);
  text.replace(at, 7, "HPR1=70");
  std::ofstream(backup, std::ios::binary) << text;
  const struct {
    DWORD offered;
    bool files;
    DWORD answer;
  } cases[] = {
      {DROPEFFECT_COPY, true, DROPEFFECT_COPY},
      {DROPEFFECT_MOVE, true, DROPEFFECT_NONE},
      {DROPEFFECT_COPY | DROPEFFECT_MOVE, true, DROPEFFECT_COPY},
      {DROPEFFECT_COPY | DROPEFFECT_MOVE | DROPEFFECT_LINK, true, DROPEFFECT_COPY},
      {DROPEFFECT_LINK, true, DROPEFFECT_LINK},
      {DROPEFFECT_LINK | DROPEFFECT_MOVE, true, DROPEFFECT_LINK},
      {DROPEFFECT_COPY, false, DROPEFFECT_NONE},  // text, not files
  };
  Ranks ranks;
  InitRanks(ranks);
  PartNames names;
  InitPartNames(names);
  const Songs old = LoadScoreFile(backup).songs;
  const Songs current = LoadScoreFile(ExampleFile()).songs;
  const Text compared = ComparisonText(old, current, names, CompareTables(old, current, ranks), Language::Japanese);
  for (const auto& c : cases) {
    SCOPED_TRACE(std::to_string(&c - cases));
    Form1 form(GetModuleHandleW(nullptr), ExampleFile());
    ASSERT_TRUE(form.CreateForm());
    ASSERT_TRUE(form.Form_Load());
    ASSERT_NE(form.FileDropTarget(), nullptr);
    const Text before = form.GetDispText();
    FileData data(c.files ? std::vector<fs::path>{backup} : std::vector<fs::path>{});
    EXPECT_EQ(DragAndDrop(*form.FileDropTarget(), data, c.offered), std::vector<DWORD>(3, c.answer));
    MSG pending;
    while (PeekMessageW(&pending, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&pending);
    EXPECT_TRUE(form.GetDispText() == (c.answer != DROPEFFECT_NONE ? compared : before));
  }
  fs::remove(backup);
}

// While a drop's message is up, the target refuses what it would take
// otherwise, as WM_DROPFILES does.
IDropTarget* latchTarget = nullptr;
IDataObject* latchData = nullptr;
std::vector<DWORD> latchEffects;

TEST(DroppedFiles, OleDragsAreRefusedWhileAMessageIsUp) {
  namespace fs = std::filesystem;
  const fs::path bad = fs::temp_directory_path() / (L"quillbox ole bad " + std::to_wstring(GetCurrentProcessId()) + L".ini");
  std::ofstream(bad, std::ios::binary) << "[a\\]\nHPR9=5\n";
  // The last window's WM_QUIT would end the message box at once.
  MSG pending;
  while (PeekMessageW(&pending, nullptr, 0, 0, PM_REMOVE)) {
  }
  Form1 form(GetModuleHandleW(nullptr), ExampleFile());
  ASSERT_TRUE(form.CreateForm());
  ASSERT_TRUE(form.Form_Load());
  ASSERT_NE(form.FileDropTarget(), nullptr);
  FileData data({ExampleFile()});
  latchTarget = form.FileDropTarget();
  latchData = &data;
  latchEffects.clear();
  // Runs in the message box's own loop, on the window's thread as OLE would.
  const UINT_PTR timer = SetTimer(nullptr, 0, 100, [](HWND, UINT, UINT_PTR id, DWORD) {
    KillTimer(nullptr, id);
    latchEffects = DragAndDrop(*latchTarget, *latchData, DROPEFFECT_COPY);
  });
  ASSERT_NE(timer, 0u);
  std::wstring message;
  std::thread closer([&, thread = GetCurrentThreadId()] {
    for (int tries = 0; tries < 500 && MessageBoxes(thread).empty(); ++tries) Sleep(20);
    Sleep(500);
    message = CloseMessageBox(thread);
  });
  SendMessageW(FindWindowW(kForm1ClassName, nullptr), WM_DROPFILES, reinterpret_cast<WPARAM>(MakeDrop({bad})), 0);
  closer.join();
  EXPECT_NE(message, L"(no message box)");
  EXPECT_EQ(latchEffects, std::vector<DWORD>(3, DROPEFFECT_NONE));
  // The box closed, the same drag is welcome again.
  DWORD effect = DROPEFFECT_COPY;
  latchTarget->DragEnter(&data, MK_LBUTTON, {0, 0}, &effect);
  EXPECT_EQ(effect, DWORD{DROPEFFECT_COPY});
  latchTarget->DragLeave();
  fs::remove(bad);
}

}  // namespace
}  // namespace quillbox::win32
