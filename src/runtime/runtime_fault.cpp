#include "runtime/runtime_fault.h"

#include <windows.h>

namespace {

// Appends text, keeping room for the terminating zero.
char* Append(char* at, const char* end, const char* text) {
  while (*text != '\0' && at + 1 < end) *at++ = *text++;
  *at = '\0';
  return at;
}

}  // namespace

void StopOnRuntimeFault(const char* problem) {
  // The wide call: the narrow one takes its buffer from the heap.
  wchar_t widePath[MAX_PATH] = L"";
  GetModuleFileNameW(nullptr, widePath, MAX_PATH - 1);  // a cut name still tells
  char path[2 * MAX_PATH] = "";
  WideCharToMultiByte(CP_ACP, 0, widePath, -1, path, sizeof path - 1, nullptr, nullptr);
  const char* name = path;
  for (const char* c = path; *c != '\0'; ++c) {
    if (*c == '\\' || *c == '/') name = c + 1;
  }
  char text[2 * MAX_PATH + 512];
  const char* end = text + sizeof text;
  char* at = Append(text, end, "Runtime error in module ");
  at = Append(at, end, name);
  at = Append(at, end, ".\r\n");
  at = Append(at, end, problem);
  at = Append(at, end, "\r\n");

  const HANDLE err = GetStdHandle(STD_ERROR_HANDLE);
  DWORD written = 0;
  const bool told = err != nullptr && err != INVALID_HANDLE_VALUE &&
                    WriteFile(err, text, static_cast<DWORD>(at - text), &written, nullptr);
  // Loaded by every windowed program; looked up, so the console programs import no user32.
  const HMODULE user32 = told ? nullptr : GetModuleHandleA("user32.dll");
  using MessageBoxFunction = int(WINAPI*)(HWND, const char*, const char*, UINT);
  const auto box = user32 == nullptr ? nullptr
                                     : reinterpret_cast<MessageBoxFunction>(reinterpret_cast<void*>(
                                           GetProcAddress(user32, "MessageBoxA")));
  if (box != nullptr) box(nullptr, text, "Application Error", MB_OK | MB_ICONERROR | MB_TASKMODAL);
  TerminateProcess(GetCurrentProcess(), kRuntimeFaultExitCode);
  for (;;) Sleep(INFINITE);  // TerminateProcess of the caller does not return
}
