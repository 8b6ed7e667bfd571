// setup.exe's exit codes, for every run, interactive or not. 0 to 99 are setup's;
// the one-file launcher's own codes start at 100.
#pragma once

enum SetupExitCode : int {
  kSetupCompleted = 0,     // the install ran to its end (also: /? answered)
  kSetupCancelled = 1,     // the user left the wizard before any run, or stopped the run
  kSetupBadArguments = 2,  // an unknown switch or a switch without its value
  // 3 is what the C++ run-time gives a program that ends by an uncaught exception.
  kSetupDisketteMissing = 10,    // an archive not in the medium folder (next diskette)
  kSetupExtractionFailed = 11,   // an archive that cannot be extracted whole
  kSetupEngineNotWritten = 12,   // the engine's settings cannot be written (the silent stop)
  kSetupLogNotWritten = 13,      // the install log cannot be written
  kSetupScriptMissing = 14,      // no SETUP.INI beside setup.exe
  kSetupScriptUntitled = 15,     // SETUP.INI without NAME and VERSION
  kSetupEngineDateInvalid = 16,  // [BDE] DATE is no date
  kSetupStopped = 17,            // any other failure that stopped the run
  kSetupRunLogNotWritten = 18,   // the run log (/LOG) cannot be made
};

#include "setup/install_engine.h"

// The code of a run that ended so.
constexpr int SetupExitCodeOf(InstallOutcome outcome) {
  switch (outcome) {
    case InstallOutcome::Completed:
      return kSetupCompleted;
    case InstallOutcome::DisketteMissing:
      return kSetupDisketteMissing;
    case InstallOutcome::ExtractionFailed:
      return kSetupExtractionFailed;
    case InstallOutcome::EngineDateInvalid:
      return kSetupEngineDateInvalid;
    case InstallOutcome::EngineNotWritten:
      return kSetupEngineNotWritten;
    case InstallOutcome::Cancelled:
      return kSetupCancelled;
    case InstallOutcome::LogNotWritten:
      return kSetupLogNotWritten;
    case InstallOutcome::Stopped:
      break;
  }
  return kSetupStopped;
}
