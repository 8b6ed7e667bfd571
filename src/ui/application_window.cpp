#include "ui/application_window.h"

#include "ui/window_class.h"

namespace {

const char kClassName[] = "TApplication";
constexpr UINT WM_KIT_RESTORE_POPUP = WM_APP + 0x102;

LRESULT CALLBACK ApplicationWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_ACTIVATE:
      // Activated through its button: hand the activation on once the switch is over.
      if (LOWORD(wParam) != WA_INACTIVE) PostMessageA(window, WM_KIT_RESTORE_POPUP, 0, 0);
      return 0;
    case WM_KIT_RESTORE_POPUP: {
      const HWND popup = GetLastActivePopup(window);
      if (popup && popup != window && IsWindowVisible(popup)) SetForegroundWindow(popup);
      return 0;
    }
    default:
      return DefWindowProcA(window, message, wParam, lParam);
  }
}

}  // namespace

HWND TApplicationWindow::Handle() {
  if (window_) return window_.Get();
  RegisterWindowClass({kClassName, ApplicationWindowProc, 0, false, true});
  const int x = GetSystemMetrics(SM_CXSCREEN) / 2;
  const int y = GetSystemMetrics(SM_CYSCREEN) / 2;
  window_.Reset(CreateWindowExA(0, kClassName, title_.c_str(),
                                WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX, x, y, 0, 0,
                                nullptr, nullptr, GetModuleHandleA(nullptr), nullptr));
  if (window_) ShowWindow(window_.Get(), SW_SHOWNA);
  return window_.Get();
}

void TApplicationWindow::SetTitle(const std::string& title) {
  title_ = title;
  if (window_) SetWindowTextA(window_.Get(), title_.c_str());
}
