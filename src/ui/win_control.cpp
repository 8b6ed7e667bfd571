#include "ui/win_control.h"

#include "ui/window_class.h"
#include "win/errors.h"

#include <algorithm>

namespace {

WindowExceptionHook exceptionHook = nullptr;

// Control ids are unique in the process, so a test driver can find a control by id.
int NextControlId() {
  static int next = 100;
  return next++;
}

LONGLONG PerformanceCount() {
  LARGE_INTEGER count;
  QueryPerformanceCounter(&count);
  return count.QuadPart;
}

LONGLONG PerformanceFrequency() {
  LARGE_INTEGER frequency;
  QueryPerformanceFrequency(&frequency);
  return frequency.QuadPart;
}

RECT ClientBoundsInParent(HWND window) {
  RECT rect = {};
  GetWindowRect(window, &rect);
  const HWND parent = (GetWindowLongA(window, GWL_STYLE) & WS_CHILD) ? GetParent(window) : nullptr;
  if (parent) MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&rect), 2);
  return rect;
}

}  // namespace

void SetWindowExceptionHook(WindowExceptionHook hook) { exceptionHook = hook; }

const char* PanelClassName() {
  static const char* const name = [] {
    RegisterWindowClass({"KitPanel"});
    return "KitPanel";
  }();
  return name;
}

TWinControl::TWinControl(TWinControl* parent) : parent_(parent) {
  if (parent_) font_ = parent_->font_;
}

TWinControl::~TWinControl() {
  if (handle_) {
    const HWND window = handle_;
    Detach();
    DestroyWindow(window);
  }
}

void TWinControl::CreateHandle(const WindowParams& params, HWND owner) {
  const HWND parentWindow = parent_ ? parent_->Handle() : owner;
  DWORD style = params.Style;
  DWORD exStyle = params.ExStyle;
  HMENU id = nullptr;
  if (parent_) {
    style |= WS_CHILD;
    exStyle |= WS_EX_NOPARENTNOTIFY;
    id = reinterpret_cast<HMENU>(static_cast<INT_PTR>(NextControlId()));
  }
  const RECT& b = params.Bounds;
  handle_ = CreateWindowExA(exStyle, params.ClassName, params.Text.c_str(), style, b.left, b.top,
                            b.right - b.left, b.bottom - b.top, parentWindow, id,
                            GetModuleHandleA(nullptr), nullptr);
  // Without a window (no display, no memory) the object cannot work at all.
  if (!handle_) throw Exception(std::string("Cannot create a window of class ") + params.ClassName);
  SetWindowLongPtrA(handle_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
  original_ = reinterpret_cast<WNDPROC>(
      SetWindowLongPtrA(handle_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&SubclassProc)));
  SendMessageA(handle_, WM_SETFONT, reinterpret_cast<WPARAM>(FontHandleOf(font_)), FALSE);
}

void TWinControl::Detach() {
  SetWindowLongPtrA(handle_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(original_));
  SetWindowLongPtrA(handle_, GWLP_USERDATA, 0);
  handle_ = nullptr;
}

TWinControl* TWinControl::FromHandle(HWND window) {
  // Only windows running our procedure carry a pointer to one of our objects.
  if (!window ||
      GetWindowLongPtrA(window, GWLP_WNDPROC) != reinterpret_cast<LONG_PTR>(&SubclassProc)) {
    return nullptr;
  }
  return reinterpret_cast<TWinControl*>(GetWindowLongPtrA(window, GWLP_USERDATA));
}

LRESULT CALLBACK TWinControl::SubclassProc(HWND window, UINT message, WPARAM wParam,
                                           LPARAM lParam) {
  TWinControl* control = FromHandle(window);
  if (!control) return DefWindowProcA(window, message, wParam, lParam);
  if (message == WM_NCDESTROY) {
    const WNDPROC original = control->original_;
    control->Detach();
    return CallWindowProcA(original, window, message, wParam, lParam);
  }
  // No exception may unwind into the system's code that called us.
  try {
    return control->WndProc(message, wParam, lParam);
  } catch (...) {
    if (exceptionHook) exceptionHook();
    return 0;
  }
}

LRESULT TWinControl::DefaultProc(UINT message, WPARAM wParam, LPARAM lParam) {
  return CallWindowProcA(original_, handle_, message, wParam, lParam);
}

