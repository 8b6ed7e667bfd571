#include "settings_tool/delete_matching_files.h"

#include "support/test_support.h"
#include "win/file_system.h"
#include "win/handles.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <string>

namespace {

std::string Make(const std::string& path, DWORD attributes = FILE_ATTRIBUTE_NORMAL) {
  WriteFileBytes(path, "x");
  SetFileAttributesA(path.c_str(), attributes);
  return path;
}

}  // namespace

TEST(DeleteMatchingFiles, EveryFileGoesAndSubdirectoriesWithTheirFilesStay) {
  const std::string dir = ScratchDir("delete-files");
  const std::string files[] = {
      Make(dir + "NOEXT"),
      Make(dir + ".dotfile"),
      Make(dir + "\xC7\xD1\xB1\xDB.CFG"),  // 한글.CFG
      Make(dir + "HIDDEN.BLL", FILE_ATTRIBUTE_HIDDEN),
      Make(dir + "SYSTEM.BLL", FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_ARCHIVE),
      Make(dir + "long name with blanks.txt"),
  };
  // Many files: the search must not lose any while files are deleted under it.
  for (int i = 0; i < 600; ++i) Make(dir + "F" + std::to_string(i) + ".DAT");
  MakeDirectories(dir + "SUB\\DEEPER");
  MakeDirectories(dir + "EMPTY");
  Make(dir + "SUB\\KEEP.TXT");
  Make(dir + "SUB\\DEEPER\\KEEP.TXT");

  DeleteMatchingFiles(dir + "*.*");
  for (const std::string& file : files) EXPECT_FALSE(FileExists(file)) << file;
  WIN32_FIND_DATAA entry;
  FindHandle left(FindFirstFileA((dir + "*.DAT").c_str(), &entry));
  EXPECT_FALSE(left.Valid()) << entry.cFileName;
  EXPECT_TRUE(FileExists(dir + "SUB\\KEEP.TXT"));
  EXPECT_TRUE(FileExists(dir + "SUB\\DEEPER\\KEEP.TXT"));
  EXPECT_TRUE(DirectoryExists(dir + "EMPTY"));
}

TEST(DeleteMatchingFiles, AFileThatCannotBeDeletedStaysAndTheRestGo) {
  const std::string dir = ScratchDir("delete-files-stuck");
  Make(dir + "A.TXT");
  const std::string readOnly = Make(dir + "B.TXT", FILE_ATTRIBUTE_READONLY);
  const std::string open = Make(dir + "C.TXT");
  Make(dir + "D.TXT");
  {
    FileHandle inUse(CreateFileA(open.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING,
                                 FILE_ATTRIBUTE_NORMAL, nullptr));
    ASSERT_TRUE(inUse.Valid());
    DeleteMatchingFiles(dir + "*.*");
  }
  EXPECT_FALSE(FileExists(dir + "A.TXT"));
  EXPECT_TRUE(FileExists(readOnly));
  EXPECT_TRUE(FileExists(open));
  EXPECT_FALSE(FileExists(dir + "D.TXT"));
  SetFileAttributesA(readOnly.c_str(), FILE_ATTRIBUTE_NORMAL);
}

TEST(DeleteMatchingFiles, OnlyWhatTheWildcardMatchesAndNothingInAMissingDirectory) {
  const std::string dir = ScratchDir("delete-files-pattern");
  Make(dir + "A.TXT");
  Make(dir + "B.txt");
  Make(dir + "C.DLL");
  DeleteMatchingFiles(dir + "*.TXT");
  EXPECT_FALSE(FileExists(dir + "A.TXT"));
  EXPECT_FALSE(FileExists(dir + "B.txt"));
  EXPECT_TRUE(FileExists(dir + "C.DLL"));
  DeleteMatchingFiles(dir + "NOT-THERE\\*.*");
  DeleteMatchingFiles("");
  EXPECT_TRUE(FileExists(dir + "C.DLL"));
}
