// The install engine: the whole installation in one synchronous call, driven by
// InstallSettings and working through the progress window's components.
#pragma once

class TInstallActions;
class TInstallProgress;

// How a run ended.
enum class InstallOutcome {
  Completed,
  DisketteMissing,    // an archive not in the medium folder and the prompt not answered OK
  ExtractionFailed,   // an archive could not be extracted whole (the user was told)
  EngineDateInvalid,  // [BDE] DATE is no date, where the engine date rule needs it
  EngineNotWritten,   // the engine's settings could not be written
  Cancelled,          // the user stopped the run in the progress window
  LogNotWritten,      // the install log could not be written (a run that is undone then)
  Stopped,            // any other failure
};

// Runs the installation in its fixed order: the archive library into the system
// directory; the database engine when the script names its archive; the CRW
// archive; the FILES table; the companion programs; the shortcuts and the
// registration when the script names a shortcut; then hides the window and makes
// the install directory the working directory.
// True: the run reached its end (InstallDone is set). False: the user cancelled at
// the disk prompt, or an archive could not be extracted whole (the engine archive,
// the CRW archive or a FILES archive: the user is told in a box owned by the
// application); the window is hidden then. Any other failure raises EAbort, the
// silent abort. Nothing done so far is undone. Lines an earlier run in the same
// process logged are not logged again.
bool RunInstall(TInstallProgress& progress);

// The same run with its effects on the machine through actions (the order, the
// log and the window stay the engine's).
bool RunInstall(TInstallProgress& progress, TInstallActions& actions);

// The same run, its end as a value: nothing escapes it. After a step that raised,
// the window is left as it was (the caller hides it); otherwise as RunInstall.
InstallOutcome RunInstallFor(TInstallProgress& progress, TInstallActions& actions);
