#include "setup/support/setup_globals.h"

#include "setup/install_progress.h"
#include "setup/install_settings.h"

namespace {

void Reset() {
  InstallSettings = TInstallSettings();
  NoFileLog = false;
  InstallDone = false;
}

}  // namespace

SetupGlobalsScope::SetupGlobalsScope() { Reset(); }

SetupGlobalsScope::~SetupGlobalsScope() { Reset(); }
