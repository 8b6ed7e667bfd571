// Halvex: removes an installed product by the install log beside it.
//   Halvex.exe [/SILENT]
// /SILENT: no confirmation, no boxes; the exit code tells the outcome.
#include "text/command_line.h"
#include "uninstaller/exit_codes.h"
#include "uninstaller/removal_passes.h"
#include "uninstaller/uninstaller.h"
#include "win/errors.h"
#include "win/message_box.h"
#include "win/module_path.h"
#include "win/system_library.h"
#include "win/window_count_seam.h"

#include <windows.h>

#include <string>
#include <vector>

namespace {

const char kUsage[] =
    "사용법: Halvex.exe [/SILENT]\n\n/SILENT\t묻지 않고 제거하며 창을 보이지 않습니다.";

// Without anyone at the screen: Yes to the one question, OK to every other box.
int AnswerSilently(const std::string& /*text*/, const std::string& /*caption*/, UINT flags) {
  return (flags & MB_TYPEMASK) == MB_YESNO ? IDYES : IDOK;
}

}  // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  RestrictLibrarySearchToSystemDirectory();
  StartWindowCountSeam();
  const std::vector<std::string> arguments = ProgramArguments(GetCommandLineA(), ModuleFileName());
  bool silent = false;
  if (!ParseSilentSwitch(arguments, silent)) {
    if (!silent) ShowMessageBox(kUsage, "오류", MB_OK | MB_ICONSTOP);
    return kUninstallBadArguments;
  }
  const MessageBoxFunction showBox = silent ? MessageBoxFunction(AnswerSilently) : ShowMessageBox;
  SystemRemovalSteps steps;
  int code = kUninstallStopped;
  // Nothing the run raises may end the program any other way than normally.
  RunIgnoringErrors([&] { code = RunUninstaller(UninstallerLogPath(), showBox, steps); });
  return code;
}
