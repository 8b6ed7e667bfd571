// The install engine: the whole installation in one synchronous call, driven by
// InstallSettings and working through the progress window's components.
#pragma once

#include "setup/install_actions.h"
#include "setup/install_progress.h"

#include <windows.h>

#include <string>

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

// Whether the engine archive is extracted with fail-if-exists: not when OVERWRITE
// is "TRUE" or no engine is installed; otherwise only when the installed
// "IDAPI32.DLL" is as new as DbEngineDate or newer. Raises when DbEngineDate is
// needed and does not convert.
bool EngineFailIfExists();

// The file's last-write time as local time at the file-date resolution of two
// seconds; all zero when it cannot be read.
SYSTEMTIME FileDate(const std::string& path);

// Whether a is strictly later than b. Compares the fields, so any year counts
// (a date of the year 96 is beyond what the platform's file times hold).
bool LaterThan(const SYSTEMTIME& a, const SYSTEMTIME& b);

// The text from the last "." to the end when no "\" or ":" follows that ".";
// otherwise empty.
std::string FileExtension(const std::string& path);
