// setup.exe: the setup wizard, or with /SILENT or /VERYSILENT the same install run
// without it. The windows are made in their fixed order and the wizard's Next on the
// summary page runs the install engine on the progress window. Every run ends with
// one of setup's exit codes (setup/exit_codes.h).
#include "setup/windows/progress_window.h"
#include "setup/windows/startup.h"
#include "setup/windows/unattended_setup.h"

#include "setup/exit_codes.h"
#include "setup/install_actions.h"
#include "setup/install_engine.h"
#include "setup/logged_install.h"
#include "setup/run_log.h"
#include "setup/setup_arguments.h"
#include "setup/tracked_install.h"
#include "text/command_line.h"
#include "ui/application.h"
#include "win/directories.h"
#include "win/errors.h"
#include "win/module_path.h"
#include "win/system_library.h"
#include "win/window_count_seam.h"

#include <windows.h>

#include <optional>
#include <string>
#include <vector>

namespace {

// The wizard; the code is the outcome of its last install run, the Cancel code when
// none was started.
int RunWizard(RunLog& log) {
  std::optional<InstallOutcome> last;
  RunSetup(
      [&] {
        RollBackUnfinishedRunAndSay(log);
        Application.CreateForm(fmInstall);
      },
      [&] {
        if (!fmInstall) throw EAbort();  // nothing to install with
        SystemInstallActions system;
        LoggingActions actions(system, log);
        LoggingProgress progress(fmInstall->Progress(), log);
        last = RunTrackedInstallFor(progress, actions, log);
        switch (*last) {
          case InstallOutcome::Completed:
            return true;
          case InstallOutcome::DisketteMissing:
          case InstallOutcome::ExtractionFailed:
          case InstallOutcome::Cancelled:
          case InstallOutcome::LogNotWritten:
            return false;  // the user was told or asked for it; the wizard comes back
          default:
            fmInstall->HideProgress();
            throw EAbort();  // the silent stop
        }
      });
  if (!last) return kSetupCancelled;
  const int code = SetupExitCodeOf(*last);
  return code == kSetupCompleted && InstallLogNotSaved ? kSetupLogNotWritten : code;
}

int RunSetupProgram(const std::string& commandLine, RunLog& log) {
  const std::vector<std::string> arguments = ProgramArguments(commandLine, ModuleFileName());
  SetupArguments parsed;
  std::string error;
  const bool valid = ParseSetupArguments(arguments, parsed, error);
  const bool unattended = parsed.Mode != SetupMode::Interactive;
  if (!parsed.LogFile.empty()) {
    if (!log.Open(AbsoluteFromCommandLine(parsed.LogFile, CurrentDirectory()))) {
      if (!unattended) {
        Application.MessageBox(parsed.LogFile + " 파일을 만들 수 없습니다.", "오류",
                               MB_OK | MB_ICONSTOP);
      }
      return kSetupRunLogNotWritten;
    }
    log.Line(std::string("설치 키트 ") + KIT_VERSION_TEXT + " setup.exe");
    log.Line("명령줄: " + commandLine);
  }
  RouteMessageBoxes(log, unattended);
  if (!valid || parsed.Help) {
    if (!valid) log.Line(error);
    Application.MessageBox(kSetupUsage, kSetupUsageCaption,
                           MB_OK | (valid ? MB_ICONINFORMATION : MB_ICONSTOP));
    return valid ? kSetupCompleted : kSetupBadArguments;
  }
  return unattended ? RunUnattendedSetup(parsed, log) : RunWizard(log);
}

}  // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  RestrictLibrarySearchToSystemDirectory();
  StartWindowCountSeam();
  RunLog log;
  int code = kSetupStopped;
  try {
    code = RunSetupProgram(GetCommandLineA(), log);
  } catch (...) {
    log.Line("예기치 않은 오류로 중단했습니다.");
  }
  log.Line("종료 코드: " + std::to_string(code));
  return code;
}
