// The game under Program Files (x86) saved its scores into the virtual
// store, and a stale hsc.ini stays beside quillbox: the window and the
// report tool must both show the virtual-store copy, the one the game reads.
#include <gtest/gtest.h>
#include <windows.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>
#include <string>
#include <vector>

#include "base/Text.h"
#include "scores/ScoreFile.h"
#include "views/Views.h"
#include "WinTestUtil.h"

namespace quillbox {
namespace {

namespace fs = std::filesystem;
using wintest::HostPath;
using wintest::ReadBytes;
using wintest::RunProgram;

fs::path Environment(const wchar_t* name) {
  std::vector<wchar_t> buffer(32768);
  const DWORD n = GetEnvironmentVariableW(name, buffer.data(), static_cast<DWORD>(buffer.size()));
  return std::wstring(buffer.data(), n < buffer.size() ? n : 0);
}


class GameUnderProgramFiles : public ::testing::Test {
 protected:
  void SetUp() override {
    const std::wstring name = L"quillbox ドリフェン " + std::to_wstring(GetCurrentProcessId());
    game_ = Environment(L"ProgramFiles(x86)") / name;
    store_ = Environment(L"LOCALAPPDATA") / L"VirtualStore" / game_.relative_path();
    ASSERT_FALSE(game_.relative_path().empty());
    fs::create_directories(game_);
    fs::create_directories(store_);
    fs::copy_file(HostPath(QUILLBOX_EXE), game_ / L"quillbox.exe");
    fs::copy_file(HostPath(QUILLBOX_REPORT_EXE), game_ / L"quillbox-report.exe");
    fs::copy_file(HostPath(QUILLBOX_EXAMPLES_DIR) / L"hsc.ini", game_ / L"hsc.ini");
    const fs::path saved = HostPath(QUILLBOX_GOLDEN_DIR) / L"odd.ini";
    fs::copy_file(saved, store_ / L"hsc.ini");
    expected_ = ToUtf8(ChartText(ParseScoreFile(ReadBytes(saved)).songs, kHiPerfectChart));
    ASSERT_NE(expected_,
              ToUtf8(ChartText(ParseScoreFile(ReadBytes(game_ / L"hsc.ini")).songs, kHiPerfectChart)));
  }

  void TearDown() override {
    std::error_code ignored;
    fs::remove_all(game_, ignored);
    fs::remove_all(store_, ignored);
  }

  fs::path game_;
  fs::path store_;
  std::string expected_;  // the hi-perfect chart of the virtual-store copy
};

TEST_F(GameUnderProgramFiles, TheWindowShowsTheVirtualStoreCopy) {
  // The player driver presses each option; its first view is this chart.
  const fs::path out = game_ / L"seen";
  fs::create_directories(out);
  std::ofstream(out / L"shot") << "";  // no screenshot wanted: do not wait for one
  EXPECT_EQ(RunProgram(L"\"" + HostPath(QUILLBOX_PLAYER_EXE).wstring() + L"\" \"" +
                       (game_ / L"quillbox.exe").wstring() + L"\" \"" + out.wstring() + L"\""),
            std::optional<DWORD>(0))
      << ReadBytes(out / L"error.txt");
  EXPECT_EQ(ReadBytes(out / L"view0.txt"), expected_);
}

TEST_F(GameUnderProgramFiles, TheReportToolReadsTheVirtualStoreCopyUnlessGivenAFile) {
  const fs::path output = fs::temp_directory_path() / (game_.filename().wstring() + L".out");
  const std::wstring tool = L"\"" + (game_ / L"quillbox-report.exe").wstring() + L"\" ";
  EXPECT_EQ(RunProgram(tool + L"perfect", output), std::optional<DWORD>(0));
  EXPECT_EQ(ReadBytes(output), expected_);
  // --file is read as given, even where a virtual-store copy exists.
  EXPECT_EQ(RunProgram(tool + L"--file \"" + (game_ / L"hsc.ini").wstring() + L"\" perfect", output),
            std::optional<DWORD>(0));
  EXPECT_EQ(ReadBytes(output),
            ToUtf8(ChartText(ParseScoreFile(ReadBytes(game_ / L"hsc.ini")).songs, kHiPerfectChart)));
  std::error_code ignored;
  fs::remove(output, ignored);
}

}  // namespace
}  // namespace quillbox
