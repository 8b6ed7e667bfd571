#include "setup/install_engine.h"

#include "contracts/install_log.h"
#include "rar/rar_component.h"
#include "setup/install_actions.h"
#include "setup/install_progress.h"
#include "setup/install_settings.h"
#include "setup/path_macros.h"
#include "setup/registration.h"
#include "text/text.h"
#include "win/directories.h"
#include "win/errors.h"
#include "win/file_system.h"

#include <algorithm>
#include <vector>

bool NoFileLog = false;
bool InstallDone = false;

namespace {

const char kToolsLibrary[] = "TUTIL32.DLL";
const char kSettingsToolLink[] = "\\환경설정";
const char kLinkExtension[] = ".LNK";
const char kProgramsFolder[] = "Programs";
const char kCommonProgramsFolder[] = "Common Programs";
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

// One run: where it shows its progress and what it does to the machine, why it
// ended early, and the files it put down whole, for a log that names everything.
struct Run {
  TInstallProgress& Progress;
  TInstallActions& Actions;
  InstallOutcome Stop = InstallOutcome::Stopped;
  std::vector<std::string> WholeFiles = {};
};

// A step that failed in a way the run's outcome names.
struct StepFailure {
  InstallOutcome Outcome;
};

template <typename Step>
auto NamingFailure(InstallOutcome outcome, Step&& step) {
  try {
    return step();
  } catch (...) {
    throw StepFailure{outcome};
  }
}

bool SameDirectory(std::string a, std::string b) {
  for (std::string* path : {&a, &b}) {
    while (path->size() > 3 && path->back() == '\\') path->pop_back();
  }
  return !a.empty() && UpperAscii(a) == UpperAscii(b);
}

// What other programs share is never named: the system and the engine directories.
void NoteWholeFile(Run& run, const std::string& target) {
  const std::string dir = DirectoryPart(target);
  if (SameDirectory(dir, SystemDirectory()) ||
      SameDirectory(dir, ExpandPath(InstallSettings.DbEngineDir))) {
    return;
  }
  run.WholeFiles.push_back(target);
}

// Before anything may make the directory, for a log that names what the run made.
void NoteDirectory(Run& run, const std::string& dir) {
  if (WantsUninstallAll()) run.Progress.Log().NoteDirectory(dir);
}

// Copies a file of the medium when it is there; false when it is not.
bool CopyFromMediumIfPresent(Run& run, const std::string& name, const std::string& target) {
  const std::string source = InstallSettings.SourceDir + name;
  if (!FileExists(source)) return false;
  run.Actions.CopyWholeFile(source, ExpandPath(target));
  return true;
}

// The same for a companion in the install directory, which a log naming
// everything names.
bool CopyCompanionIfPresent(Run& run, const std::string& name) {
  const std::string target = "<INSTALLDIR>\\" + name;
  if (!CopyFromMediumIfPresent(run, name, target)) return false;
  NoteWholeFile(run, ExpandPath(target));
  return true;
}

void StartRun(Run& run) {
  NoFileLog = false;
  InstallDone = false;
  run.Progress.Log().BeginRun();
  NoteDirectory(run, InstallSettings.InstallDir);
  run.Progress.ProcessMessages();
  run.Progress.ShowProgress();
}

// Extracts the archive; when that fails (it cannot be opened or read, an entry
// cannot be written or fails its checksum) the user is told, and the run must
// stop: it cannot claim completion with files missing, old or broken.
bool ExtractOrTell(Run& run, const std::string& archive, const std::string& targetDir,
                   bool failIfExists) {
  const bool extracted = run.Progress.Extract(archive, targetDir, failIfExists);
  if (run.Progress.CancelRequested()) {
    run.Stop = InstallOutcome::Cancelled;
    return false;
  }
  if (extracted) return true;
  run.Stop = InstallOutcome::ExtractionFailed;
  run.Progress.AskUser(archive + kExtractionFailed, kErrorCaption, MB_OK | MB_ICONSTOP);
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
    const bool failIfExists = NamingFailure(InstallOutcome::EngineDateInvalid,
                                            [&] { return run.Actions.EngineFailIfExists(); });
    if (!ExtractOrTell(run, s.SourceDir + s.DbEngineArchive, ExpandPath(s.DbEngineDir),
                       failIfExists)) {
      return false;
    }
  }
  NamingFailure(InstallOutcome::EngineNotWritten, [&] { run.Actions.ConfigureEngine(); });
  return true;
}

bool ExtractCrwArchive(Run& run) {
  NoFileLogScope quiet;
  return ExtractOrTell(run, InstallSettings.SourceDir + InstallSettings.CrwArchive,
                       ExpandPath("<WINSYSDIR>"), false);
}

// Asks for the next diskette until the source is there; false when the user cancels.
bool WaitForSource(Run& run, const std::string& source) {
  while (!FileExists(InstallSettings.SourceDir + source)) {
    // Anything but OK (also a box that could not be shown) ends the run.
    if (run.Progress.AskUser(kDiskPrompt, kDiskCaption, MB_OKCANCEL | MB_ICONQUESTION) != IDOK) {
      run.Stop = InstallOutcome::DisketteMissing;
      return false;
    }
  }
  return true;
}

