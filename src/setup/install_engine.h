// The install engine: the whole installation in one synchronous call, driven by
// InstallSettings and working through the progress window's components.
#pragma once

class TInstallActions;
class TInstallProgress;

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
