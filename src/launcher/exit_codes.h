// The launcher's own exit codes. setup's codes run from 0 to 99; these start at 100,
// so a deployment tool tells the launcher's failures from setup's outcomes. Any other
// code is setup's, passed on.
#pragma once

#include <windows.h>

constexpr DWORD kLauncherDamaged = 100;   // the payload is incomplete or altered; nothing written
constexpr DWORD kLauncherNoFolder = 101;  // the temporary folder could not be made
constexpr DWORD kLauncherCannotWrite = 102;  // a file could not be written, or read back otherwise
constexpr DWORD kLauncherDeclined = 103;     // the user declined the administrator prompt
constexpr DWORD kLauncherCannotStart = 104;  // setup.exe could not be started or waited for
constexpr DWORD kLauncherNoMemory = 105;     // no memory left for the launcher's own work
