// Starting setup.exe, which asks for administrator rights, and waiting for it.
#pragma once

#include "win/handles.h"

#include <windows.h>

// Starts the program elevated: through the shell's "runas", which shows the
// administrator prompt (CreateProcess fails for a program that requires administrator
// when its caller is not), or, when the launcher already runs elevated, with
// CreateProcess. 0 and the process, or the error (ERROR_CANCELLED: declined).
DWORD StartElevated(const wchar_t* program, const wchar_t* parameters, const wchar_t* directory,
                    ObjectHandle& process);

// Waits for the process to end, answering the thread's messages meanwhile, and gives
// its exit code. False when the wait or the code fails.
bool WaitForProgram(HANDLE process, DWORD& exitCode);
