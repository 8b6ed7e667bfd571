#include "uninstaller/uninstaller.h"

#include "contracts/undo_journal.h"
#include "support/scopes.h"
#include "support/test_support.h"
#include "uninstaller/exit_codes.h"
#include "uninstaller/removal_passes.h"
#include "win/file_system.h"
#include "win/handles.h"

#include <gtest/gtest.h>

#include <functional>

namespace {

using Boxes = std::vector<UninstallerBox>;

// Answers each box with the next scripted button and remembers what it was shown.
class ScriptedDialog {
 public:
  explicit ScriptedDialog(std::vector<int> answers) : answers_(std::move(answers)) {}
  Boxes Shown;
  std::function<void()> OnConfirmation;

  MessageBoxFunction Function() {
    return [this](const std::string& text, const std::string& caption, UINT flags) {
      return Ask({text, caption, flags});
    };
  }

 private:
  int Ask(const UninstallerBox& box) {
    Shown.push_back(box);
    if (box.Caption == ConfirmationBox().Caption && OnConfirmation) OnConfirmation();
    if (answers_.empty()) return IDOK;
    const int answer = answers_.front();
    answers_.erase(answers_.begin());
    return answer;
  }

  std::vector<int> answers_;
};

class CountingSteps : public SystemRemovalSteps {
 public:
  int Count = 0;
  void DeleteLoggedFile(const std::string& path) override {
    ++Count;
    SystemRemovalSteps::DeleteLoggedFile(path);
  }
};

class UninstallerFlow : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = ScratchDir("flow");
    log_ = dir_ + "Install.log";
    data_ = dir_ + "DATA.DBF";
    WriteFileBytes(data_, "data");
  }
  void WriteLog() { WriteFileBytes(log_, "FILE:" + data_ + "\r\nFILE:" + log_ + "\r\n"); }
  Boxes Uninstall(std::vector<int> answers, std::function<void()> onConfirmation = nullptr) {
    ScriptedDialog dialog(std::move(answers));
    dialog.OnConfirmation = std::move(onConfirmation);
    RunUninstaller(log_, dialog.Function(), steps_);
    return dialog.Shown;
  }

  std::string dir_, log_, data_;
  CountingSteps steps_;
};

}  // namespace

bool operator==(const UninstallerBox& a, const UninstallerBox& b) {
  return a.Text == b.Text && a.Caption == b.Caption && a.Flags == b.Flags;
}

void PrintTo(const UninstallerBox& box, std::ostream* out) {
  *out << "{" << box.Caption << ", " << box.Text << ", 0x" << std::hex << box.Flags << "}";
}

TEST_F(UninstallerFlow, OnlyYesRemovesAnything) {
  WriteLog();
  for (int answer : {IDNO, 0, -1}) {  // 0: the box could not be shown
    EXPECT_EQ((Boxes{ConfirmationBox()}), Uninstall({answer})) << answer;
    EXPECT_TRUE(FileExists(data_));
    EXPECT_TRUE(FileExists(log_));
  }
  EXPECT_EQ((Boxes{ConfirmationBox(), CompletionBox()}), Uninstall({IDYES}));
  EXPECT_FALSE(FileExists(data_));
  EXPECT_FALSE(FileExists(log_));  // deleted by its own line, after it was read
  EXPECT_EQ((Boxes{LogMissingBox(log_)}), Uninstall({IDYES}));
}

TEST_F(UninstallerFlow, EmptyLogStillReportsCompletion) {
  WriteFileBytes(log_, "");
  EXPECT_EQ((Boxes{ConfirmationBox(), CompletionBox()}), Uninstall({IDYES}));
  EXPECT_EQ(0, steps_.Count);
  EXPECT_TRUE(FileExists(log_));
}

TEST_F(UninstallerFlow, LogGoneWhileTheUserDecided) {
  WriteLog();
  EXPECT_EQ((Boxes{ConfirmationBox(), LogMissingBox(log_)}),
            Uninstall({IDYES}, [&] { DeleteFileA(log_.c_str()); }));
  EXPECT_TRUE(FileExists(data_));
}

TEST_F(UninstallerFlow, WithoutItsOwnPathNoLogIsLookedForInTheCurrentDirectory) {
  WriteLog();
  ScriptedDialog dialog({IDYES});
  {
    const CurrentDirectoryScope inDir(dir_);  // an "Install.log" lies in the current directory
    RunUninstaller("", dialog.Function(), steps_);
  }
  EXPECT_EQ((Boxes{LogMissingBox("Install.log")}), dialog.Shown);
  EXPECT_EQ(0, steps_.Count);
  EXPECT_TRUE(FileExists(data_));
}

namespace {

// A tracked install killed after it made file; the record's folder.
std::string KilledInstallThatMade(const std::string& file) {
  const std::string folder = UndoFolderOf("HalvexFlowTest", "Product", "1.0");
  RemoveTree(folder);
  UndoJournal journal(folder);
  EXPECT_TRUE(journal.Ready());
  journal.RecordNewFile(file);
  WriteFileBytes(file, "made by the killed run");
  return folder;
}

}  // namespace

TEST_F(UninstallerFlow, AKilledInstallIsRolledBackBeforeTheQuestion) {
  const std::string made = dir_ + "NEW.TXT";
  const UninstallerBox rolledBack{kUnfinishedRunRolledBack, "설치", MB_OK | MB_ICONINFORMATION};
  KilledInstallThatMade(made);
  {  // no log: no earlier install came back, so the run ends after the box
    ScriptedDialog dialog({});
    EXPECT_EQ(kUninstallRolledBackOnly, RunUninstaller(log_, dialog.Function(), steps_));
    EXPECT_EQ(Boxes{rolledBack}, dialog.Shown);
    EXPECT_FALSE(FileExists(made));
    EXPECT_TRUE(FileExists(data_));
  }
  // With the earlier install's log the usual run follows.
  KilledInstallThatMade(made);
  WriteLog();
  EXPECT_EQ((Boxes{rolledBack, ConfirmationBox(), CompletionBox()}), Uninstall({IDOK, IDYES}));
  EXPECT_FALSE(FileExists(made));
  EXPECT_FALSE(FileExists(data_));
  // The record is gone: the next run finds nothing to roll back.
  EXPECT_EQ((Boxes{LogMissingBox(log_)}), Uninstall({}));
}

TEST_F(UninstallerFlow, WhatTheRollbackCouldNotPutBackIsNamedWithAWarning) {
  const std::string made = dir_ + "LOCKED.DLL";
  const std::string folder = KilledInstallThatMade(made);
  {
    FileHandle lock(CreateFileA(made.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                0, nullptr));
    ASSERT_TRUE(lock.Valid());
    const UninstallerBox warned{
        std::string(kUnfinishedRunRolledBack) + "\r\n\r\n" + NotUndoneMessage({made}), "설치",
        MB_OK | MB_ICONWARNING};
    EXPECT_EQ((Boxes{warned}), Uninstall({}));
    EXPECT_TRUE(HasUnfinishedRun(folder));  // kept for the next attempt
  }
  EXPECT_EQ((Boxes{{kUnfinishedRunRolledBack, "설치", MB_OK | MB_ICONINFORMATION}}), Uninstall({}));
  EXPECT_FALSE(FileExists(made));
  EXPECT_FALSE(DirectoryExists(folder));
}
