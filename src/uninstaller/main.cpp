// Halvex: removes an installed product by the install log beside it.
#include "shared/message_box.h"
#include "uninstaller/removal_passes.h"
#include "uninstaller/uninstaller.h"
#include "shared/system_library.h"

#include <windows.h>

namespace {

class MessageBoxDialog : public UserDialog {
 public:
  int Ask(const UninstallerBox& box) override {
    return ShowMessageBox(box.Text, box.Caption, box.Flags);
  }
};

}  // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  RestrictLibrarySearchToSystemDirectory();
  MessageBoxDialog dialog;
  SystemRemovalSteps steps;
  try {
    RunUninstaller(UninstallerLogPath(), dialog, steps);
  } catch (...) {
    // Nothing the run raises may end the program any other way than normally.
  }
  return 0;
}
