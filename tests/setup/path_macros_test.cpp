#include "setup/path_macros.h"

#include "setup/install_settings.h"
#include "setup/support/setup_globals.h"

#include <windows.h>
#include <shlobj.h>

#include <gtest/gtest.h>

namespace {

std::string WindowsDir() {
  char buffer[MAX_PATH] = {};
  GetWindowsDirectoryA(buffer, MAX_PATH);
  return buffer;
}

std::string SystemDir() {
  char buffer[MAX_PATH] = {};
  GetSystemDirectoryA(buffer, MAX_PATH);
  return buffer;
}

class PathMacros : public ::testing::Test {
 protected:
  SetupGlobalsScope globals;

  void SetUp() override {
    InstallSettings.InstallDir = "C:\\KORVANE";
    InstallSettings.DbEngineDir = "C:\\BDE";
  }
};

}  // namespace

TEST_F(PathMacros, PlainPathsComeBackUnchanged) {
  EXPECT_EQ("", ExpandPath(""));
  EXPECT_EQ("C:\\A\\B.EXE", ExpandPath("C:\\A\\B.EXE"));
  EXPECT_EQ("C:\\<TEMP>\\<WINDIR", ExpandPath("C:\\<TEMP>\\<WINDIR"));
}

TEST_F(PathMacros, EachTokenInAnyCase) {
  EXPECT_EQ(SystemDir(), ExpandPath("<WINSYSDIR>"));
  EXPECT_EQ(WindowsDir() + "\\X", ExpandPath("<windir>\\X"));
  EXPECT_EQ("C:\\BDE\\IDAPI32.DLL", ExpandPath("<BdeDir>\\IDAPI32.DLL"));
  EXPECT_EQ("C:\\KORVANE\\prog.exe", ExpandPath("<InstallDir>\\prog.exe"));
}

TEST_F(PathMacros, EveryOccurrenceIsReplaced) {
  EXPECT_EQ("C:\\KORVANE;C:\\KORVANE\\A", ExpandPath("<INSTALLDIR>;<installdir>\\A"));
}

TEST_F(PathMacros, NoSeparatorIsAddedOrRemoved) {
  InstallSettings.InstallDir = "C:\\";
  EXPECT_EQ("C:\\\\PROG.EXE", ExpandPath("<INSTALLDIR>\\PROG.EXE"));
}

TEST_F(PathMacros, LaterPassesExpandTokensInsideEarlierValues) {
  InstallSettings.DbEngineDir = "<INSTALLDIR>\\BDE";
  EXPECT_EQ("C:\\KORVANE\\BDE", ExpandPath("<BDEDIR>"));
  InstallSettings.DbEngineDir = "<WINDIR>\\BDE";
  EXPECT_EQ("<WINDIR>\\BDE", ExpandPath("<BDEDIR>"));
  InstallSettings.InstallDir = "<WINSYSDIR>\\P";
  EXPECT_EQ("<WINSYSDIR>\\P", ExpandPath("<INSTALLDIR>"));
}

TEST_F(PathMacros, ValueHoldingItsOwnTokenEnds) {
  InstallSettings.InstallDir = "C:\\<INSTALLDIR>";
  EXPECT_EQ("C:\\<INSTALLDIR>\\A;C:\\<INSTALLDIR>", ExpandPath("<INSTALLDIR>\\A;<InstallDir>"));
  EXPECT_EQ("x<ab>yx<ab>y", ReplaceMacro("<AB><ab>", "<AB>", "x<ab>y"));
}

TEST_F(PathMacros, ReplaceKeepsTheRestOfTheText) {
  EXPECT_EQ("한글 C:\\X 끝", ReplaceMacro("한글 <T> 끝", "<T>", "C:\\X"));
  EXPECT_EQ("ab", ReplaceMacro("a<T>b", "<T>", ""));
}

TEST_F(PathMacros, ProgramFilesIsThe32BitProgramsFolderAlsoAtTheStartOfTheInstallDirectory) {
  char folder[MAX_PATH] = {};
  ASSERT_TRUE(SUCCEEDED(SHGetFolderPathA(nullptr, CSIDL_PROGRAM_FILES, nullptr, 0, folder)));
  const std::string programFiles = folder;
  ASSERT_FALSE(programFiles.empty());
  EXPECT_EQ(programFiles + "\\K;" + programFiles, ExpandPath("<programfiles>\\K;<PROGRAMFILES>"));
  EXPECT_EQ(programFiles + "\\Korvane\\App",
            ExpandInstallDirectory("<ProgramFiles>\\Korvane\\App"));
  // Only at the start; elsewhere it waits for the path's use.
  EXPECT_EQ("D:\\<PROGRAMFILES>", ExpandInstallDirectory("D:\\<PROGRAMFILES>"));
  EXPECT_EQ("C:\\Program Files\\App", ExpandInstallDirectory("C:\\Program Files\\App"));
  EXPECT_EQ("", ExpandInstallDirectory(""));
}
