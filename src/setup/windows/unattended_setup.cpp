#include "setup/windows/unattended_setup.h"

#include "setup/windows/progress_window.h"

#include "setup/date_settings.h"
#include "setup/exit_codes.h"
#include "setup/install_engine.h"
#include "setup/install_settings.h"
#include "setup/logged_install.h"
#include "setup/path_macros.h"
#include "setup/run_log.h"
#include "setup/tracked_install.h"
#include "setup/unattended_progress.h"
#include "ui/application.h"
#include "win/com_ptr.h"
#include "win/directories.h"
#include "win/file_system.h"

#include <optional>
#include <string>
#include <vector>

namespace {

const char kErrorCaption[] = "오류";

// The answer that lets a run end when no one can give one.
int UnattendedAnswer(UINT flags) {
  switch (flags & MB_TYPEMASK) {
    case MB_OK:
      return IDOK;
    case MB_YESNO:
      return IDNO;
    case MB_ABORTRETRYIGNORE:
      return IDABORT;
    default:
      return IDCANCEL;
  }
}

// A box's text on one line of the log.
std::string OneLine(const std::string& text) {
  std::string line;
  for (const char c : text) {
    if (c == '\r') continue;
    line += c == '\n' ? ' ' : c;
  }
  return line;
}

// The progress window on its own: no owner, so no task-bar window is made for it.
class UnownedFormHost final : public TFormHost {
 public:
  HWND OwnerWindow() const override { return nullptr; }
  void RunModalLoop(const TForm& /*form*/) override {}
  bool EndProgramWith(const TForm& /*form*/) override { return false; }
  bool ProgramEnding() const override { return false; }
  void Release(TForm& /*form*/) override {}
};

int Tell(const std::string& text, int code) {
  Application.MessageBox(text, kErrorCaption, MB_OK | MB_ICONSTOP);
  return code;
}

// The run on the windowless progress; logSaved false when the install log was not saved.
InstallOutcome RunWithoutWindow(TInstallActions& actions, RunLog& log, bool& logSaved) {
  UnattendedProgress progress([](const std::string& text, const std::string& caption, UINT flags) {
    return Application.MessageBox(text, caption, flags);
  });
  LoggingProgress logged(progress, log);
  const InstallOutcome outcome = RunTrackedInstallFor(logged, actions, log);
  logSaved = progress.SaveInstallLog();
  return outcome;
}

// The same on the progress window, shown without the wizard and without an owner.
InstallOutcome RunOnProgressWindow(TInstallActions& actions, RunLog& log, bool& logSaved) {
  UnownedFormHost host;
  InstallLogNotSaved = false;
  TfmInstall window(host);
  window.FOP.Options |= foSilent | foNoErrorUI | foNoConfirmation;
  window.FormCreate();
  LoggingProgress logged(window.Progress(), log);
  const InstallOutcome outcome = RunTrackedInstallFor(logged, actions, log);
  window.FormDestroy();  // saves the install log, as at the end of an interactive run
  logSaved = !InstallLogNotSaved;
  return outcome;
}

}  // namespace

void RouteMessageBoxes(RunLog& log, bool answerThem) {
  Application.SetMessageBoxHook([&log, answerThem](const std::string& text,
                                                   const std::string& caption,
                                                   UINT flags) -> std::optional<int> {
    log.Line("메시지 [" + caption + "]: " + OneLine(text));
    if (!answerThem) return std::nullopt;
    return UnattendedAnswer(flags);
  });
}

void RollBackUnfinishedRunAndSay(RunLog& log) {
  std::vector<std::string> left;
  if (!RollBackUnfinishedRun(log, left)) return;
  UINT icon = MB_ICONINFORMATION;
  std::string text = kUnfinishedRunRolledBack;
  if (!left.empty()) {
    icon = MB_ICONWARNING;
    text += "\r\n\r\n";
    text += NotUndoneMessage(left);
  }
  Application.MessageBox(text, "설치", MB_OK | icon);
}

int RunUnattendedSetup(const SetupArguments& arguments, RunLog& log) {
  SetStartupDateSettings();
  ReadSetupScript();
  const TInstallSettings& s = InstallSettings;
  log.Line("매체: " + s.SourceDir);
  const std::string script = s.SourceDir + kScriptName;
  if (!FileExists(script)) return Tell(script + " 파일이 없습니다.", kSetupScriptMissing);
  if (s.ProductTitle.empty()) {
    return Tell(script + "에 제품 이름(NAME, VERSION)이 없습니다.", kSetupScriptUntitled);
  }
  if (!arguments.Dir.empty()) {
    InstallSettings.InstallDir =
        AbsoluteFromCommandLine(ExpandPath(arguments.Dir), CurrentDirectory());
  }
  RollBackUnfinishedRunAndSay(log);
  log.Line("제품: " + s.ProductTitle);
  log.Line("설치 디렉토리: " + s.InstallDir);

  ComApartment com;  // the shortcuts are COM objects
  SystemInstallActions system;
  LoggingActions actions(system, log);
  bool logSaved = true;
  const InstallOutcome outcome = arguments.Mode == SetupMode::VerySilent
                                     ? RunWithoutWindow(actions, log, logSaved)
                                     : RunOnProgressWindow(actions, log, logSaved);
  const int code = SetupExitCodeOf(outcome);
  if (code == kSetupCompleted && !logSaved) return kSetupLogNotWritten;
  if (code == kSetupCompleted) log.Line("설치 로그: " + s.InstallDir + "\\" + kInstallLogName);
  return code;
}
