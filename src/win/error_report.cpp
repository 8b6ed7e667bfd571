#include "win/error_report.h"

#include "text/text.h"
#include "win/errors.h"
#include "win/module_path.h"

#include <cstdint>
#include <exception>

const char kUnhandledErrorCaption[] = "Application Error";

namespace {

struct ErrorDescription {
  std::string Kind;
  std::string Message;
};

// What the error in flight is; call only inside a catch block.
ErrorDescription DescribeCurrentError() {
  try {
    throw;
  } catch (const Exception& e) {
    return {e.ClassName(), e.Message()};
  } catch (const std::exception& e) {
    return {"Exception", e.what()};
  } catch (...) {
    return {"Exception", "Unknown error"};
  }
}

void ShowReport(const MessageBoxFunction& showBox, const void* codeAddress) {
  const ErrorDescription error = DescribeCurrentError();
  const std::string text =
      UnhandledErrorText(error.Kind, FileNamePart(ModuleFileName()), codeAddress, error.Message);
  showBox(text, kUnhandledErrorCaption, kUnhandledErrorFlags);
}

}  // namespace

std::string UnhandledErrorText(const std::string& kind, const std::string& moduleName,
                               const void* codeAddress, const std::string& message) {
  // Eight upper-case hex digits, made by hand: printf's formatter costs 25 KB.
  const std::uintptr_t value = reinterpret_cast<std::uintptr_t>(codeAddress);
  std::string address(8, '0');
  for (int i = 0; i < 8; ++i) address[7 - i] = "0123456789ABCDEF"[(value >> (4 * i)) & 0xF];
  return "Exception " + kind + " in module " + moduleName + " at " + address + ".\n" + message +
         (EndsWith(message, ".") ? "" : ".");
}

int RunWithErrorReport(const std::function<int()>& body, const MessageBoxFunction& showBox) {
  const void* codeAddress = __builtin_return_address(0);
  try {
    return body();
  } catch (...) {
    try {
      ShowReport(showBox, codeAddress);
    } catch (...) {
      // The report itself failed (no memory, no box): the exit code still tells.
    }
  }
  return kUnhandledErrorExitCode;
}
