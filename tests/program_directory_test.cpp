// Which hsc.ini Windows' file virtualization put where, worked out from
// strings alone: the same answers on every platform.
#include <gtest/gtest.h>

#include <optional>
#include <string>

#include "core/ProgramDirectory.h"

namespace quillbox {
namespace {

TEST(VirtualStore, MapsOnlyProtectedFoldersOnDriveLetters) {
  const VirtualStorePlaces places{
      L"C:\\Users\\mio\\AppData\\Local",
      L"C:\\Users\\mio",
      {L"C:\\Program Files", L"C:\\Program Files (x86)", L"C:\\Windows", L"C:\\ProgramData"}};
  const std::wstring store = L"C:\\Users\\mio\\AppData\\Local\\VirtualStore";
  const struct {
    const wchar_t* directory;
    std::optional<std::wstring> wanted;
  } cases[] = {
      {L"C:\\Program Files (x86)\\dori-fen", store + L"\\Program Files (x86)\\dori-fen\\hsc.ini"},
      {L"c:\\program files (X86)\\dori-fen\\", store + L"\\program files (X86)\\dori-fen\\hsc.ini"},
      {L"C:\\Program Files\\ゲーム\\dori-fen", store + L"\\Program Files\\ゲーム\\dori-fen\\hsc.ini"},
      {L"C:\\ProgramData\\dori-fen", store + L"\\ProgramData\\dori-fen\\hsc.ini"},
      {L"C:\\Windows", store + L"\\Windows\\hsc.ini"},
      {L"\\\\?\\C:\\Program Files (x86)\\dori-fen", store + L"\\Program Files (x86)\\dori-fen\\hsc.ini"},
      {L"C:/Program Files (x86)/dori-fen", store + L"\\Program Files (x86)\\dori-fen\\hsc.ini"},
      // Outside the protected roots, or only alike in name.
      {L"C:\\Games\\dori-fen", std::nullopt},
      {L"C:\\Program Files (x86)2\\dori-fen", std::nullopt},
      {L"D:\\Program Files (x86)\\dori-fen", std::nullopt},
      {L"C:\\", std::nullopt},
      // The user's own folders, and no second store inside the store.
      {L"C:\\Users\\mio\\Desktop\\dori-fen", std::nullopt},
      {L"C:\\Users\\mio\\AppData\\Local\\VirtualStore\\Program Files (x86)\\dori-fen", std::nullopt},
      // Not on a drive letter.
      {L"\\\\server\\share\\Program Files (x86)\\dori-fen", std::nullopt},
      {L"\\\\?\\UNC\\server\\share\\dori-fen", std::nullopt},
      {L"\\\\.\\C:\\Program Files (x86)\\dori-fen", std::nullopt},
      {L"Program Files (x86)\\dori-fen", std::nullopt},
      {L"", std::nullopt},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(VirtualStoreScoreFile(c.directory, places), c.wanted) << std::wstring(c.directory);
  }
}

TEST(VirtualStore, NeedsALocalAppDataOnADriveAndSparesTheProfile) {
  const VirtualStorePlaces protectedEverywhere{L"", L"", {L"C:\\"}};
  EXPECT_EQ(VirtualStoreScoreFile(L"C:\\Program Files\\dori-fen", protectedEverywhere), std::nullopt);
  VirtualStorePlaces unc = protectedEverywhere;
  unc.localAppData = L"\\\\server\\profiles\\mio\\AppData\\Local";
  EXPECT_EQ(VirtualStoreScoreFile(L"C:\\Program Files\\dori-fen", unc), std::nullopt);
  // A profile inside a protected root, as the system account's is.
  const VirtualStorePlaces system{L"C:\\Windows\\System32\\config\\systemprofile\\AppData\\Local",
                                  L"C:\\Windows\\System32\\config\\systemprofile",
                                  {L"C:\\Windows"}};
  EXPECT_EQ(VirtualStoreScoreFile(L"C:\\Windows\\System32\\config\\systemprofile\\Desktop\\dori-fen", system),
            std::nullopt);
  EXPECT_NE(VirtualStoreScoreFile(L"C:\\Windows\\dori-fen", system), std::nullopt);
  VirtualStorePlaces rootOnly = protectedEverywhere;
  rootOnly.localAppData = L"\\\\?\\E:\\Local\\";
  EXPECT_EQ(VirtualStoreScoreFile(L"C:\\Program Files\\dori-fen", rootOnly),
            std::wstring(L"E:\\Local\\VirtualStore\\Program Files\\dori-fen\\hsc.ini"));
}

}  // namespace
}  // namespace quillbox
