// The other windows of a modal run.
#pragma once

#include <windows.h>

#include <vector>

// Disables every visible, enabled top-level window of this thread except one,
// and enables them again when it goes out of scope.
class TaskWindowsDisabled {
 public:
  explicit TaskWindowsDisabled(HWND except);
  ~TaskWindowsDisabled();
  TaskWindowsDisabled(const TaskWindowsDisabled&) = delete;
  TaskWindowsDisabled& operator=(const TaskWindowsDisabled&) = delete;

 private:
  static BOOL CALLBACK Collect(HWND window, LPARAM self);
  HWND except_;
  std::vector<HWND> disabled_;
};
