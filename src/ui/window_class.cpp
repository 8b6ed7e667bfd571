#include "ui/window_class.h"

#include "ui/gdi.h"

void RegisterWindowClass(const WindowClass& windowClass) {
  const HINSTANCE module = GetModuleHandleA(nullptr);
  WNDCLASSEXA wc = {};
  wc.cbSize = sizeof wc;
  if (GetClassInfoExA(module, windowClass.Name, &wc)) return;
  wc.style = windowClass.Style;
  wc.lpfnWndProc = windowClass.Procedure;
  wc.hInstance = module;
  if (windowClass.ArrowCursor) wc.hCursor = LoadCursor(nullptr, IDC_ARROW);
  if (windowClass.ProgramIcon) {
    wc.hIcon = ProgramIcon(GetSystemMetrics(SM_CXICON));
    wc.hIconSm = ProgramIcon(GetSystemMetrics(SM_CXSMICON));
  }
  wc.lpszClassName = windowClass.Name;
  RegisterClassExA(&wc);
}
