#include "kitcheck/dry_run.h"

#include "rar/entry_name.h"
#include "rar/rar_component.h"
#include "rar/unrar_codes.h"
#include "setup/entry_directories.h"
#include "setup/install_actions.h"
#include "setup/install_engine.h"
#include "setup/install_progress.h"
#include "setup/install_settings.h"
#include "setup/registration.h"
#include "setup/shell_file_operation.h"
#include "setup/shortcut.h"
#include "win/errors.h"

namespace {

const char kDiskCaption[] = "Disk";

// Lists each archive where setup's window would extract it and logs its entries
// as the window's handler does. Boxes are answered as a user who has nothing more
// to give: Cancel at the disk prompt, OK to an error.
class DryProgress : public TInstallProgress {
 public:
  DryProgress(ArchiveCatalog& catalog, DryRunResult& result) : catalog_(catalog), result_(result) {}

  void ShowProgress() override {}
  void HideProgress() override {}
  bool Extract(const std::string& archive, const std::string& targetDir, bool) override {
    rar_.TargetDir = targetDir;
    const ArchiveInspection* inspection = catalog_.Inspect(archive);
    if (!inspection) {
      result_.StopReason = archive + ": 압축 라이브러리가 없어 항목을 알 수 없습니다.";
      return false;
    }
    for (const InspectedEntry& entry : inspection->Entries) {
      LogExtractedEntry(result_.Log, targetDir, entry.Name, entry.Flags);
    }
    result_.Steps.emplace_back(DryRunStep::Extract, archive, targetDir, inspection->Entries.size());
    if (inspection->Intact()) return true;
    result_.StopReason = archive + ": setup이 압축을 풀 수 없어 설치를 멈춥니다.";
    return false;
  }
  TRAR& Archive() override { return rar_; }
  TShellFileOperation& FileOperation() override { return fop_; }
  TInstallLog& Log() override { return result_.Log; }
  void ProcessMessages() override {}
  int AskUser(const std::string&, const std::string& caption, UINT) override {
    if (caption != kDiskCaption) return IDOK;  // the error box of an extraction
    result_.StopReason = "매체에 없는 [FILES] 파일이 있어 setup이 다음 디스켓을 기다립니다.";
    return IDCANCEL;
  }

 private:
  ArchiveCatalog& catalog_;
  DryRunResult& result_;
  TRAR rar_;
  TShellFileOperation fop_;
};

class RecordingActions : public TInstallActions {
 public:
  explicit RecordingActions(DryRunResult& result) : result_(result) {}

  void CopyWholeFile(const std::string& from, const std::string& to) override {
    result_.Steps.emplace_back(DryRunStep::Copy, from, to);
  }
  void SetEngineAside(TShellFileOperation&) override {}
  bool EngineFailIfExists() override { return false; }  // no engine there yet
  void ConfigureEngine() override { result_.Steps.emplace_back(DryRunStep::ConfigureEngine); }
  std::string MakeShortcut(const std::string& folder, const std::string& linkName,
                           const std::string& target, const std::string&) override {
    const std::string link = ShortcutPath(folder, linkName);
    result_.Steps.emplace_back(DryRunStep::Shortcut, target, link);
    return link;
  }
  void Register(TInstallLog& log, bool uninstallerCopied) override {
    AddUninstallKeyLine(log);
    DryRunStep step(DryRunStep::Register);
    step.UninstallEntry = WantsUninstallEntry(uninstallerCopied);
    result_.Steps.push_back(step);
  }
  void EnterInstallDirectory() override {}

 private:
  DryRunResult& result_;
};

}  // namespace

DryRunResult DryRunInstall(ArchiveCatalog& catalog) {
  DryRunResult result;
  DryProgress progress(catalog, result);
  RecordingActions actions(result);
  try {
    result.Completed = RunInstall(progress, actions);
  } catch (const EAbort&) {
    result.StopReason = "setup이 설치 도중 멈춥니다.";
  }
  if (result.Completed) result.Log.AddClosingLines(InstallSettings.InstallDir);
  return result;
}
