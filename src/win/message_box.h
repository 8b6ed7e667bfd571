// Message boxes without an owner window: the whole user interface of the settings
// tool and the uninstaller, and the last-resort error report.
#pragma once

#include <windows.h>

#include <functional>
#include <string>

// A standard message box (MessageBoxA, no owner); returns the button pressed.
int ShowMessageBox(const std::string& text, const std::string& caption, UINT flags);

// How logic shows a box without knowing of windows: ShowMessageBox in a program,
// a recorder in a test.
using MessageBoxFunction =
    std::function<int(const std::string& text, const std::string& caption, UINT flags)>;
