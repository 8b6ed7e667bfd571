// The uninstaller's main flow: find the install log beside the program, ask once,
// run the removal passes and report completion.
#pragma once

#include "win/message_box.h"

#include <windows.h>

#include <string>
#include <vector>

class RemovalSteps;

// The boxes the uninstaller shows; texts are CP949.
struct UninstallerBox {
  std::string Text;
  std::string Caption;
  UINT Flags;
};

UninstallerBox LogMissingBox(const std::string& logPath);
UninstallerBox LogUnreadableBox(const std::string& logPath);
UninstallerBox ConfirmationBox();
// stayed: the logged directories left because something else is in them, each named.
UninstallerBox CompletionBox(const std::vector<std::string>& stayed = {});

// Shows the box through showBox; the pressed button.
int Ask(const MessageBoxFunction& showBox, const UninstallerBox& box);

// The program's own directory (with its trailing "\") + "Install.log"; empty when
// the program cannot learn its own path.
std::string UninstallerLogPath();

// One whole run; returns Halvex's exit code (uninstaller/exit_codes.h). First an
// unfinished tracked install of the product is rolled back (unfinished_install.h). The
// log is read in full before anything is removed; nothing is removed when it is missing
// (an empty logPath counts as missing), cannot be read, or the user does not answer Yes.
int RunUninstaller(const std::string& logPath, const MessageBoxFunction& showBox,
                   RemovalSteps& steps);
