// Runs a console program of the kit (kitcheck, kitpack) to its end and keeps what it
// printed, as bytes (code page 949).
#pragma once

#include <windows.h>

#include <string>

struct ConsoleRun {
  DWORD ExitCode = 0;
  std::string Output;  // standard output
  std::string Errors;  // standard error
};

// Starts commandLine (a quoted path and its arguments) in workingDirectory (the
// caller's when empty), waits up to timeout milliseconds and collects its output.
// Throws std::runtime_error when it cannot start or does not end in time.
ConsoleRun RunConsoleProgram(const std::string& commandLine,
                             const std::string& workingDirectory = std::string(),
                             DWORD timeout = 30000);
