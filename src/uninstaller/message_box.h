// The uninstaller's only user interface: message boxes without an owner window.
#pragma once

#include <windows.h>

#include <string>

// A standard message box (MessageBoxA, no owner); returns the button pressed.
int ShowMessageBox(const std::string& text, const std::string& caption, UINT flags);
