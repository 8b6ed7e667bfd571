#include "ui/form.h"

#include "ui/disabled_windows.h"
#include "ui/messages.h"
#include "ui/window_class.h"
#include "win/gdi_scopes.h"

namespace {

DWORD StyleOf(FormBorder border) {
  switch (border) {
    case FormBorder::Dialog:
      return WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_CLIPSIBLINGS;
    case FormBorder::DialogNoTitleButtons:
      return WS_POPUP | WS_CAPTION | WS_CLIPSIBLINGS;
    case FormBorder::MainWindow:
      return WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_THICKFRAME | WS_CLIPSIBLINGS;
  }
  return WS_POPUP | WS_CAPTION;
}

DWORD ExStyleOf(FormBorder border) {
  const DWORD base = WS_EX_CONTROLPARENT;
  // No form gets a task-bar button: the application's window has the program's one.
  return border == FormBorder::MainWindow ? base : base | WS_EX_DLGMODALFRAME | WS_EX_WINDOWEDGE;
}

// The outer rectangle of a window with the given client size, centred on the screen.
RECT CentredBounds(const FormLayout& layout) {
  RECT rect = {0, 0, layout.ClientWidth, layout.ClientHeight};
  AdjustWindowRectEx(&rect, StyleOf(layout.Border), FALSE, ExStyleOf(layout.Border));
  const int width = rect.right - rect.left;
  const int height = rect.bottom - rect.top;
  const int left = (GetSystemMetrics(SM_CXSCREEN) - width) / 2;
  const int top = (GetSystemMetrics(SM_CYSCREEN) - height) / 2;
  return RECT{left, top, left + width, top + height};
}

}  // namespace

TForm::TForm(TFormHost& host, const FormLayout& layout)
    : TWinControl(nullptr), host_(host), placement_(layout.Placement) {
  RegisterWindowClass({layout.ClassName, DefWindowProcA, CS_DBLCLKS, true, true});
  TWinControl::SetFont(layout.Font);
  TWinControl::SetColor(layout.Color);
  CreateHandle({layout.ClassName, layout.Caption, StyleOf(layout.Border), ExStyleOf(layout.Border),
                CentredBounds(layout)},
               host_.OwnerWindow());
}

TForm::~TForm() = default;

RECT TForm::ClientRect() const {
  RECT rect = {};
  GetClientRect(Handle(), &rect);
  return rect;
}

void TForm::Show() {
  ShowWindow(Handle(), placement_ == FormPlacement::Maximized ? SW_SHOWMAXIMIZED : SW_SHOWNORMAL);
  SetForegroundWindow(Handle());
}

void TForm::ActivateNow() {
  MSG waiting;
  if (PeekMessageA(&waiting, Handle(), WM_KIT_ACTIVATE, WM_KIT_ACTIVATE, PM_REMOVE)) Activated();
}

void TForm::Hide() {
  ShowWindow(Handle(), SW_HIDE);
  // Wakes a modal loop that waits for messages, so it sees the form hidden.
  if (modal_) PostMessageA(Handle(), WM_NULL, 0, 0);
}

bool TForm::ModalRunning() const { return modal_ && !modalEnding_ && Visible(); }

void TForm::ShowModal() {
  const HWND previousActive = GetActiveWindow();
  {
    DisabledTaskWindows others(Handle());
    modal_ = true;
    modalEnding_ = false;
    Show();
    host_.RunModalLoop(*this);
  }
  // The others are enabled again before the form hides, so activation returns to them.
  modal_ = false;
  Hide();
  if (previousActive && IsWindow(previousActive) && IsWindowVisible(previousActive)) {
    SetActiveWindow(previousActive);
  }
}

void TForm::Close() {
  TCloseAction action = caHide;
  FormClose(action);
  if (action == caNone) return;
  if (host_.EndProgramWith(*this)) return;
  if (modal_) {  // ShowModal hides it; a modal form is never freed under its own loop
    modalEnding_ = true;
    PostMessageA(Handle(), WM_NULL, 0, 0);
  } else if (action == caHide) {
    Hide();
  } else {
    Hide();
    PostMessageA(Handle(), WM_KIT_RELEASE, 0, 0);
  }
}

void TForm::Activated() {
  // An activation that arrives after the form was hidden or the program ended is stale.
  if (!Visible() || host_.ProgramEnding() || activationHeld_) return;
  FormActivate();
}

void TForm::RestoreFocus() {
  if (lastFocus_ && IsWindow(lastFocus_) && IsChild(Handle(), lastFocus_) &&
      IsWindowEnabled(lastFocus_) && IsWindowVisible(lastFocus_)) {
    ::SetFocus(lastFocus_);
  } else if (HWND first = GetNextDlgTabItem(Handle(), nullptr, FALSE)) {
    ::SetFocus(first);
  } else {
    ::SetFocus(Handle());
  }
}

LRESULT TForm::WndProc(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_CLOSE:
      Close();
      return 0;
    case WM_ACTIVATE:
      if (LOWORD(wParam) == WA_INACTIVE) {
        const HWND focus = GetFocus();
        if (focus && IsChild(Handle(), focus)) lastFocus_ = focus;
        return DefaultProc(message, wParam, lParam);
      }
      // The handler runs from the message loop, not inside the activation itself.
      PostMessageA(Handle(), WM_KIT_ACTIVATE, 0, 0);
      if (!HIWORD(wParam)) RestoreFocus();
      return 0;
    case WM_KIT_ACTIVATE:
      Activated();
      return 0;
    case WM_ERASEBKGND: {
      if (!eraseBackground_) return 1;
      RECT client = ClientRect();
      FillRect(reinterpret_cast<HDC>(wParam), &client, BackgroundBrush());
      return 1;
    }
    case WM_PAINT: {
      PaintScope paint(Handle());
      FormPaint(paint.Get());
      return 0;
    }
    case WM_SIZE:
      NotifyChildrenOfSize();
      break;
    case WM_COMMAND:
      // Enter in the dialog manager: press the focused push button.
      if (lParam == 0 && LOWORD(wParam) == IDOK) {
        const HWND focus = GetFocus();
        const LRESULT pushButton = DLGC_UNDEFPUSHBUTTON | DLGC_DEFPUSHBUTTON;
        if (focus && IsChild(Handle(), focus) &&
            (SendMessageA(focus, WM_GETDLGCODE, 0, 0) & pushButton)) {
          PostMessageA(focus, BM_CLICK, 0, 0);
        }
        return 0;
      }
      break;
    case WM_KIT_RELEASE:
      host_.Release(*this);  // the object is gone after this call
      return 0;
    default:
      break;
  }
  return TWinControl::WndProc(message, wParam, lParam);
}
