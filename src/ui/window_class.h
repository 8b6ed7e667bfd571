// The window classes the toolkit makes its windows of, each registered once.
#pragma once

#include <windows.h>

struct WindowClass {
  const char* Name;
  WNDPROC Procedure = DefWindowProcA;
  UINT Style = CS_DBLCLKS;
  bool ArrowCursor = true;   // otherwise none: the window sets its own
  bool ProgramIcon = false;  // the program's icon (ProgramIcon) in the caption and task bar
};

// Registers the class in the program's module, unless a class of that name is there
// already (the first registration stays).
void RegisterWindowClass(const WindowClass& windowClass);
