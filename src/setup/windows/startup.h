// How setup starts and ends: COM for its only thread, the application's title,
// its windows in their fixed order, and the message loop, which ends when the
// background window closes after the wizard.
#pragma once

#include <functional>

// The text of setup's task-bar button and the caption of its error reports.
extern const char kSetupTitle[];

// Makes the windows that come before the progress window, in this order:
// fmBackGround (the main window; it reads the setup script while it is made),
// fmWizad and fmDir, and wires them: the background starts the wizard, the
// wizard's "찾아보기(&B)" opens the chooser on InstallDir and stores what it accepts.
void CreateWizardForms();

// The whole run of setup. createLaterForms makes the windows that follow the
// directory chooser; runInstall is the install run behind the wizard's summary
// page. Returns the program's exit code.
int RunSetup(const std::function<void()>& createLaterForms, std::function<bool()> runInstall);
