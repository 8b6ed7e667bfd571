// Halvex and the undo record of a tracked install that was killed: which record is the
// product's, and its rollback where the running program's own file is concerned.
#include "uninstaller/unfinished_install.h"

#include "contracts/undo_journal.h"
#include "support/test_support.h"
#include "text/text.h"
#include "uninstaller/removal_passes.h"
#include "win/file_system.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <set>
#include <string>
#include <vector>

namespace {

const char kCompany[] = "HalvexUndoTest";

// The real steps, but what goes to the restart is only noted.
class NotingSteps : public SystemRemovalSteps {
 public:
  explicit NotingSteps(std::string program) : SystemRemovalSteps(std::move(program)) {}
  std::vector<std::string> AtRestart;
  bool RemoveAtRestart(const std::string& path) override {
    AtRestart.push_back(path);
    return true;
  }
};

std::string RecordFolder(const std::string& product) {
  return UndoFolderOf(kCompany, product, "1.0");
}

// A record left by a killed run that made file.
std::string LeaveRecordOf(const std::string& product, const std::string& file) {
  const std::string folder = RecordFolder(product);
  UndoJournal journal(folder);
  EXPECT_TRUE(journal.Ready());
  journal.RecordNewFile(file);
  WriteFileBytes(file, "made");
  return folder;
}

// Each test starts without records of an earlier test run.
class UnfinishedInstall : public ::testing::Test {
 protected:
  void SetUp() override { RemoveTree(UndoFolderOf(kCompany, "", "")); }
  void TearDown() override { RemoveTree(UndoFolderOf(kCompany, "", "")); }
};

}  // namespace

TEST_F(UnfinishedInstall, TheRecordIsTheOneTheProductKeyNamesElseOneNamingAFileBesideHalvex) {
  const std::string dir = ScratchDir("unfinished-find");
  const std::string other = ScratchDir("unfinished-other");
  const std::string byKey = LeaveRecordOf("ByKey", other + "A.TXT");
  const std::string byFile = LeaveRecordOf("ByFile", dir + "B.TXT");
  const std::string key = std::string("KEY:Software\\") + kCompany + "\\ByKey\\1.0";

  EXPECT_EQ(byKey, UnfinishedRunRecord({"FILE:" + dir + "X", key}, dir));
  EXPECT_EQ(byFile, UnfinishedRunRecord({}, UpperAscii(dir)));  // letter case aside
  // A key whose record holds no unfinished run leaves the search to the records' steps.
  EXPECT_EQ(byFile,
            UnfinishedRunRecord({"KEY:Software\\" + std::string(kCompany) + "\\No\\1.0"}, dir));
  EXPECT_EQ("", UnfinishedRunRecord({}, ScratchDir("unfinished-none")));
  EXPECT_EQ("", UnfinishedRunRecord({}, ""));

  NotingSteps steps(dir + "Halvex.exe");
  std::set<std::string> waiting;
  EXPECT_EQ(std::vector<std::string>(), RollBackRunRecord(byKey, steps, waiting));
  EXPECT_EQ(std::vector<std::string>(), RollBackRunRecord(byFile, steps, waiting));
  EXPECT_FALSE(FileExists(dir + "B.TXT"));
  EXPECT_FALSE(HasUnfinishedRun(byFile));
  EXPECT_EQ("", UnfinishedRunRecord({key}, dir));
}

TEST_F(UnfinishedInstall, TheRunningProgramAndTheDirectoryItAloneHoldsWaitForTheRestart) {
  const std::string app = ScratchDir("unfinished-first") + "APP";
  const std::string own = app + "\\Halvex.exe";
  const std::string folder = RecordFolder("First");
  {  // a first install killed after Halvex.exe was copied
    UndoJournal journal(folder);
    journal.RecordBatch({{'D', app, ""}, {'F', app + "\\PROG.EXE", ""}});
    MakeDirectories(app);
    WriteFileBytes(app + "\\PROG.EXE", "program");
    journal.RecordNewFile(own);
    WriteFileBytes(own, "running");
  }
  NotingSteps steps(own);
  std::set<std::string> waiting;
  EXPECT_EQ(std::vector<std::string>(), RollBackRunRecord(folder, steps, waiting));
  EXPECT_FALSE(FileExists(app + "\\PROG.EXE"));
  EXPECT_EQ((std::vector<std::string>{own, app}), steps.AtRestart);
  EXPECT_EQ((std::set<std::string>{UpperAscii(own), UpperAscii(app)}), waiting);
  EXPECT_FALSE(DirectoryExists(folder));  // nothing left to undo: the record is gone
}

TEST_F(UnfinishedInstall, AReplacedProgramComesBackAndTheRunningOneWaitsRenamed) {
  const std::string app = ScratchDir("unfinished-replaced");
  const std::string own = app + "Halvex.exe";
  WriteFileBytes(own, "older");
  WriteFileBytes(app + "USER.TXT", "a user's");
  const std::string folder = RecordFolder("Replaced");
  {
    UndoJournal journal(folder);
    ASSERT_TRUE(journal.SetFileAside(own));
    WriteFileBytes(own, "running");
  }
  NotingSteps steps(own);
  std::set<std::string> waiting;
  EXPECT_EQ(std::vector<std::string>(), RollBackRunRecord(folder, steps, waiting));
  EXPECT_EQ("older", ReadFileBytes(own));
  EXPECT_EQ("running", ReadFileBytes(own + ".undone"));
  EXPECT_EQ(std::vector<std::string>{own + ".undone"}, steps.AtRestart);
  EXPECT_FALSE(DirectoryExists(folder));
}
