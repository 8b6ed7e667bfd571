#include "ui/disabled_windows.h"

TaskWindowsDisabled::TaskWindowsDisabled(HWND except) : except_(except) {
  EnumThreadWindows(GetCurrentThreadId(), &Collect, reinterpret_cast<LPARAM>(this));
}

BOOL CALLBACK TaskWindowsDisabled::Collect(HWND window, LPARAM self) {
  auto* const disabler = reinterpret_cast<TaskWindowsDisabled*>(self);
  if (window != disabler->except_ && IsWindowVisible(window) && IsWindowEnabled(window)) {
    EnableWindow(window, FALSE);
    disabler->disabled_.push_back(window);
  }
  return TRUE;
}

TaskWindowsDisabled::~TaskWindowsDisabled() {
  for (HWND window : disabled_) {
    if (IsWindow(window)) EnableWindow(window, TRUE);
  }
}
