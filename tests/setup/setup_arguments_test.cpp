// setup's switches and the paths given with them.
#include "setup/setup_arguments.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

SetupArguments Parsed(const std::vector<std::string>& arguments, bool valid = true) {
  SetupArguments parsed;
  std::string error;
  EXPECT_EQ(valid, ParseSetupArguments(arguments, parsed, error)) << error;
  return parsed;
}

}  // namespace

TEST(SetupArguments, TheModesTheirAliasesAndTheValues) {
  EXPECT_EQ(SetupMode::Interactive, Parsed({}).Mode);
  EXPECT_EQ(SetupMode::Silent, Parsed({"/silent"}).Mode);
  for (const char* quiet : {"/VERYSILENT", "/verysilent", "/S", "/q", "/Quiet"}) {
    EXPECT_EQ(SetupMode::VerySilent, Parsed({quiet}).Mode) << quiet;
  }
  // The quieter one wins, in either order.
  EXPECT_EQ(SetupMode::VerySilent, Parsed({"/VERYSILENT", "/SILENT"}).Mode);
  EXPECT_EQ(SetupMode::VerySilent, Parsed({"/SILENT", "/S"}).Mode);
  const SetupArguments values = Parsed({"/dir=C:\\별빛 가계부", "/LOG=기록.txt", "/?"});
  EXPECT_EQ("C:\\별빛 가계부", values.Dir);
  EXPECT_EQ("기록.txt", values.LogFile);
  EXPECT_TRUE(values.Help);
}

TEST(SetupArguments, AnythingElseIsRefusedAndTheSilentModeStillCounts) {
  SetupArguments parsed;
  std::string error;
  for (const std::vector<std::string>& bad : std::vector<std::vector<std::string>>{
           {"/NORESTART"}, {"/DIR="}, {"/LOG="}, {"/DIR"}, {"C:\\X"}, {"-S"}, {""}}) {
    EXPECT_FALSE(ParseSetupArguments(bad, parsed, error)) << bad[0];
    EXPECT_EQ("알 수 없는 인자: " + bad[0], error);
  }
  EXPECT_FALSE(ParseSetupArguments({"/X", "/VERYSILENT", "/Y"}, parsed, error));
  EXPECT_EQ("알 수 없는 인자: /X", error);
  EXPECT_EQ(SetupMode::VerySilent, parsed.Mode);
}

TEST(SetupArguments, PathsAreMadeAbsoluteFromTheCurrentDirectory) {
  const std::string current = "D:\\작업\\배포";
  EXPECT_EQ("C:\\X", AbsoluteFromCommandLine("C:\\X\\", current));
  EXPECT_EQ("C:\\", AbsoluteFromCommandLine("C:\\", current));
  EXPECT_EQ("C:\\Program Files\\별빛 가계부 2",
            AbsoluteFromCommandLine("C:\\Program Files\\별빛 가계부 2", current));
  EXPECT_EQ("\\\\server\\share\\app", AbsoluteFromCommandLine("\\\\server\\share\\app\\", current));
  EXPECT_EQ("D:\\작업\\배포\\app", AbsoluteFromCommandLine("app", current));
  EXPECT_EQ("D:\\작업\\기록.txt", AbsoluteFromCommandLine("..\\기록.txt", current));
  EXPECT_EQ("D:\\app", AbsoluteFromCommandLine("\\app\\", current));
  EXPECT_EQ("E:\\app", AbsoluteFromCommandLine("app", "E:\\"));
}
