#include "launcher/program_start.h"

#include "launcher/heap_memory.h"
#include "launcher/progress_window.h"

#include <objbase.h>
#include <shellapi.h>

namespace {

bool RunsElevated() {
  HANDLE token = nullptr;
  if (!OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &token)) return false;
  const ObjectHandle owner(token);
  TOKEN_ELEVATION elevation = {};
  DWORD size = 0;
  return GetTokenInformation(token, TokenElevation, &elevation, sizeof elevation, &size) &&
         elevation.TokenIsElevated != 0;
}

DWORD Create(const wchar_t* program, const wchar_t* parameters, const wchar_t* directory,
             ObjectHandle& process) {
  WideText commandLine;
  commandLine.Append(L'"').Append(program).Append(L"\" ").Append(parameters);
  STARTUPINFOW startup = {};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION started = {};
  if (!CreateProcessW(program, commandLine.Buffer(commandLine.Length()), nullptr, nullptr, FALSE, 0,
                      nullptr, directory, &startup, &started)) {
    return GetLastError();
  }
  CloseHandle(started.hThread);
  process.Reset(started.hProcess);
  return 0;
}

DWORD ShellRunAs(const wchar_t* program, const wchar_t* parameters, const wchar_t* directory,
                 ObjectHandle& process) {
  // The shell may hand the start to its extensions, which expect COM.
  const HRESULT com = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE);
  SHELLEXECUTEINFOW info = {};
  info.cbSize = sizeof info;
  info.fMask = SEE_MASK_NOCLOSEPROCESS | SEE_MASK_FLAG_NO_UI | SEE_MASK_NOASYNC;
  info.lpVerb = L"runas";
  info.lpFile = program;
  info.lpParameters = parameters;
  info.lpDirectory = directory;
  info.nShow = SW_SHOWNORMAL;
  DWORD error = 0;
  if (!ShellExecuteExW(&info)) {
    error = GetLastError();
    if (error == 0) error = ERROR_GEN_FAILURE;
  } else if (!info.hProcess) {
    error = ERROR_INVALID_HANDLE;
  }
  process.Reset(info.hProcess);
  if (SUCCEEDED(com)) CoUninitialize();
  return error;
}

}  // namespace

DWORD StartElevated(const wchar_t* program, const wchar_t* parameters, const wchar_t* directory,
                    ObjectHandle& process) {
  return RunsElevated() ? Create(program, parameters, directory, process)
                        : ShellRunAs(program, parameters, directory, process);
}

bool WaitForProgram(HANDLE process, DWORD& exitCode) {
  while (true) {
    const DWORD woken = MsgWaitForMultipleObjects(1, &process, FALSE, INFINITE, QS_ALLINPUT);
    if (woken == WAIT_OBJECT_0) break;
    if (woken != WAIT_OBJECT_0 + 1) return false;
    PumpMessages();
  }
  return GetExitCodeProcess(process, &exitCode) != FALSE;
}
