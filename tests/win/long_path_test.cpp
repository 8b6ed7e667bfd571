// The wide calls' form of a full path, the existence and emptiness tests at any length,
// and the read-only mark.
#include "win/long_path.h"

#include "support/long_paths.h"
#include "support/scopes.h"
#include "support/test_support.h"
#include "win/code_page_text.h"
#include "win/file_system.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <optional>
#include <string>

TEST(LongPath, ThePrefixComesFromMaxPathCharactersOn) {
  const std::string stem = "C:\\" + std::string(251, 'a');
  EXPECT_EQ(WideFromAnsi(stem + "\\B.TX"), WideFilePath(stem + "\\B.TX"));  // 259 characters
  EXPECT_EQ(L"\\\\?\\" + WideFromAnsi(stem + "\\B.TXT"), WideFilePath(stem + "\\B.TXT"));
  const std::string share = "\\\\S\\SH\\" + std::string(253, 'a');
  EXPECT_EQ(L"\\\\?\\UNC\\S\\SH\\" + WideString(253, L'a'), WideFilePath(share));
  // Counted in UTF-16 characters, not in code page 949 bytes.
  const std::string korean = "C:\\" + KoreanText(256);  // 259 characters, 515 bytes
  EXPECT_EQ(WideFromAnsi(korean), WideFilePath(korean));
  EXPECT_EQ(L"\\\\?\\" + WideFromAnsi(korean + "X"), WideFilePath(korean + "X"));
  EXPECT_EQ(L"C:\\\xAC00\xB098", WideFilePath("C:\\가나"));
}

TEST(LongPath, FileExistsAtAnyLengthAndRelativeOnesInTheCurrentDirectory) {
  const std::string root = ScratchDir("long-path-exists");
  const std::string dir = root + KoreanText(80) + "\\" + KoreanText(80) + "\\" + KoreanText(80);
  MakeLongDirectories(dir);
  WriteLongFile(dir + "\\X.TXT", "x");
  EXPECT_TRUE(FileExistsAtAnyLength(dir + "\\X.TXT"));
  EXPECT_TRUE(FileExistsAtAnyLength(dir + "\\\\.\\Y\\..\\X.TXT."));  // as the calls read it
  EXPECT_FALSE(FileExistsAtAnyLength(dir + "\\Y.TXT"));
  EXPECT_FALSE(FileExistsAtAnyLength(dir));  // a directory is no file

  WriteFileBytes(root + "HERE.TXT", "x");
  const CurrentDirectoryScope inRoot(root);
  ASSERT_TRUE(inRoot.Entered());
  EXPECT_TRUE(FileExistsAtAnyLength("HERE.TXT"));
  EXPECT_FALSE(FileExistsAtAnyLength("THERE.TXT"));
  RemoveLongTree(root);
}

TEST(LongPath, AnEmptyDirectoryAtAnyLengthHoldsNothingAtAll) {
  const std::string root = ScratchDir("long-path-empty");
  const std::string dir = root + KoreanText(80) + "\\" + KoreanText(80) + "\\" + KoreanText(80);
  MakeLongDirectories(dir + "\\SUB");
  EXPECT_TRUE(IsEmptyDirectory(dir + "\\SUB"));
  EXPECT_TRUE(IsEmptyDirectory(dir + "\\SUB\\"));
  EXPECT_FALSE(IsEmptyDirectory(dir));  // a subdirectory is something
  WriteLongFile(dir + "\\SUB\\X.TXT", "x");
  EXPECT_FALSE(IsEmptyDirectory(dir + "\\SUB"));
  EXPECT_FALSE(IsEmptyDirectory(dir + "\\SUB\\X.TXT"));  // a file is no directory
  EXPECT_FALSE(IsEmptyDirectory(dir + "\\MISSING"));
  RemoveLongTree(root);
}

// The mark comes off only a file when a file is asked for, and the attributes it had
// come back for putting it on again. (Wine keeps no read-only mark on folders, so a
// folder shows here only as the kind that is not asked for.)
TEST(FileSystem, ClearReadOnlyTakesTheMarkOffTheKindAskedFor) {
  const std::string dir = ScratchDir("clear-read-only");
  const std::wstring file = Utf16(dir + "읽기전용.TXT");
  const std::wstring folder = Utf16(dir + "폴더");
  WriteFileBytes(dir + "읽기전용.TXT", "x");
  MakeDirectories(dir + "폴더");
  ASSERT_TRUE(SetFileAttributesW(file.c_str(), FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN));
  const DWORD marked = GetFileAttributesW(file.c_str());
  ASSERT_TRUE(marked & FILE_ATTRIBUTE_READONLY);

  EXPECT_EQ(std::nullopt, ClearReadOnly(file.c_str(), true));  // not a directory
  EXPECT_EQ(marked, GetFileAttributesW(file.c_str()));
  EXPECT_EQ(std::optional<DWORD>(marked), ClearReadOnly(file.c_str()));
  EXPECT_EQ(marked & ~FILE_ATTRIBUTE_READONLY, GetFileAttributesW(file.c_str()));
  EXPECT_EQ(std::nullopt, ClearReadOnly(file.c_str()));  // no mark any more

  EXPECT_EQ(std::nullopt, ClearReadOnly(folder.c_str()));        // not a file
  EXPECT_EQ(std::nullopt, ClearReadOnly(folder.c_str(), true));  // no mark
  EXPECT_EQ(std::nullopt, ClearReadOnly(Utf16(dir + "MISSING.TXT").c_str()));
}
