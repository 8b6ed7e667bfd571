// The last-resort report of an error that nothing else handled: a task-modal box
// with the error icon, captioned "Application Error", after which the program ends
// with exit code 1.
#pragma once

#include "win/message_box.h"

#include <functional>
#include <string>

constexpr int kUnhandledErrorExitCode = 1;
constexpr UINT kUnhandledErrorFlags = MB_OK | MB_ICONERROR | MB_TASKMODAL;
extern const char kUnhandledErrorCaption[];  // "Application Error"

// "Exception <kind> in module <module> at <address>.\n<message>", with a "." added
// when the message does not end in one. The address is 8 upper-case hex digits.
std::string UnhandledErrorText(const std::string& kind, const std::string& moduleName,
                               const void* codeAddress, const std::string& message);

// Runs the program's body and returns its exit code. An error that escapes the body
// is shown through showBox as the report above (kind and message from the kit's
// Exception; the program's file name; the code address from which the body was run)
// and the exit code is then kUnhandledErrorExitCode.
int RunWithErrorReport(const std::function<int()>& body,
                       const MessageBoxFunction& showBox = ShowMessageBox);
