// Dorcel: sets the database engine up again from the engine archive beside it.
#include "settings_tool/settings_tool.h"
#include "win/error_report.h"
#include "win/message_box.h"
#include "win/module_path.h"
#include "win/system_library.h"

#include <windows.h>

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  RestrictLibrarySearchToSystemDirectory();
  return RunWithErrorReport([] { return RunSettingsTool(ProgramDirectory(), ShowMessageBox); });
}
