#include "uninstaller/uninstaller.h"

#include "contracts/install_log.h"
#include "uninstaller/exit_codes.h"
#include "uninstaller/removal_passes.h"
#include "uninstaller/restart_removal.h"
#include "uninstaller/unfinished_install.h"
#include "win/file_system.h"
#include "win/module_path.h"

#include <set>
#include <utility>
#include <vector>

UninstallerBox LogMissingBox(const std::string& logPath) {
  return {logPath + " 파일이 존재하지 않습니다.  확인 후 다시 실행 하십시오.", "오류",
          MB_OK | MB_ICONSTOP};
}

UninstallerBox LogUnreadableBox(const std::string& logPath) {
  return {logPath + " 파일을 읽을 수 없습니다.", "오류", MB_OK | MB_ICONSTOP};
}

UninstallerBox ConfirmationBox() {
  return {"프로그램을 컴퓨터에서 삭제 하시겠습니까? (주의! 프로그램과 모든 자료가 지워집니다.)",
          "삭제", MB_YESNO | MB_ICONQUESTION | MB_DEFBUTTON2};
}

UninstallerBox CompletionBox(const std::vector<std::string>& stayed) {
  std::string text = "프로그램 삭제를 완료 했습니다.";
  if (!stayed.empty()) {
    text += "\r\n\r\n다음 폴더에는 다른 파일이 남아 있어 지우지 않았습니다:";
    for (const std::string& dir : stayed) text += "\r\n" + dir;
  }
  return {text, "완료", MB_OK | MB_ICONINFORMATION};
}

int Ask(const MessageBoxFunction& showBox, const UninstallerBox& box) {
  return showBox(box.Text, box.Caption, box.Flags);
}

std::string UninstallerLogPath() {
  const std::string directory = ProgramDirectory();
  // Never the current directory: without its own path the uninstaller has no log.
  return directory.empty() ? std::string() : directory + kUninstallerLogName;
}

namespace {

// Reads the whole log; when that fails the user is told and nothing may be removed.
// The exit code of the failure, or kUninstallDone.
int ReadWholeLog(const std::string& logPath, const MessageBoxFunction& showBox,
                 std::vector<std::string>& lines) {
  switch (ReadInstallLog(logPath, lines)) {
    case LogReadResult::Read:
      return kUninstallDone;
    case LogReadResult::Missing:  // gone while the user was deciding
      Ask(showBox, LogMissingBox(logPath));
      return kUninstallLogMissing;
    case LogReadResult::Unreadable:  // a half-read log must not drive any removal
      Ask(showBox, LogUnreadableBox(logPath));
      return kUninstallLogUnreadable;
  }
  return kUninstallLogUnreadable;
}

}  // namespace

int RunUninstaller(const std::string& logPath, const MessageBoxFunction& showBox,
                   RemovalSteps& steps) {
  if (logPath.empty()) {  // the program could not learn where it lies
    Ask(showBox, LogMissingBox(kUninstallerLogName));
    return kUninstallLogMissing;
  }
  // An install that was killed is undone before anything else, the question included.
  std::set<std::string> waiting;
  const bool rolledBack = RollBackUnfinishedRunAndSay(logPath, showBox, steps, waiting);
  if (!FileExists(logPath)) {
    if (rolledBack) return kUninstallRolledBackOnly;  // no earlier install came back
    Ask(showBox, LogMissingBox(logPath));
    return kUninstallLogMissing;
  }
  // Only Yes goes on: a box that could not be shown (0) is no consent to delete.
  if (Ask(showBox, ConfirmationBox()) != IDYES) return kUninstallDeclined;
  std::vector<std::string> stayed;
  {
    std::vector<std::string> lines;
    if (const int failed = ReadWholeLog(logPath, showBox, lines)) return failed;
    RunRemovalPasses(lines, steps);
    stayed = FinishRemoval(lines, steps, std::move(waiting));
  }  // the line list is released before the completion box
  Ask(showBox, CompletionBox(stayed));
  return kUninstallDone;
}
