// Dorcel: sets the database engine up again from the engine archive beside it.
#include "settings_tool/settings_tool.h"
#include "shared/error_report.h"
#include "shared/message_box.h"
#include "shared/module_path.h"
#include "shared/system_library.h"

#include <windows.h>

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  RestrictLibrarySearchToSystemDirectory();
  return RunWithErrorReport([] { return RunSettingsTool(ProgramDirectory(), ShowMessageBox); });
}
