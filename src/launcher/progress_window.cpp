#include "launcher/progress_window.h"

#include "launcher/heap_memory.h"
#include "launcher/messages.h"

namespace {

constexpr wchar_t kClassName[] = L"KitLauncherProgress";
constexpr unsigned kSteps = 200;  // the bar moves in steps of half a percent
constexpr int kWidth = 380, kHeight = 120;
constexpr int kMargin = 16, kBarTop = 52, kBarHeight = 18;

// The part done, read from the window's user data. The launcher is built without
// exceptions, so nothing can leave this procedure but its return.
LRESULT CALLBACK WindowProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_CLOSE:
      return 0;  // the work goes on; it takes the window away itself
    case WM_PAINT: {
      PAINTSTRUCT paint;
      const HDC dc = BeginPaint(window, &paint);
      RECT client;
      GetClientRect(window, &client);
      const HGDIOBJ oldFont = SelectObject(dc, GetStockObject(DEFAULT_GUI_FONT));
      SetBkMode(dc, TRANSPARENT);
      WideText text;
      text.AppendCp949(kProgressText);
      RECT line = {kMargin, kMargin, client.right - kMargin, kBarTop - 4};
      DrawTextW(dc, text.Text(), static_cast<int>(text.Length()), &line,
                DT_LEFT | DT_SINGLELINE | DT_NOPREFIX | DT_END_ELLIPSIS);
      SelectObject(dc, oldFont);
      RECT bar = {kMargin, kBarTop, client.right - kMargin, kBarTop + kBarHeight};
      FrameRect(dc, &bar, GetSysColorBrush(COLOR_BTNSHADOW));
      InflateRect(&bar, -2, -2);
      const LONG_PTR part = GetWindowLongPtrW(window, GWLP_USERDATA);
      RECT filled = bar;
      filled.right = bar.left + static_cast<LONG>((bar.right - bar.left) * part / kSteps);
      FillRect(dc, &filled, GetSysColorBrush(COLOR_HIGHLIGHT));
      EndPaint(window, &paint);
      return 0;
    }
    default:
      return DefWindowProcW(window, message, wParam, lParam);
  }
}

}  // namespace

void PumpMessages() {
  MSG message;
  while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
    TranslateMessage(&message);
    DispatchMessageW(&message);
  }
}

ProgressWindow::ProgressWindow(DWORD delay, bool silent)
    : start_(GetTickCount()), delay_(delay), silent_(silent) {}

ProgressWindow::~ProgressWindow() { Close(); }

void ProgressWindow::Advance(std::uint64_t amount) {
  done_ += amount;
  if (!window_) {
    if (silent_ || delay_ == INFINITE || GetTickCount() - start_ < delay_) return;
    Show();
    if (!window_) return;
  }
  const unsigned part =
      total_ == 0 ? kSteps
                  : static_cast<unsigned>((done_ > total_ ? total_ : done_) * kSteps / total_);
  if (part != shownPart_) {
    shownPart_ = part;
    SetWindowLongPtrW(window_.Get(), GWLP_USERDATA, part);
    InvalidateRect(window_.Get(), nullptr, FALSE);
  }
  PumpMessages();
}

void ProgressWindow::Show() {
  const HINSTANCE instance = GetModuleHandleW(nullptr);
  WNDCLASSW windowClass = {};
  windowClass.lpfnWndProc = WindowProcedure;
  windowClass.hInstance = instance;
  windowClass.hIcon = LoadIconW(instance, MAKEINTRESOURCEW(1));
  windowClass.hCursor = LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_WAIT));
  windowClass.hbrBackground = GetSysColorBrush(COLOR_BTNFACE);
  windowClass.lpszClassName = kClassName;
  RegisterClassW(&windowClass);  // fails harmlessly when a second window registers again
  WideText caption;
  caption.AppendCp949(kProgressCaption);
  RECT area = {0, 0, kWidth, kHeight};
  SystemParametersInfoW(SPI_GETWORKAREA, 0, &area, 0);
  window_.Reset(CreateWindowExW(0, kClassName, caption.Text(), WS_POPUP | WS_CAPTION | WS_SYSMENU,
                                (area.left + area.right - kWidth) / 2,
                                (area.top + area.bottom - kHeight) / 2, kWidth, kHeight, nullptr,
                                nullptr, instance, nullptr));
  if (!window_) return;
  EnableMenuItem(GetSystemMenu(window_.Get(), FALSE), SC_CLOSE, MF_BYCOMMAND | MF_GRAYED);
  ShowWindow(window_.Get(), SW_SHOWNORMAL);
  UpdateWindow(window_.Get());
}

void ProgressWindow::Close() {
  if (window_) {
    window_.Reset();
    PumpMessages();
  }
}
