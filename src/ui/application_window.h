// The program's one window with a task-bar button: visible, unowned, without size,
// its text the program's title. It owns every form and the application's message
// boxes, so none of them gets a button of its own; pressing the button brings back
// the window the user last worked in.
#pragma once

#include "win/handles.h"

#include <windows.h>

#include <string>

class TApplicationWindow {
 public:
  // The window, made on first use (and shown without being activated).
  HWND Handle();
  bool Exists() const { return window_.Valid(); }
  void SetTitle(const std::string& title);
  void Destroy() { window_.Reset(); }

 private:
  WindowHandle window_;
  std::string title_;
};
