// Ctrl+C, Ctrl+Break, closing the console, logging off and shutting down ask a packing
// run to stop. The run stops at its next step (a directory, an entry, a block of data),
// removes its temporary file and fails like any other run; the older archive stays.
#pragma once

#include "win/handles.h"

#include <windows.h>

// Watches the console for those events while it lives: one, in wmain, around the run.
class ConsoleInterruption {
 public:
  // Windows ends a process 5 s after the console was closed, whatever its handler does.
  static constexpr DWORD kCloseWait = 4000;

  // closeWait: how long the handler, on close, logoff or shutdown, keeps Windows from
  // ending the process while the run removes its temporary file.
  explicit ConsoleInterruption(DWORD closeWait = kCloseWait);
  // The run is over: a waiting handler returns and lets Windows end the process.
  ~ConsoleInterruption();
  ConsoleInterruption(const ConsoleInterruption&) = delete;
  ConsoleInterruption& operator=(const ConsoleInterruption&) = delete;

 private:
  ObjectHandle runOver_;  // set once the run has removed what it leaves behind
};

// Whether one of the events came since the ConsoleInterruption was made.
bool Interrupted();

// Throws PackInterrupted (pack_error.h) when Interrupted().
void StopIfInterrupted();

// The handler ConsoleInterruption hands to Windows, which calls it on a thread of its own.
BOOL WINAPI OnConsoleControl(DWORD event);
