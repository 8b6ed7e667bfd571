#include "setup/install_actions.h"

#include "contracts/engine_settings.h"
#include "setup/engine_date_rule.h"
#include "setup/engine_settings_adjust.h"
#include "setup/install_settings.h"
#include "setup/path_macros.h"
#include "setup/registration.h"
#include "setup/shell_file_operation.h"
#include "setup/shortcut.h"
#include "win/code_page_text.h"
#include "win/errors.h"
#include "win/file_system.h"
#include "win/restart_deletion.h"

#include <windows.h>

namespace {

const char kEngineBackupSuffix[] = "_2";
const char kEveryFile[] = "\\*.*";

// An existing target is overwritten, also a read-only one (a copy from a CD-ROM
// made by an earlier install), and the copy is left writable, so the next install
// can replace it. A failed copy is not an error of the run.
void CopyOver(const std::string& from, const std::string& to) {
  const WideString target = WideFromAnsi(to);
  ClearReadOnly(target.c_str());
  if (CopyFileA(from.c_str(), to.c_str(), FALSE)) ClearReadOnly(target.c_str());
}

void RunFileOperation(TShellFileOperation& fop, TFileOperation operation, const std::string& source,
                      const std::string& destination) {
  fop.Operation = operation;
  fop.SourceFiles.clear();
  fop.SourceFiles.push_back(source);
  fop.Destination = destination;
  fop.Execute();
}

// An engine backup present: the engine's files go to the Recycle Bin (its
// subdirectories and the backup stay). Otherwise the engine directory becomes the
// backup. Both are best effort: the engine may be in use.
void SetOldEngineAside(TShellFileOperation& fop) {
  const std::string& dir = InstallSettings.DbEngineDir;
  // The run goes on with whatever is in the engine directory.
  RunIgnoringErrors([&] {
    if (DirectoryExists(dir + kEngineBackupSuffix)) {
      if (DirectoryExists(dir)) RunFileOperation(fop, fopDelete, dir + kEveryFile, dir);
    } else if (DirectoryExists(dir)) {
      RunFileOperation(fop, fopRename, dir, dir + kEngineBackupSuffix);
    }
  });
}

}  // namespace

void SystemInstallActions::CopyWholeFile(const std::string& from, const std::string& to) {
  // An uninstall before may have handed this file (Halvex.exe) to the next restart.
  CancelRestartDeletion(to);
  CopyOver(from, to);
}

void SystemInstallActions::SetEngineAside(TShellFileOperation& fop) { SetOldEngineAside(fop); }

bool SystemInstallActions::EngineFailIfExists() { return ::EngineFailIfExists(); }

void SystemInstallActions::ConfigureEngine() {
  const TInstallSettings& s = InstallSettings;
  WriteEngineSettings();
  SetLanguageDriver(kParadoxDriver, s.ParadoxLangDriver);
  SetLanguageDriver(kDbaseDriver, s.DbaseLangDriver);
  SetEnginePaths(ExpandPath(s.DbEngineDir), s.DbEngineConfigFile);
}

std::string SystemInstallActions::MakeShortcut(const std::string& folder,
                                               const std::string& linkName,
                                               const std::string& target,
                                               const std::string& arguments) {
  std::string link;
  CreateShortcut(folder, linkName, target, arguments, link);
  return link;
}

void SystemInstallActions::Register(TInstallLog& log, bool uninstallerCopied) {
  RegisterInstallation(log);
  RegisterUninstallEntry(uninstallerCopied);
}

void SystemInstallActions::EnterInstallDirectory() {
  SetCurrentDirectoryA(InstallSettings.InstallDir.c_str());  // a failure leaves it as it was
}
