#include "text/text.h"

#include <gtest/gtest.h>

TEST(Text, TrimRemovesControlBytesAndBlanksButNeverHighBytes) {
  EXPECT_EQ("a b", Trim(" \t\r\n\x01"
                        "a b\x1F "));
  EXPECT_EQ("", Trim(" \t "));
  EXPECT_EQ(
      "\xA0"
      "한\xA0",
      Trim(" \xA0"
           "한\xA0 "));
}

TEST(Text, UpperAsciiChangesOnlyAsciiLetters) {
  EXPECT_EQ("ABC-Z{}@`", UpperAscii("abc-z{}@`"));
  EXPECT_EQ("설치 A", UpperAscii("설치 a"));
}

TEST(Text, DirectoryAndFileNameSplitAtLastBackslashOrColon) {
  EXPECT_EQ("C:\\A\\", DirectoryPart("C:\\A\\X.EXE"));
  EXPECT_EQ("C:", DirectoryPart("C:X.EXE"));
  EXPECT_EQ("", DirectoryPart("X.EXE"));
  EXPECT_EQ("X.EXE", FileNamePart("C:\\A\\X.EXE"));
  EXPECT_EQ("X.EXE", FileNamePart("X.EXE"));
  EXPECT_EQ("", FileNamePart("C:\\A\\"));
}

TEST(Text, FileExtensionIsTheLastDotOfTheName) {
  EXPECT_EQ(".RAR", FileExtension("C:\\A.B\\DATA.RAR"));
  EXPECT_EQ(".rar", FileExtension("data.tar.rar"));
  EXPECT_EQ(".", FileExtension("DATA."));
  EXPECT_EQ("", FileExtension("DATA"));
  EXPECT_EQ("", FileExtension("C:\\A.B\\DATA"));  // the dot of a directory
  EXPECT_EQ("", FileExtension("A.B:DATA"));
}

TEST(Text, WellFormedCodePage949KeepsItsSeparators) {
  EXPECT_TRUE(IsWellFormedCp949("C:\\별빛\\가계부.TXT"));
  EXPECT_TRUE(IsWellFormedCp949("\x81\x41\\\x81\x7A"));  // trail bytes that look like letters
  EXPECT_FALSE(IsWellFormedCp949("A\xC7\\..\\X"));       // the lead byte takes the separator
  EXPECT_FALSE(IsWellFormedCp949("A\xC7"));
  EXPECT_FALSE(IsWellFormedCp949("\xA1 "));
}