LRESULT TWinControl::WndProc(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_COMMAND:
      if (TWinControl* child = FromHandle(reinterpret_cast<HWND>(lParam))) {
        child->Command(HIWORD(wParam));
        return 0;
      }
      break;
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLORBTN:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORLISTBOX:
      if (TWinControl* child = FromHandle(reinterpret_cast<HWND>(lParam))) {
        if (HBRUSH brush = child->ControlColor(reinterpret_cast<HDC>(wParam))) {
          return reinterpret_cast<LRESULT>(brush);
        }
      }
      break;
    case WM_DRAWITEM: {
      const auto* item = reinterpret_cast<const DRAWITEMSTRUCT*>(lParam);
      if (TWinControl* child = FromHandle(item->hwndItem)) {
        child->DrawItem(*item);
        return TRUE;
      }
      break;
    }
    default:
      break;
  }
  return DefaultProc(message, wParam, lParam);
}

void TWinControl::NotifyChildrenOfSize() {
  RECT client = {};
  GetClientRect(handle_, &client);
  for (HWND child = GetWindow(handle_, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
    if (TWinControl* control = FromHandle(child)) {
      control->ParentResized(client.right, client.bottom);
    }
  }
}

int TWinControl::Id() const { return GetDlgCtrlID(handle_); }

RECT TWinControl::BoundsRect() const { return ClientBoundsInParent(handle_); }

void TWinControl::SetBounds(int left, int top, int width, int height) {
  SetWindowPos(handle_, nullptr, left, top, width, height, SWP_NOZORDER | SWP_NOACTIVATE);
}

void TWinControl::SetText(const std::string& text) { SetWindowTextA(handle_, text.c_str()); }

std::string TWinControl::Text() const {
  const int length = GetWindowTextLengthA(handle_);
  std::string text(static_cast<size_t>(length) + 1, '\0');
  const int got = GetWindowTextA(handle_, &text[0], length + 1);
  text.resize(got > 0 ? static_cast<size_t>(got) : 0);
  return text;
}

void TWinControl::SetVisible(bool visible) { ShowWindow(handle_, visible ? SW_SHOWNA : SW_HIDE); }

bool TWinControl::Visible() const {
  return handle_ && (GetWindowLongA(handle_, GWL_STYLE) & WS_VISIBLE) != 0;
}

void TWinControl::SetEnabled(bool enabled) { EnableWindow(handle_, enabled); }

bool TWinControl::Enabled() const { return handle_ && IsWindowEnabled(handle_); }

void TWinControl::SetFocus() { ::SetFocus(handle_); }

void TWinControl::SetFont(const TFont& font) {
  font_ = font;
  if (handle_)
    SendMessageA(handle_, WM_SETFONT, reinterpret_cast<WPARAM>(FontHandleOf(font_)), TRUE);
}

COLORREF TWinControl::Color() const { return parentColor_ && parent_ ? parent_->Color() : color_; }

void TWinControl::SetColor(COLORREF color) {
  color_ = color;
  parentColor_ = false;
  if (handle_) {  // a null window would mean the whole screen
    RedrawWindow(handle_, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
  }
}

void TWinControl::Repaint() {
  RedrawWindow(handle_, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
  PaintPendingNow();
}

// Found through the objects rather than the windows: asking the system for a window's
// root costs Wine a trip to its server, and a long task asks for every entry.
TWinControl* TWinControl::Form() const {
  const TWinControl* control = this;
  while (control->parent_) control = control->parent_;
  return const_cast<TWinControl*>(control);
}

bool TWinControl::RepaintDue() const { return PerformanceCount() >= Form()->repaintDueAt_; }

void TWinControl::PaintNow(const std::function<void()>& change) {
  const LONGLONG start = PerformanceCount();
  if (change) change();
  TWinControl* const form = Form();
  if (!form->handle_) return;  // a null window would mean the whole screen
  RedrawWindow(form->handle_, nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
  const LONGLONG end = PerformanceCount();
  form->repaintDueAt_ = end + RepaintSpacing(end - start, PerformanceFrequency());
}

LONGLONG TWinControl::RepaintSpacing(LONGLONG cost, LONGLONG frequency) {
  const LONGLONG closest = frequency * kRepaintInterval / 1000;
  const LONGLONG longest = frequency * kLongestRepaintSpacing / 1000;
  return std::min(longest, std::max(closest, cost * kPaintSpacing));
}

void TWinControl::PaintPendingNow() {
  if (RepaintDue()) PaintNow();
}
