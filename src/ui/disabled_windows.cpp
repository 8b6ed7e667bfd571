#include "ui/disabled_windows.h"

DisabledTaskWindows::DisabledTaskWindows(HWND except) : except_(except) {
  EnumThreadWindows(GetCurrentThreadId(), &Collect, reinterpret_cast<LPARAM>(this));
}

BOOL CALLBACK DisabledTaskWindows::Collect(HWND window, LPARAM self) {
  auto* const disabler = reinterpret_cast<DisabledTaskWindows*>(self);
  if (window != disabler->except_ && IsWindowVisible(window) && IsWindowEnabled(window)) {
    EnableWindow(window, FALSE);
    disabler->disabled_.push_back(window);
  }
  return TRUE;
}

DisabledTaskWindows::~DisabledTaskWindows() {
  for (HWND window : disabled_) {
    if (IsWindow(window)) EnableWindow(window, TRUE);
  }
}
