#include "kitpack/console_interruption.h"

#include "kitpack/pack_error.h"

namespace {

// Shared with the handler's thread: plain values, set before the handler is installed.
volatile LONG interrupted = 0;
HANDLE runOver = nullptr;
DWORD closeWait = 0;

}  // namespace

// Windows' thread, not ours: it sets a flag and waits, and touches no C++ run-time (the
// programs' pieces of it assume a single thread, src/runtime/runtime_threads.cpp).
BOOL WINAPI OnConsoleControl(DWORD event) {
  InterlockedExchange(&interrupted, 1);
  // Windows ends the process when the handler returns from these: first the clean-up.
  if (event != CTRL_C_EVENT && event != CTRL_BREAK_EVENT) WaitForSingleObject(runOver, closeWait);
  return TRUE;
}

ConsoleInterruption::ConsoleInterruption(DWORD wait)
    : runOver_(CreateEventW(nullptr, TRUE, FALSE, nullptr)) {
  InterlockedExchange(&interrupted, 0);
  runOver = runOver_.Get();
  closeWait = wait;
  SetConsoleCtrlHandler(OnConsoleControl, TRUE);
}

// A handler still on its way to the wait finds the event closed and returns at once,
// as the set event would let it.
ConsoleInterruption::~ConsoleInterruption() {
  SetEvent(runOver_.Get());
  SetConsoleCtrlHandler(OnConsoleControl, FALSE);
}

bool Interrupted() { return InterlockedCompareExchange(&interrupted, 0, 0) != 0; }

void StopIfInterrupted() {
  if (Interrupted()) throw PackInterrupted();
}
