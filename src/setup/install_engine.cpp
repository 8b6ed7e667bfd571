#include "setup/install_engine.h"

#include "contracts/install_log.h"
#include "rar/rar_component.h"
#include "setup/install_actions.h"
#include "setup/install_progress.h"
#include "setup/install_settings.h"
#include "setup/path_macros.h"
#include "text/text.h"
#include "win/errors.h"
#include "win/file_system.h"

#include <algorithm>

bool NoFileLog = false;
bool InstallDone = false;

namespace {

const char kToolsLibrary[] = "TUTIL32.DLL";
const char kSettingsToolLink[] = "\\환경설정";
const char kLinkExtension[] = ".LNK";
const char kProgramsFolder[] = "Programs";
const char kDiskPrompt[] = "다음 디스켓을 넣으신 후 확인을 누루세요.";
const char kDiskCaption[] = "Disk";
const char kExtractionFailed[] = " 파일의 압축을 풀 수 없습니다.";
const char kErrorCaption[] = "오류";

// The "FILE:" lines are off while the engine and CRW archives put down shared files,
// which the uninstaller must leave in place.
class NoFileLogScope {
 public:
  NoFileLogScope() { NoFileLog = true; }
  ~NoFileLogScope() { NoFileLog = false; }
  NoFileLogScope(const NoFileLogScope&) = delete;
  NoFileLogScope& operator=(const NoFileLogScope&) = delete;
};

// One run: where it shows its progress and what it does to the machine.
struct Run {
  TInstallProgress& Progress;
  TInstallActions& Actions;
};

// Copies a file of the medium when it is there; false when it is not.
bool CopyFromMediumIfPresent(Run& run, const std::string& name, const std::string& target) {
  const std::string source = InstallSettings.SourceDir + name;
  if (!FileExists(source)) return false;
  run.Actions.CopyWholeFile(source, ExpandPath(target));
  return true;
}

void StartRun(TInstallProgress& progress) {
  NoFileLog = false;
  InstallDone = false;
  progress.Log().BeginRun();
  progress.ProcessMessages();
  progress.ShowProgress();
}

// Extracts the archive; when that fails (it cannot be opened or read, an entry
// cannot be written or fails its checksum) the user is told, and the run must
// stop: it cannot claim completion with files missing, old or broken.
bool ExtractOrTell(TInstallProgress& progress, const std::string& archive,
                   const std::string& targetDir, bool failIfExists) {
  if (progress.Extract(archive, targetDir, failIfExists)) return true;
  progress.AskUser(archive + kExtractionFailed, kErrorCaption, MB_OK | MB_ICONSTOP);
  return false;
}

void CopyArchiveLibrary(Run& run) {
  CopyFromMediumIfPresent(run, kArchiveLibraryName,
                          std::string("<WINSYSDIR>\\") + kArchiveLibraryName);
}

// False when the engine archive could not be extracted: the engine is then not
// configured for files that are not there.
bool InstallDatabaseEngine(Run& run) {
  const TInstallSettings& s = InstallSettings;
  {
    NoFileLogScope quiet;
    run.Actions.SetEngineAside(run.Progress.FileOperation());
    const bool failIfExists = run.Actions.EngineFailIfExists();
    if (!ExtractOrTell(run.Progress, s.SourceDir + s.DbEngineArchive, ExpandPath(s.DbEngineDir),
                       failIfExists)) {
      return false;
    }
  }
  run.Actions.ConfigureEngine();
  return true;
}

bool ExtractCrwArchive(Run& run) {
  NoFileLogScope quiet;
  return ExtractOrTell(run.Progress, InstallSettings.SourceDir + InstallSettings.CrwArchive,
                       ExpandPath("<WINSYSDIR>"), false);
}

// Asks for the next diskette until the source is there; false when the user cancels.
bool WaitForSource(TInstallProgress& progress, const std::string& source) {
  while (!FileExists(InstallSettings.SourceDir + source)) {
    // Anything but OK (also a box that could not be shown) ends the run.
    if (progress.AskUser(kDiskPrompt, kDiskCaption, MB_OKCANCEL | MB_ICONQUESTION) != IDOK) {
      return false;
    }
  }
  return true;
}

// False when the entry's archive could not be extracted.
bool InstallFileEntry(Run& run, const FileEntry& entry) {
  const FileMode mode = ModeOf(entry);
  const std::string source = InstallSettings.SourceDir + entry.Source;
  if (ExtractsFromArchive(entry) && !ExtractOrTell(run.Progress, source, ExpandPath(entry.DestDir),
                                                   mode == FileMode::ExtractKeepingFiles)) {
    return false;
  }
  run.Progress.Log().Add(kDirTag, run.Progress.Archive().TargetDir);
  if (mode == FileMode::Copy && FileExists(source)) {
    // A copy that fails is not an error of the run.
    RunIgnoringErrors([&] {
      run.Actions.CopyWholeFile(source, ExpandPath(entry.DestDir + "\\" + entry.Source));
    });
  }
  return true;
}

// False when the user cancelled at the disk prompt or an archive could not be
// extracted.
bool InstallFileTable(Run& run) {
  // The table has no more slots than the script reader fills.
  const unsigned count = std::min<unsigned>(InstallSettings.FileCount, kMaxScriptEntries);
  for (unsigned n = 1; n <= count; ++n) {
    const FileEntry& entry = InstallSettings.FileEntries[n - 1];
    if (!WaitForSource(run.Progress, entry.Source) || !InstallFileEntry(run, entry)) return false;
  }
  return true;
}

// True when the uninstaller was found on the medium (and copied).
bool CopyCompanionFiles(Run& run) {
  const TInstallSettings& s = InstallSettings;
  const std::string installDir = "<INSTALLDIR>\\";
  const bool uninstaller =
      CopyFromMediumIfPresent(run, kUninstallerName, installDir + kUninstallerName);
  CopyFromMediumIfPresent(run, kSettingsToolName, installDir + kSettingsToolName);
  if (!s.DbEngineArchive.empty()) {
    run.Actions.CopyWholeFile(s.SourceDir + s.DbEngineArchive,
                              ExpandPath(installDir + s.DbEngineArchive));
  }
  CopyFromMediumIfPresent(run, kArchiveLibraryName, installDir + kArchiveLibraryName);
  CopyFromMediumIfPresent(run, kToolsLibrary, installDir + kToolsLibrary);
  return uninstaller;
}

std::string MakeShortcut(Run& run, const std::string& folder, const std::string& linkName,
                         const std::string& target, const std::string& arguments) {
  return run.Actions.MakeShortcut(folder, linkName, ExpandPath(target), ExpandPath(arguments));
}

// Everything before the link's last "\".
std::string FolderOfLink(const std::string& link) {
  const auto cut = link.rfind('\\');
  return cut == std::string::npos ? std::string() : link.substr(0, cut);
}

void CreateShortcuts(Run& run, bool uninstallerCopied) {
  const TInstallSettings& s = InstallSettings;
  TInstallLog& log = run.Progress.Log();
  std::string group;
  const unsigned count = std::min<unsigned>(s.IconCount, kMaxScriptEntries);
  for (unsigned n = 1; n <= count; ++n) {
    const IconEntry& icon = s.IconEntries[n - 1];
    std::string link;
    if (UpperAscii(icon.ShellFolder) == "PROGRAMS") {
      link = MakeShortcut(run, icon.ShellFolder,
                          s.ProductTitle + "\\" + icon.LinkName + kLinkExtension, icon.Target,
                          icon.Arguments);
      group = FolderOfLink(link);
    } else {
      link = MakeShortcut(run, icon.ShellFolder, icon.LinkName + kLinkExtension, icon.Target,
                          icon.Arguments);
    }
    log.Add(kIconTag, link);
  }
  if (uninstallerCopied && !s.UninstallLinkName.empty()) {
    log.Add(kIconTag, MakeShortcut(run, kProgramsFolder,
                                   s.ProductTitle + "\\" + s.UninstallLinkName + kLinkExtension,
                                   kUninstallerLinkTarget, ""));
  }
  if (!s.DbEngineArchive.empty()) {
    log.Add(kIconTag,
            MakeShortcut(run, kProgramsFolder, s.ProductTitle + kSettingsToolLink + kLinkExtension,
                         kSettingsToolLinkTarget, ""));
  }
  if (!group.empty()) log.Add(kDirTag, group);
}

void FinishRun(Run& run) {
  run.Progress.HideProgress();
  run.Actions.EnterInstallDirectory();
}

// The steps that a Cancel at the disk prompt or a failed extraction may end
// early; false then.
bool InstallArchives(Run& run) {
  const TInstallSettings& s = InstallSettings;
  if (!s.DbEngineArchive.empty() && !InstallDatabaseEngine(run)) return false;
  if (!s.CrwArchive.empty() && !ExtractCrwArchive(run)) return false;
  return InstallFileTable(run);
}

// Every step of the run; false when it ended early.
bool InstallSteps(Run& run) {
  const TInstallSettings& s = InstallSettings;
  StartRun(run.Progress);
  CopyArchiveLibrary(run);
  if (!InstallArchives(run)) {
    run.Progress.HideProgress();
    return false;
  }
  const bool uninstallerCopied = CopyCompanionFiles(run);
  if (s.IconCount != 0) {
    CreateShortcuts(run, uninstallerCopied);
    run.Actions.Register(run.Progress.Log(), uninstallerCopied);
  }
  FinishRun(run);
  return true;
}

}  // namespace

bool RunInstall(TInstallProgress& progress) {
  SystemInstallActions actions;
  return RunInstall(progress, actions);
}

bool RunInstall(TInstallProgress& progress, TInstallActions& actions) {
  try {
    Run run{progress, actions};
    if (!InstallSteps(run)) return false;
  } catch (const EAbort&) {
    throw;
  } catch (...) {
    // Whatever went wrong, the run ends without a word; nothing is undone.
    throw EAbort();
  }
  InstallDone = true;
  return true;
}
