// What a test puts its own behind in a launcher built for it: how setup.exe is
// started (Wine never asks for elevation, so it cannot decline) and when the progress
// window comes. The launcher's own are in launcher_seams.cpp.
#pragma once

#include "win/handles.h"

#include <windows.h>

// Starts the program in directory with the parameters. 0 and its process, or the
// error: ERROR_CANCELLED when the user declined the administrator prompt.
using StartProgramFunction = DWORD (*)(const wchar_t* program, const wchar_t* parameters,
                                       const wchar_t* directory, ObjectHandle& process);

struct LauncherSeams {
  DWORD ProgressDelay;  // milliseconds of work before the progress window shows
  StartProgramFunction StartProgram;
};

// This build's seams.
LauncherSeams Seams();
