#include "setup/install_engine.h"

#include "setup/date_settings.h"
#include "setup/engine_settings_adjust.h"
#include "setup/install_settings.h"
#include "setup/path_macros.h"
#include "setup/registration.h"
#include "setup/shell_file_operation.h"
#include "setup/shortcut.h"
#include "shared/engine_settings.h"
#include "shared/errors.h"
#include "shared/file_system.h"
#include "shared/install_log.h"
#include "shared/rar_component.h"
#include "shared/text.h"

#include <algorithm>
#include <tuple>

bool NoFileLog = false;
bool InstallDone = false;

namespace {

const char kArchiveLibrary[] = "UNRAR.DLL";
const char kUninstaller[] = "Halvex.exe";
const char kSettingsTool[] = "Dorcel.exe";
const char kToolsLibrary[] = "TUTIL32.DLL";
const char kEngineProbe[] = "\\IDAPI32.DLL";
const char kEngineBackupSuffix[] = "_2";
const char kEveryFile[] = "\\*.*";
const char kSettingsToolLink[] = "\\환경설정";
const char kLinkExtension[] = ".LNK";
const char kProgramsFolder[] = "Programs";
const char kDiskPrompt[] = "다음 디스켓을 넣으신 후 확인을 누루세요.";
const char kDiskCaption[] = "Disk";

// The "FILE:" lines are off while the engine and CRW archives put down shared files,
// which the uninstaller must leave in place.
class NoFileLogScope {
 public:
  NoFileLogScope() { NoFileLog = true; }
  ~NoFileLogScope() { NoFileLog = false; }
  NoFileLogScope(const NoFileLogScope&) = delete;
  NoFileLogScope& operator=(const NoFileLogScope&) = delete;
};

// An existing target is overwritten; a failed copy is not an error of the run.
void CopyOver(const std::string& from, const std::string& to) {
  CopyFileA(from.c_str(), to.c_str(), FALSE);
}

// Copies a file of the medium when it is there; false when it is not.
bool CopyFromMediumIfPresent(const std::string& name, const std::string& target) {
  const std::string source = InstallSettings.SourceDir + name;
  if (!FileExists(source)) return false;
  CopyOver(source, ExpandPath(target));
  return true;
}

void StartRun(TInstallProgress& progress) {
  NoFileLog = false;
  InstallDone = false;
  progress.ProcessMessages();
  progress.ShowProgress();
}

void CopyArchiveLibrary() {
  CopyFromMediumIfPresent(kArchiveLibrary, std::string("<WINSYSDIR>\\") + kArchiveLibrary);
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
  try {
    if (DirectoryExists(dir + kEngineBackupSuffix)) {
      if (DirectoryExists(dir)) RunFileOperation(fop, fopDelete, dir + kEveryFile, dir);
    } else if (DirectoryExists(dir)) {
      RunFileOperation(fop, fopRename, dir, dir + kEngineBackupSuffix);
    }
  } catch (...) {
    // The run goes on with whatever is in the engine directory.
  }
}

void InstallDatabaseEngine(TInstallProgress& progress) {
  const TInstallSettings& s = InstallSettings;
  {
    NoFileLogScope quiet;
    SetOldEngineAside(progress.FileOperation());
    const bool failIfExists = EngineFailIfExists();
    progress.Extract(s.SourceDir + s.DbEngineArchive, ExpandPath(s.DbEngineDir), failIfExists);
  }
  WriteEngineSettings();
  SetLanguageDriver(kParadoxDriver, s.ParadoxLangDriver);
  SetLanguageDriver(kDbaseDriver, s.DbaseLangDriver);
  SetEnginePaths(ExpandPath(s.DbEngineDir), s.DbEngineConfigFile);
}

void ExtractCrwArchive(TInstallProgress& progress) {
  NoFileLogScope quiet;
  progress.Extract(InstallSettings.SourceDir + InstallSettings.CrwArchive,
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

void InstallFileEntry(TInstallProgress& progress, const FileEntry& entry) {
  const std::string mode = UpperAscii(entry.Mode);
  const std::string source = InstallSettings.SourceDir + entry.Source;
  if ((mode.empty() || mode == "FAILIFEXISTS") &&
      UpperAscii(FileExtension(entry.Source)) == ".RAR") {
    progress.Extract(source, ExpandPath(entry.DestDir), mode == "FAILIFEXISTS");
  }
  progress.Log().Add(kDirTag, progress.Archive().TargetDir);
  if (mode == "COPY" && FileExists(source)) {
    try {
      CopyOver(source, ExpandPath(entry.DestDir + "\\" + entry.Source));
    } catch (...) {
      // A copy that fails is not an error of the run.
    }
  }
}

// False when the user cancelled at the disk prompt.
bool InstallFileTable(TInstallProgress& progress) {
  // The table has no more slots than the script reader fills.
  const unsigned count = std::min<unsigned>(InstallSettings.FileCount, kMaxScriptEntries);
  for (unsigned n = 1; n <= count; ++n) {
    const FileEntry& entry = InstallSettings.FileEntries[n - 1];
    if (!WaitForSource(progress, entry.Source)) return false;
    InstallFileEntry(progress, entry);
  }
  return true;
}

// True when the uninstaller was found on the medium (and copied).
bool CopyCompanionFiles() {
  const TInstallSettings& s = InstallSettings;
  const bool uninstaller =
      CopyFromMediumIfPresent(kUninstaller, std::string("<INSTALLDIR>\\") + kUninstaller);
  CopyFromMediumIfPresent(kSettingsTool, std::string("<INSTALLDIR>\\") + kSettingsTool);
  if (!s.DbEngineArchive.empty()) {
    CopyOver(s.SourceDir + s.DbEngineArchive, ExpandPath("<INSTALLDIR>\\" + s.DbEngineArchive));
  }
  CopyFromMediumIfPresent(kArchiveLibrary, std::string("<INSTALLDIR>\\") + kArchiveLibrary);
  CopyFromMediumIfPresent(kToolsLibrary, std::string("<INSTALLDIR>\\") + kToolsLibrary);
  return uninstaller;
}

std::string MakeShortcut(const std::string& folder, const std::string& linkName,
                         const std::string& target, const std::string& arguments) {
  std::string link;
  CreateShortcut(folder, linkName, ExpandPath(target), ExpandPath(arguments), link);
  return link;
}

// Everything before the link's last "\".
std::string FolderOfLink(const std::string& link) {
  const auto cut = link.rfind('\\');
  return cut == std::string::npos ? std::string() : link.substr(0, cut);
}

void CreateShortcuts(TInstallLog& log, bool uninstallerCopied) {
  const TInstallSettings& s = InstallSettings;
  std::string group;
  const unsigned count = std::min<unsigned>(s.IconCount, kMaxScriptEntries);
  for (unsigned n = 1; n <= count; ++n) {
    const IconEntry& icon = s.IconEntries[n - 1];
    std::string link;
    if (UpperAscii(icon.ShellFolder) == "PROGRAMS") {
      link = MakeShortcut(icon.ShellFolder, s.ProductTitle + "\\" + icon.LinkName + kLinkExtension,
                          icon.Target, icon.Arguments);
      group = FolderOfLink(link);
    } else {
      link = MakeShortcut(icon.ShellFolder, icon.LinkName + kLinkExtension, icon.Target,
                          icon.Arguments);
    }
    log.Add(kIconTag, link);
  }
  if (uninstallerCopied && !s.UninstallLinkName.empty()) {
    log.Add(kIconTag, MakeShortcut(kProgramsFolder,
                                   s.ProductTitle + "\\" + s.UninstallLinkName + kLinkExtension,
                                   "<INSTALLDIR>\\HALVEX.EXE", ""));
  }
  if (!s.DbEngineArchive.empty()) {
    log.Add(kIconTag,
            MakeShortcut(kProgramsFolder, s.ProductTitle + kSettingsToolLink + kLinkExtension,
                         "<INSTALLDIR>\\DORCEL.EXE", ""));
  }
  if (!group.empty()) log.Add(kDirTag, group);
}

void FinishRun(TInstallProgress& progress) {
  progress.HideProgress();
  SetCurrentDirectoryA(InstallSettings.InstallDir.c_str());  // a failure leaves it as it was
}

// Every step of the run; false when the user cancelled at the disk prompt.
bool InstallSteps(TInstallProgress& progress) {
  const TInstallSettings& s = InstallSettings;
  StartRun(progress);
  CopyArchiveLibrary();
  if (!s.DbEngineArchive.empty()) InstallDatabaseEngine(progress);
  if (!s.CrwArchive.empty()) ExtractCrwArchive(progress);
  if (!InstallFileTable(progress)) {
    progress.HideProgress();
    return false;
  }
  const bool uninstallerCopied = CopyCompanionFiles();
  if (s.IconCount != 0) {
    CreateShortcuts(progress.Log(), uninstallerCopied);
    RegisterInstallation(progress.Log());
  }
  FinishRun(progress);
  return true;
}

}  // namespace

bool RunInstall(TInstallProgress& progress) {
  try {
    if (!InstallSteps(progress)) return false;
  } catch (const EAbort&) {
    throw;
  } catch (...) {
    // Whatever went wrong, the run ends without a word; nothing is undone.
    throw EAbort();
  }
  InstallDone = true;
  return true;
}

bool EngineFailIfExists() {
  const TInstallSettings& s = InstallSettings;
  if (UpperAscii(s.DbEngineOverwrite) == "TRUE") return false;
  const std::string installed = s.DbEngineDir + kEngineProbe;
  if (!FileExists(installed)) return false;
  const SYSTEMTIME shipped = StrToDateTime(s.DbEngineDate);
  // The installed engine is kept when it is as new as the shipped one or newer.
  return !LaterThan(shipped, FileDate(installed));
}

SYSTEMTIME FileDate(const std::string& path) {
  WIN32_FILE_ATTRIBUTE_DATA data;
  FILETIME local;
  SYSTEMTIME date = {};
  if (!GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &data) ||
      !FileTimeToLocalFileTime(&data.ftLastWriteTime, &local) ||
      !FileTimeToSystemTime(&local, &date)) {
    return SYSTEMTIME{};
  }
  date.wDayOfWeek = 0;
  date.wSecond = static_cast<WORD>(date.wSecond - date.wSecond % 2);
  date.wMilliseconds = 0;
  return date;
}

bool LaterThan(const SYSTEMTIME& a, const SYSTEMTIME& b) {
  const auto fields = [](const SYSTEMTIME& t) {
    return std::make_tuple(t.wYear, t.wMonth, t.wDay, t.wHour, t.wMinute, t.wSecond,
                           t.wMilliseconds);
  };
  return fields(a) > fields(b);
}

std::string FileExtension(const std::string& path) {
  const auto dot = path.rfind('.');
  if (dot == std::string::npos || path.find_first_of("\\:", dot) != std::string::npos) {
    return std::string();
  }
  return path.substr(dot);
}
