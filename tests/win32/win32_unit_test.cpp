// In-process checks of the window's pieces that do not need the window:
// the twips conversion, the choice of the text box font, and reading a score
// file that another program holds.
#include <gtest/gtest.h>
#include <windows.h>

#include <filesystem>
#include <fstream>

#include "scores/ScoreFile.h"
#include "ui/win32/DispFont.h"
#include "ui/win32/Layout.h"

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
  for (UINT dpi : {96u, 144u}) {
    const std::wstring face = ChooseDispFace(dc_, dpi);
    const FaceMetrics metrics = MeasureFace(dc_, DispLogFont(face, dpi));
    EXPECT_TRUE(metrics.LinesUp()) << "at " << dpi << " dpi, half " << metrics.halfWidth << ", full "
                                   << metrics.fullWidth;
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
      EXPECT_EQ(ToUtf8(loaded.error->reasonJa), ToUtf8(u"ほかのプログラムがファイルを使用中です"));
    } else {
      EXPECT_FALSE(loaded.error.has_value()) << loaded.error->reason;
      EXPECT_EQ(loaded.songs.SongCount(), 1);
    }
  }
  fs::remove(file);
}

}  // namespace
}  // namespace quillbox::win32
