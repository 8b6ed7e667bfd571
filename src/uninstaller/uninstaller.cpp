#include "uninstaller/uninstaller.h"

#include "contracts/install_log.h"
#include "uninstaller/removal_passes.h"
#include "win/file_system.h"
#include "win/module_path.h"

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

UninstallerBox CompletionBox() {
  return {"프로그램 삭제를 완료 했습니다.", "완료", MB_OK | MB_ICONINFORMATION};
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
bool ReadWholeLog(const std::string& logPath, const MessageBoxFunction& showBox,
                  std::vector<std::string>& lines) {
  switch (ReadInstallLog(logPath, lines)) {
    case LogReadResult::Read:
      return true;
    case LogReadResult::Missing:  // gone while the user was deciding
      Ask(showBox, LogMissingBox(logPath));
      return false;
    case LogReadResult::Unreadable:  // a half-read log must not drive any removal
      Ask(showBox, LogUnreadableBox(logPath));
      return false;
  }
  return false;
}

}  // namespace

void RunUninstaller(const std::string& logPath, const MessageBoxFunction& showBox,
                    RemovalSteps& steps) {
  if (logPath.empty()) {  // the program could not learn where it lies
    Ask(showBox, LogMissingBox(kUninstallerLogName));
    return;
  }
  if (!FileExists(logPath)) {
    Ask(showBox, LogMissingBox(logPath));
    return;
  }
  // Only Yes goes on: a box that could not be shown (0) is no consent to delete.
  if (Ask(showBox, ConfirmationBox()) != IDYES) return;
  {
    std::vector<std::string> lines;
    if (!ReadWholeLog(logPath, showBox, lines)) return;
    RunRemovalPasses(lines, steps);
  }  // the line list is released before the completion box
  Ask(showBox, CompletionBox());
}
