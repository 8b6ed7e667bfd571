// Dorcel: sets the database engine up again from the engine archive beside it.
//   Dorcel.exe [/SILENT]
// /SILENT: no question and no boxes; the exit code tells the outcome.
#include "settings_tool/exit_codes.h"
#include "settings_tool/settings_tool.h"
#include "text/command_line.h"
#include "win/error_report.h"
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
    "사용법: Dorcel.exe [/SILENT]\n\n/SILENT\t묻지 않고 다시 설정하며 창을 보이지 않습니다.";

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
    if (!silent) ShowMessageBox(kUsage, kSettingsToolCaption, MB_OK | MB_ICONSTOP);
    return kSettingsBadArguments;
  }
  const MessageBoxFunction showBox = silent ? MessageBoxFunction(AnswerSilently) : ShowMessageBox;
  int failure = 0;
  const int code = RunWithErrorReport(
      [&] {
        try {
          return RunSettingsTool(ProgramDirectory(), showBox);
        } catch (const ERegistryException&) {
          failure = kSettingsNotWritten;
          throw;
        } catch (...) {
          failure = kSettingsStopped;
          throw;
        }
      },
      showBox);
  return failure != 0 ? failure : code;
}
