#include "setup/tracked_install.h"

#include "contracts/install_log.h"
#include "contracts/undo_journal.h"
#include "setup/install_progress.h"
#include "setup/install_settings.h"
#include "setup/journaled_install.h"
#include "setup/run_log.h"
#include "setup/shell_file_operation.h"
#include "text/text.h"
#include "win/file_system.h"

#include <windows.h>

namespace {

const char kErrorCaption[] = "오류";

// The engine's old files, under their own names, to the recycle bin.
void Recycle(TShellFileOperation* fop, const std::vector<UndoStep>& steps) {
  if (fop == nullptr) return;
  fop->Operation = fopDelete;
  fop->SourceFiles.clear();
  for (const UndoStep& step : steps) {
    const std::string named = DirectoryPart(step.Other) + FileNamePart(step.Path);
    if (MoveFileA(step.Other.c_str(), named.c_str())) fop->SourceFiles.push_back(named);
  }
  if (!fop->SourceFiles.empty()) fop->Execute();  // what stays goes with the record
}

// The install log joins the run's changes before it is written: one that cannot be
// written fails the run, and an earlier install's log comes back with the rollback.
bool SaveInstallLogUndoably(TInstallProgress& progress, UndoJournal& journal) {
  const std::string path = InstallSettings.InstallDir + "\\" + kInstallLogName;
  if (FileExists(path)) {
    journal.SetFileAside(path);
  } else {
    journal.RecordNewFile(path);
  }
  return progress.SaveInstallLog();
}

}  // namespace

std::string ProductUndoFolder() {
  const TInstallSettings& s = InstallSettings;
  if (s.ProductTitle.empty()) return std::string();
  return UndoFolderOf(s.CompanyName, s.ProductName, s.ProductVersion);
}

InstallOutcome RunTrackedInstallFor(TInstallProgress& progress, TInstallActions& actions,
                                    RunLog& log) {
  if (!WantsUninstallAll()) return RunInstallFor(progress, actions);
  const std::string folder = ProductUndoFolder();
  UndoJournal journal(folder);
  if (!journal.Ready()) {
    progress.AskUser(folder + " 파일을 만들 수 없습니다.", kErrorCaption, MB_OK | MB_ICONSTOP);
    return InstallOutcome::Stopped;
  }
  JournalingProgress journaling(progress, journal);
  JournalingActions journalingActions(actions, journal);
  InstallOutcome outcome = RunInstallFor(journaling, journalingActions);
  if (outcome == InstallOutcome::Completed) {
    if (SaveInstallLogUndoably(progress, journal)) {
      Recycle(journalingActions.EngineFileOperation(), journal.Finish());
      journal.Discard();
      return outcome;
    }
    outcome = InstallOutcome::LogNotWritten;
  }
  InstallDone = false;  // nothing of it stays, so no log may name it
  progress.ShowUndoing();
  const std::vector<std::string> left = journal.RollBack(log);
  progress.HideProgress();
  if (!left.empty())
    progress.AskUser(NotUndoneMessage(left), kErrorCaption, MB_OK | MB_ICONWARNING);
  return outcome;
}

bool RollBackUnfinishedRun(RunLog& log, std::vector<std::string>& left) {
  const std::string folder = ProductUndoFolder();
  if (!HasUnfinishedRun(folder)) return false;
  left = RollBackRecord(folder, log);
  return true;
}
