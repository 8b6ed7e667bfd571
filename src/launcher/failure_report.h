// How the launcher tells of a run that ends before setup.exe could: a message box,
// none in a silent run, and a line in the run log when /LOG names one.
#pragma once

#include "launcher/command_line.h"

#include <windows.h>

// Shows text (code page 949) in a box with the stop icon unless the run is silent or
// quiet, and appends "text (종료 코드 code)" to the run log when there is one.
void ReportFailure(const LaunchOptions& options, const char* text, DWORD code, bool quiet = false);

// Appends the line (code page 949), ended by CR LF, to the file; false when it cannot.
bool AppendLogLine(const wchar_t* file, const char* text, DWORD code);
