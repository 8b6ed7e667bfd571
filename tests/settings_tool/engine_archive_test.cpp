#include "settings_tool/engine_archive.h"

#include "support/scopes.h"
#include "support/test_support.h"

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
  std::string Selected() const { return SelectEngineArchive(dir_); }

  std::string dir_;
};

}  // namespace

TEST_F(EngineArchiveSelection, TheLastNameFoundWinsAndOthersOrDirectoriesDoNotCount) {
  File("BDE.RAR");
  File("FULL.RAR.OLD");
  MakeDirectories(dir_ + "FULL.RAR");
  EXPECT_EQ("", Selected());
  File("Paradox.RAR");
  EXPECT_EQ(dir_ + "Paradox.RAR", Selected());
  File("SQL.RAR");
  EXPECT_EQ(dir_ + "SQL.RAR", Selected());
  RemoveTree(dir_ + "FULL.RAR");
  File("FULL.RAR");
  EXPECT_EQ(dir_ + "FULL.RAR", Selected());
  EXPECT_EQ(dir_ + "FULL.RAR", SelectEngineArchive(" \t" + dir_));  // the path is trimmed
}

TEST_F(EngineArchiveSelection, NoProgramDirectoryNeverMeansTheCurrentOne) {
  File("FULL.RAR");
  const CurrentDirectoryScope inDir(dir_);
  ASSERT_TRUE(inDir.Entered());
  EXPECT_EQ("", SelectEngineArchive(""));
}
