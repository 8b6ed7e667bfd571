// The seams of the launchers the tests build (seamed_launcher.exe), set through the
// environment so that one launcher serves every case:
//   KIT_TEST_PROGRESS_DELAY  milliseconds before the progress window (default: never)
//   KIT_TEST_DECLINE         "1": starting setup.exe answers ERROR_CANCELLED, as a
//                            declined administrator prompt does (Wine never asks)
//   KIT_TEST_WINDOW_LOG      a file that gets the class name of every window the
//                            launcher's thread makes, message boxes included, on a
//                            line of its own as it is made: proof of "no window"
//                            that sampling the screen could not give
#include "launcher/launcher_seams.h"
#include "launcher/program_start.h"

#include <windows.h>

#include <cstdlib>
#include <cstring>

namespace {

HHOOK hook = nullptr;

void LogWindow(HWND window) {
  char path[MAX_PATH] = {};
  if (!GetEnvironmentVariableA("KIT_TEST_WINDOW_LOG", path, MAX_PATH)) return;
  char line[300] = {};
  GetClassNameA(window, line, 256);
  std::strcat(line, "\r\n");
  const FileHandle log(CreateFileA(path, FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                   nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
  DWORD written = 0;
  WriteFile(log.Get(), line, static_cast<DWORD>(std::strlen(line)), &written, nullptr);
}

LRESULT CALLBACK WatchCreation(int code, WPARAM wParam, LPARAM lParam) {
  if (code == HCBT_CREATEWND) LogWindow(reinterpret_cast<HWND>(wParam));
  return CallNextHookEx(hook, code, wParam, lParam);
}

DWORD StartOrDecline(const wchar_t* program, const wchar_t* parameters, const wchar_t* directory,
                     ObjectHandle& process) {
  char decline[4] = {};
  if (GetEnvironmentVariableA("KIT_TEST_DECLINE", decline, sizeof decline) &&
      std::strcmp(decline, "1") == 0) {
    return ERROR_CANCELLED;
  }
  return StartElevated(program, parameters, directory, process);
}

}  // namespace

LauncherSeams Seams() {
  if (!hook) hook = SetWindowsHookExW(WH_CBT, WatchCreation, nullptr, GetCurrentThreadId());
  char delay[16] = {};
  const bool given = GetEnvironmentVariableA("KIT_TEST_PROGRESS_DELAY", delay, sizeof delay) > 0;
  return {given ? static_cast<DWORD>(std::strtoul(delay, nullptr, 10)) : INFINITE, StartOrDecline};
}
