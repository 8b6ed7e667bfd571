#include "setup/windows/startup.h"

#include "setup/install_settings.h"
#include "setup/windows/background_window.h"
#include "setup/windows/directory_chooser.h"
#include "setup/windows/wizard.h"
#include "ui/application.h"
#include "win/com_ptr.h"

const char kSetupTitle[] = "설치 마법사";

void CreateWizardForms() {
  Application.CreateForm(fmBackGround);
  Application.CreateForm(fmWizad);
  Application.CreateForm(fmDir);
  fmBackGround->OnStartWizard = [] { fmWizad->StartWizard(); };
  fmWizad->OnChooseDirectory = [] {
    return fmDir->ChooseDirectory(InstallSettings.InstallDir, InstallSettings.ProductFolder);
  };
}

int RunSetup(const std::function<void()>& createLaterForms, std::function<bool()> runInstall) {
  ComApartment com;  // the shortcuts of the install run are COM objects
  Application.SetTitle(kSetupTitle);
  CreateWizardForms();
  if (createLaterForms) createLaterForms();
  fmWizad->OnRunInstall = std::move(runInstall);
  return Application.Run();
}
