// setup.exe: the setup wizard. The windows are made in their fixed order and the
// wizard's Next on the summary page runs the install engine on the progress window.
#include "setup/windows/progress_window.h"
#include "setup/windows/startup.h"
#include "ui/application.h"
#include "win/errors.h"
#include "win/system_library.h"

#include <windows.h>

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  RestrictLibrarySearchToSystemDirectory();
  return RunSetup([] { Application.CreateForm(fmInstall); },
                  [] {
                    if (!fmInstall) throw EAbort();  // nothing to install with
                    return RunInstallIn(*fmInstall);
                  });
}
