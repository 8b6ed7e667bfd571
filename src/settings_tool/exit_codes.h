// Dorcel.exe's exit codes.
#pragma once

enum SettingsToolExitCode : int {
  kSettingsReset = 0,            // the engine was configured and its directory refilled
  kSettingsDeclined = 1,         // the user did not answer Yes
  kSettingsBadArguments = 2,     // anything but /SILENT on the command line
  kSettingsArchiveMissing = 10,  // no engine archive beside Dorcel.exe
  kSettingsArchiveDamaged = 11,  // the engine archive fails its check: no file changed
  kSettingsNotWritten = 12,      // the engine's registry settings could not be written
  kSettingsStopped = 13,         // any other error (reported as the application error)
};
