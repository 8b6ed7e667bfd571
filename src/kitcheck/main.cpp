// kitcheck: checks a distribution medium before it is shipped, tells what setup will
// do from it and what is wrong with it, and predicts the install log.
//
//   kitcheck [MEDIUM_DIR] [--log FILE]
//
// Exit code: 0 no error (warnings alone give 0), 1 errors, 2 it could not run.
#include "contracts/install_log.h"
#include "kitcheck/archive_catalog.h"
#include "kitcheck/arguments.h"
#include "kitcheck/dry_run.h"
#include "kitcheck/medium_checks.h"
#include "kitcheck/report.h"
#include "kitcheck/script_file.h"
#include "rar/unrar_runtime.h"
#include "setup/date_settings.h"
#include "setup/install_settings.h"
#include "win/file_system.h"
#include "win/module_path.h"
#include "win/system_library.h"

#include <windows.h>
#include <shlobj.h>

#include <string>
#include <vector>

namespace {

constexpr int kCannotRun = 2;

// Writes to STD_OUTPUT_HANDLE or STD_ERROR_HANDLE.
void Print(DWORD stream, const std::string& text) {
  DWORD written = 0;
  WriteFile(GetStdHandle(stream), text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
}

// The directory as a full path ending in "\"; empty when there is no such directory.
std::string FullDirectory(const std::string& dir) {
  char buffer[MAX_PATH * 4] = {};
  const DWORD length = GetFullPathNameA(dir.c_str(), sizeof buffer, buffer, nullptr);
  if (length == 0 || length >= sizeof buffer) return std::string();
  std::string full(buffer, length);
  if (!DirectoryExists(full)) return std::string();
  if (full.back() != '\\') full += '\\';
  return full;
}

// The medium's archive library first, then the one beside kitcheck.
bool BindArchiveLibrary(const std::string& mediumDir) {
  for (const std::string& dir : {mediumDir, ProgramDirectory()}) {
    const std::string library = dir + kArchiveLibraryName;
    if (!dir.empty() && FileExists(library) && LoadArchiveLibrary(library)) {
      return true;
    }
  }
  return false;
}

std::vector<std::string> ProgramFilesDirectories() {
  std::vector<std::string> dirs;
  char path[MAX_PATH] = {};
  if (SUCCEEDED(SHGetFolderPathA(nullptr, CSIDL_PROGRAM_FILES, nullptr, 0, path))) {
    dirs.push_back(path);
  }
  for (const char* name : {"ProgramW6432", "ProgramFiles"}) {
    char value[MAX_PATH] = {};
    const DWORD length = GetEnvironmentVariableA(name, value, MAX_PATH);
    if (length > 0 && length < MAX_PATH) dirs.push_back(value);
  }
  return dirs;
}

ScriptFile ReadScript(const std::string& path) {
  std::string bytes;
  if (!FileExists(path) || !ReadWholeFile(path, bytes)) return ScriptFile();
  return AnalyseScript(bytes, path);
}

int Check(const CheckArguments& arguments) {
  const std::string mediumDir =
      FullDirectory(arguments.MediumDir.empty() ? ProgramDirectory() : arguments.MediumDir);
  if (mediumDir.empty()) {
    Print(STD_ERROR_HANDLE, arguments.MediumDir + ": 그런 디렉토리가 없습니다.\r\n");
    return kCannotRun;
  }
  ArchiveCatalog catalog(BindArchiveLibrary(mediumDir));
  SetStartupDateSettings();
  ReadSetupScriptFor(mediumDir + kSetupProgramName);
  MediumFacts facts{mediumDir, ReadScript(mediumDir + kScriptName), ProgramFilesDirectories()};
  const DryRunResult run = DryRunInstall(catalog);

  ReportInput report;
  report.MediumDir = mediumDir;
  report.LibraryPath = ArchiveLibraryPath();
  report.Run = &run;
  report.Problems = CheckMedium(facts, catalog, run);
  int code = ExitCodeOf(report.Problems);
  if (!arguments.LogFile.empty()) {
    report.LogFile = arguments.LogFile;
    if (!run.Completed) {
      report.LogOutcome = "쓰지 않았습니다. " + run.StopReason;
    } else if (run.Log.SaveToFile(arguments.LogFile)) {
      report.LogOutcome = "썼습니다";
    } else {
      report.LogOutcome = "쓸 수 없습니다";
      code = kCannotRun;
    }
  }
  Print(STD_OUTPUT_HANDLE, FormatReport(report));
  return code;
}

}  // namespace

int main(int argc, char** argv) {
  RestrictLibrarySearchToSystemDirectory();
  CheckArguments arguments;
  std::string error;
  if (!ParseArguments(std::vector<std::string>(argv + 1, argv + argc), arguments, error)) {
    Print(STD_ERROR_HANDLE, error + "\r\n" + kUsage);
    return kCannotRun;
  }
  try {
    return Check(arguments);
  } catch (...) {
    Print(STD_ERROR_HANDLE, "kitcheck: 검사를 마칠 수 없습니다.\r\n");
    return kCannotRun;
  }
}