// False when the entry's archive could not be extracted.
bool InstallFileEntry(Run& run, const FileEntry& entry) {
  const FileMode mode = ModeOf(entry);
  const std::string source = InstallSettings.SourceDir + entry.Source;
  if (ExtractsFromArchive(entry)) NoteDirectory(run, ExpandPath(entry.DestDir));
  if (ExtractsFromArchive(entry) && !ExtractOrTell(run, source, ExpandPath(entry.DestDir),
                                                   mode == FileMode::ExtractKeepingFiles)) {
    return false;
  }
  run.Progress.Log().Add(kDirTag, run.Progress.Archive().TargetDir);
  if (mode == FileMode::Copy && FileExists(source)) {
    // A copy that fails is not an error of the run.
    const std::string target = ExpandPath(entry.DestDir + "\\" + entry.Source);
    NoteWholeFile(run, target);
    RunIgnoringErrors([&] { run.Actions.CopyWholeFile(source, target); });
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
    if (!WaitForSource(run, entry.Source) || !InstallFileEntry(run, entry)) return false;
  }
  return true;
}

// True when the uninstaller was found on the medium (and copied).
bool CopyCompanionFiles(Run& run) {
  const TInstallSettings& s = InstallSettings;
  const bool uninstaller = CopyCompanionIfPresent(run, kUninstallerName);
  CopyCompanionIfPresent(run, kSettingsToolName);
  if (!s.DbEngineArchive.empty()) {
    const std::string target = ExpandPath("<INSTALLDIR>\\" + s.DbEngineArchive);
    run.Actions.CopyWholeFile(s.SourceDir + s.DbEngineArchive, target);
    NoteWholeFile(run, target);
  }
  CopyCompanionIfPresent(run, kArchiveLibraryName);
  CopyCompanionIfPresent(run, kToolsLibrary);
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

// "Programs" and the machine's "Common Programs" hold the product's group.
bool HoldsTheGroup(const std::string& shellFolder) {
  const std::string folder = UpperAscii(shellFolder);
  return folder == UpperAscii(kProgramsFolder) || folder == UpperAscii(kCommonProgramsFolder);
}

void CreateShortcuts(Run& run, bool uninstallerCopied) {
  const TInstallSettings& s = InstallSettings;
  TInstallLog& log = run.Progress.Log();
  // Per kind of group folder, in the order first used: the last entry's group.
  std::vector<std::pair<std::string, std::string>> groups;
  std::string companionFolder = kProgramsFolder;
  const unsigned count = std::min<unsigned>(s.IconCount, kMaxScriptEntries);
  for (unsigned n = 1; n <= count; ++n) {
    const IconEntry& icon = s.IconEntries[n - 1];
    std::string link;
    if (HoldsTheGroup(icon.ShellFolder)) {
      link = MakeShortcut(run, icon.ShellFolder,
                          s.ProductTitle + "\\" + icon.LinkName + kLinkExtension, icon.Target,
                          icon.Arguments);
      const std::string kind = UpperAscii(icon.ShellFolder);
      auto group = std::find_if(groups.begin(), groups.end(),
                                [&](const auto& known) { return known.first == kind; });
      if (group == groups.end()) group = groups.insert(groups.end(), {kind, std::string()});
      group->second = FolderOfLink(link);
      companionFolder = icon.ShellFolder;
    } else {
      link = MakeShortcut(run, icon.ShellFolder, icon.LinkName + kLinkExtension, icon.Target,
                          icon.Arguments);
    }
    log.Add(kIconTag, link);
  }
  if (uninstallerCopied && !s.UninstallLinkName.empty()) {
    log.Add(kIconTag, MakeShortcut(run, companionFolder,
                                   s.ProductTitle + "\\" + s.UninstallLinkName + kLinkExtension,
                                   kUninstallerLinkTarget, ""));
  }
  if (!s.DbEngineArchive.empty()) {
    log.Add(kIconTag,
            MakeShortcut(run, companionFolder, s.ProductTitle + kSettingsToolLink + kLinkExtension,
                         kSettingsToolLinkTarget, ""));
  }
  for (const auto& group : groups) {
    if (!group.second.empty()) log.Add(kDirTag, group.second);
  }
}

// For a log that names everything: the files put down whole, the directories the
// run made, and the product key when the run registers it.
void LogWhatTheRunMade(Run& run) {
  if (!WantsUninstallAll()) return;
  TInstallLog& log = run.Progress.Log();
  for (const std::string& file : run.WholeFiles) log.Add(kFileTag, file);
  log.AddCreatedDirectoryLines();
  if (InstallSettings.IconCount != 0) log.Add(kKeyTag, ProductKeyPath());
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
  StartRun(run);
  CopyArchiveLibrary(run);
  if (!InstallArchives(run)) {
    run.Progress.HideProgress();
    return false;
  }
  const bool uninstallerCopied = CopyCompanionFiles(run);
  if (s.IconCount != 0) CreateShortcuts(run, uninstallerCopied);
  LogWhatTheRunMade(run);
  if (s.IconCount != 0) run.Actions.Register(run.Progress.Log(), uninstallerCopied);
  FinishRun(run);
  return true;
}

}  // namespace

bool RunInstall(TInstallProgress& progress) {
  SystemInstallActions actions;
  return RunInstall(progress, actions);
}

bool RunInstall(TInstallProgress& progress, TInstallActions& actions) {
  switch (RunInstallFor(progress, actions)) {
    case InstallOutcome::Completed:
      return true;
    case InstallOutcome::DisketteMissing:
    case InstallOutcome::ExtractionFailed:
    case InstallOutcome::Cancelled:
      return false;
    default:
      // Whatever else went wrong, the run ends without a word; nothing is undone.
      throw EAbort();
  }
}

InstallOutcome RunInstallFor(TInstallProgress& progress, TInstallActions& actions) {
  Run run{progress, actions};
  try {
    if (!InstallSteps(run)) return run.Stop;
    InstallDone = true;
    return InstallOutcome::Completed;
  } catch (const StepFailure& failure) {
    return failure.Outcome;
  } catch (...) {
    return InstallOutcome::Stopped;
  }
}
