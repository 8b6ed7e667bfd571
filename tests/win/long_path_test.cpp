// The wide calls' form of a full path, and the existence test at any length.
#include "win/long_path.h"

#include "support/long_paths.h"
#include "support/scopes.h"
#include "support/test_support.h"
#include "win/code_page_text.h"

#include <gtest/gtest.h>

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
