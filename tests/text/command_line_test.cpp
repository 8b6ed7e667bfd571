// The command line as the programs split it: quotes, blanks, Korean and backslashes.
#include "text/command_line.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using Arguments = std::vector<std::string>;

TEST(CommandLine, QuotesGroupBlanksAndABackslashIsOrdinary) {
  EXPECT_EQ(
      (Arguments{"C:\\매체\\setup.exe", "/VERYSILENT", "/DIR=C:\\Program Files\\별빛 가계부 2"}),
      SplitCommandLine(
          "\"C:\\매체\\setup.exe\" /VERYSILENT /DIR=\"C:\\Program Files\\별빛 가계부 2\""));
  // "\" before a quote escapes nothing, so the value ends in one and the line goes on.
  EXPECT_EQ((Arguments{"setup", "/DIR=C:\\X\\", "/LOG=a b.log"}),
            SplitCommandLine("setup /DIR=\"C:\\X\\\" \"/LOG=a b.log\""));
  EXPECT_EQ((Arguments{"p", "", "x"}), SplitCommandLine("  p\t\"\"   x  "));
  EXPECT_EQ(Arguments{}, SplitCommandLine(" \t "));
  // An unclosed quote runs to the end of the line.
  EXPECT_EQ((Arguments{"p", "/DIR=C:\\A B "}), SplitCommandLine("p /DIR=\"C:\\A B "));
}

TEST(CommandLine, SwitchesMatchInAnyLetterCaseAndOnlyWhole) {
  EXPECT_TRUE(IsSwitch("/silent", "/SILENT"));
  EXPECT_TRUE(IsSwitch("/SiLeNt", "/SILENT"));
  EXPECT_FALSE(IsSwitch("/SILENTLY", "/SILENT"));
  EXPECT_FALSE(IsSwitch("-SILENT", "/SILENT"));
  std::string value;
  ASSERT_TRUE(SwitchValue("/dir=C:\\별빛", "/DIR", value));
  EXPECT_EQ("C:\\별빛", value);
  ASSERT_TRUE(SwitchValue("/Log=", "/LOG", value));
  EXPECT_EQ("", value);
  EXPECT_FALSE(SwitchValue("/DIRECTORY=C:\\X", "/DIR", value));
  EXPECT_FALSE(SwitchValue("/DIR", "/DIR", value));

  bool silent = false;
  EXPECT_TRUE(ParseSilentSwitch({}, silent));
  EXPECT_FALSE(silent);
  EXPECT_TRUE(ParseSilentSwitch({"/silent"}, silent));
  EXPECT_TRUE(silent);
  EXPECT_FALSE(ParseSilentSwitch({"/SILENT", "/ALL"}, silent));
  EXPECT_TRUE(silent);  // so the refusal itself stays silent
}

TEST(CommandLine, TheProgramsNameIsSkippedQuotedBareOrAsItsUnquotedPath) {
  const std::string program = "C:\\Program Files\\별빛\\SETUP.EXE";
  EXPECT_EQ(
      (Arguments{"/S", "/DIR=C:\\A B"}),
      ProgramArguments("\"C:\\Program Files\\별빛\\SETUP.EXE\" /S \"/DIR=C:\\A B\"", program));
  // Unquoted with its blanks, in another letter case.
  EXPECT_EQ((Arguments{"/S"}), ProgramArguments("c:\\program files\\별빛\\setup.exe /S", program));
  EXPECT_EQ(Arguments{}, ProgramArguments("C:\\Program Files\\별빛\\SETUP.EXE", program));
  // Started by a name of its own: the first word.
  EXPECT_EQ((Arguments{"/Q"}), ProgramArguments("setup /Q", program));
  // A longer name that merely starts like the path is not it.
  EXPECT_EQ((Arguments{"Files\\별빛\\SETUP.EXE2", "/Q"}),
            ProgramArguments("C:\\Program Files\\별빛\\SETUP.EXE2 /Q", program));
}
