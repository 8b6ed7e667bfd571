#include "settings_tool/engine_archive.h"

#include "test_support.h"

#include <gtest/gtest.h>

#include <windows.h>

namespace {

// A program directory holding the given files and directories.
class EngineArchiveSelection : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = ScratchDir(std::string("archive-select-") +
                      ::testing::UnitTest::GetInstance()->current_test_info()->name());
  }
  void File(const std::string& name) { WriteFileBytes(dir_ + name, "rar"); }
  void Directory(const std::string& name) { MakeDirectories(dir_ + name); }
  std::string Selected() const { return SelectEngineArchive(dir_); }

  std::string dir_;
};

}  // namespace

TEST_F(EngineArchiveSelection, NoneOfTheNamesGivesNothing) {
  File("Paradox.ZIP");
  File("BDE.RAR");
  File("FULL.RAR.OLD");
  EXPECT_EQ("", Selected());
}

TEST_F(EngineArchiveSelection, TheLastNameFoundWins) {
  File("Paradox.RAR");
  EXPECT_EQ(dir_ + "Paradox.RAR", Selected());
  File("FULL.RAR");
  EXPECT_EQ(dir_ + "FULL.RAR", Selected());
  File("SQL.RAR");
  EXPECT_EQ(dir_ + "FULL.RAR", Selected());
  DeleteFileA((dir_ + "FULL.RAR").c_str());
  EXPECT_EQ(dir_ + "SQL.RAR", Selected());
}

TEST_F(EngineArchiveSelection, DirectoriesDoNotCount) {
  Directory("FULL.RAR");
  Directory("SQL.RAR");
  EXPECT_EQ("", Selected());
  File("Paradox.RAR");
  EXPECT_EQ(dir_ + "Paradox.RAR", Selected());
}

TEST_F(EngineArchiveSelection, NamesAreFoundWhateverTheirCaseOnDisk) {
  File("full.rar");
  EXPECT_EQ(dir_ + "FULL.RAR", Selected());
}

TEST_F(EngineArchiveSelection, OnlyTheProgramDirectoryIsSearched) {
  File("FULL.RAR");
  char previous[MAX_PATH];
  GetCurrentDirectoryA(sizeof previous, previous);
  ASSERT_TRUE(SetCurrentDirectoryA(dir_.c_str()));
  const std::string other = ScratchDir("archive-select-other");
  EXPECT_EQ("", SelectEngineArchive(other));
  EXPECT_EQ("", SelectEngineArchive(""));  // no program directory: not the current one
  SetCurrentDirectoryA(previous);
}

TEST_F(EngineArchiveSelection, BlanksAroundThePathAreRemoved) {
  File("SQL.RAR");
  EXPECT_EQ(dir_ + "SQL.RAR", SelectEngineArchive(" \t" + dir_));
}
