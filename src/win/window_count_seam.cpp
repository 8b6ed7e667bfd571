#include "win/window_count_seam.h"

#include "win/handles.h"

#include <windows.h>

#include <algorithm>
#include <string>
#include <vector>

namespace {

struct Seam {
  std::string File;
  std::vector<HWND> Counted;  // a handful at most
};

Seam& TheSeam() {
  static Seam seam;
  return seam;
}

void AppendLine(const char* line, DWORD length) {
  FileHandle file(CreateFileA(TheSeam().File.c_str(), FILE_APPEND_DATA, FILE_SHARE_READ, nullptr,
                              OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
  DWORD written = 0;
  if (file) WriteFile(file.Get(), line, length, &written, nullptr);
}

bool IsShowing(const CWPSTRUCT& message) {
  if (message.message == WM_SHOWWINDOW) return message.wParam != 0;
  if (message.message != WM_WINDOWPOSCHANGING) return false;
  return (reinterpret_cast<const WINDOWPOS*>(message.lParam)->flags & SWP_SHOWWINDOW) != 0;
}

LRESULT CALLBACK CountingHook(int code, WPARAM wParam, LPARAM lParam) {
  if (code == HC_ACTION) {
    const auto& message = *reinterpret_cast<const CWPSTRUCT*>(lParam);
    std::vector<HWND>& counted = TheSeam().Counted;
    if (IsShowing(message) && !(GetWindowLongA(message.hwnd, GWL_STYLE) & WS_CHILD) &&
        std::find(counted.begin(), counted.end(), message.hwnd) == counted.end()) {
      counted.push_back(message.hwnd);
      char line[130] = {};
      const int length = GetClassNameA(message.hwnd, line, 128);
      line[length] = '\r';
      line[length + 1] = '\n';
      AppendLine(line, static_cast<DWORD>(length + 2));
    }
  }
  return CallNextHookEx(nullptr, code, wParam, lParam);
}

}  // namespace

void StartWindowCountSeam() {
  char path[MAX_PATH] = {};
  const DWORD length = GetEnvironmentVariableA(kWindowCountVariable, path, MAX_PATH);
  if (length == 0 || length >= MAX_PATH) return;
  TheSeam().File = path;
  // Lives as long as the thread: the hook goes when the process ends.
  SetWindowsHookExA(WH_CALLWNDPROC, &CountingHook, nullptr, GetCurrentThreadId());
}
