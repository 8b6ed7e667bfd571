// Where the install log says an entry went, against where the stand-in archive
// library really writes it.
#include "test_support.h"

#include "setup/entry_name.h"
#include "unrar_standin/name_rules.h"

#include <gtest/gtest.h>

#include <windows.h>

namespace {

std::wstring Wide(const std::string& text) {
  std::wstring wide(text.size() + 1, L'\0');
  wide.resize(MultiByteToWideChar(949, 0, text.data(), static_cast<int>(text.size()), wide.data(),
                                  static_cast<int>(wide.size())));
  return wide;
}

const char* const kStoredNames[] = {
    "PROG.EXE",
    "DATA\\A.DBF",
    "DATA/SUB/B.DBF",
    "..\\EVIL.TXT",
    "..\\..\\WINDOWS\\WIN.INI",
    "SUB\\..\\..\\X.TXT",
    "A\\..\\B\\..\\C.TXT",
    "SUB\\..",
    "..",
    "C:\\AUTOEXEC.BAT",
    "c:AUTOEXEC.BAT",
    "\\\\SERVER\\SHARE\\DIR\\F.TXT",
    "//SERVER/SHARE/G.TXT",
    "\\\\SERVER",
    "\\ROOT.TXT",
    "/ETC/PASSWD",
    ".\\.\\HIDDEN.TXT",
    "...NAME",
    "NAME.",
    "1:NOT A DRIVE",
    "\xC7\xD1\xB1\xDB\\\xC0\xCC\xB8\xA7.TXT",      // 한글\이름.TXT
    "..\\\xB9\xAE\xBC\xAD\\\xBC\xAD\xB7\xF9.DBF",  // ..\문서\서류.DBF
    "C:\\\xB9\xAE\xBC\xAD.TXT",                    // C:\문서.TXT
    "\xB0\xA1/\xB3\xAA.TXT",                       // 가/나.TXT
    "",
};

}  // namespace

TEST(EntryName, FollowsTheRulesOfTheArchiveLibrary) {
  for (const char* name : kStoredNames) {
    EXPECT_EQ(SafeStoredName(Wide(name)), Wide(SafeEntryName(name))) << name;
  }
  EXPECT_EQ("WINDOWS\\WIN.INI", SafeEntryName("..\\..\\WINDOWS\\WIN.INI"));
  EXPECT_EQ("AUTOEXEC.BAT", SafeEntryName("C:\\AUTOEXEC.BAT"));
  EXPECT_EQ("DIR\\F.TXT", SafeEntryName("\\\\SERVER\\SHARE\\DIR\\F.TXT"));
}

TEST(EntryName, APathIsNamedInTheTargetOrWithoutOneInTheCurrentDirectory) {
  EXPECT_EQ("C:\\KORVANE\\DATA\\A.DBF", ExtractedEntryPath("C:\\KORVANE", "DATA/A.DBF"));
  EXPECT_EQ("C:\\\\X.TXT", ExtractedEntryPath("C:\\", "..\\X.TXT"));  // as written: "\" joins

  const std::string dir = ScratchDir("entry-name-current");
  char previous[MAX_PATH];
  GetCurrentDirectoryA(MAX_PATH, previous);
  SetCurrentDirectoryA(dir.c_str());
  EXPECT_EQ(dir + "SUB\\X.TXT", ExtractedEntryPath("", "C:\\SUB\\X.TXT"));
  SetCurrentDirectoryA(previous);
}
