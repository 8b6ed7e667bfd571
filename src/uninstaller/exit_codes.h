// Halvex.exe's exit codes.
#pragma once

enum UninstallerExitCode : int {
  kUninstallDone = 0,             // the log was read and its removal passes ran
  kUninstallDeclined = 1,         // the user did not answer Yes
  kUninstallBadArguments = 2,     // anything but /SILENT on the command line
  kUninstallLogMissing = 10,      // no install log beside Halvex.exe
  kUninstallLogUnreadable = 11,   // a log that cannot be read whole: nothing removed
  kUninstallStopped = 12,         // an unexpected error ended the run
  kUninstallRolledBackOnly = 13,  // an unfinished install was rolled back and left no log
};
