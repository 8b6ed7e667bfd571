// The small window that shows the payload being checked and written, once that has
// taken longer than a moment. It is made and updated on the launcher's one thread,
// between blocks of work, which also lets it answer the system's messages.
#pragma once

#include "win/handles.h"

#include <windows.h>

#include <cstdint>

class ProgressWindow {
 public:
  // delay: milliseconds of work before the window shows (INFINITE: never). A silent
  // run never shows it.
  ProgressWindow(DWORD delay, bool silent);
  ~ProgressWindow();
  ProgressWindow(const ProgressWindow&) = delete;
  ProgressWindow& operator=(const ProgressWindow&) = delete;

  void SetTotal(std::uint64_t total) { total_ = total; }
  // Counts work done; shows the window once the delay has passed, redraws the bar
  // when it moved, and answers the window's messages.
  void Advance(std::uint64_t amount);
  // Takes the window away (before a message box or setup's own windows).
  void Close();

 private:
  void Show();

  DWORD start_;
  DWORD delay_;
  bool silent_;
  std::uint64_t total_ = 0;
  std::uint64_t done_ = 0;
  unsigned shownPart_ = 0;  // of kSteps
  WindowHandle window_;
};

// Dispatches the thread's waiting messages.
void PumpMessages();
