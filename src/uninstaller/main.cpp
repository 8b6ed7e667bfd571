// Halvex: removes an installed product by the install log beside it.
#include "uninstaller/removal_passes.h"
#include "uninstaller/uninstaller.h"
#include "win/errors.h"
#include "win/message_box.h"
#include "win/system_library.h"

#include <windows.h>

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  RestrictLibrarySearchToSystemDirectory();
  SystemRemovalSteps steps;
  // Nothing the run raises may end the program any other way than normally.
  RunIgnoringErrors([&] { RunUninstaller(UninstallerLogPath(), ShowMessageBox, steps); });
  return 0;
}
