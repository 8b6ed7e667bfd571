// The other windows of a modal run.
#pragma once

#include <windows.h>

#include <vector>

// Disables every visible, enabled top-level window of this thread except one,
// and enables them again when it goes out of scope.
class DisabledTaskWindows {
 public:
  explicit DisabledTaskWindows(HWND except);
  ~DisabledTaskWindows();
  DisabledTaskWindows(const DisabledTaskWindows&) = delete;
  DisabledTaskWindows& operator=(const DisabledTaskWindows&) = delete;

 private:
  static BOOL CALLBACK Collect(HWND window, LPARAM self);
  HWND except_;
  std::vector<HWND> disabled_;
};
