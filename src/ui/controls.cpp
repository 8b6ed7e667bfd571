#include "ui/controls.h"

#include "win/system_library.h"

#include <commctrl.h>

#include <algorithm>

namespace {

RECT Box(int left, int top, int width, int height) {
  return RECT{left, top, left + width, top + height};
}

// Keeps a value in the 16-bit range the progress bar control can hold.
int ClampToBar(int value) { return std::min(std::max(value, 0), TProgressBar::kLimit); }

// The common controls are not one of the platform's known libraries, so they are
// loaded by full path rather than imported by name.
void LoadCommonControls() {
  static const bool loaded = [] {
    using InitControls = BOOL(WINAPI*)(const INITCOMMONCONTROLSEX*);
    const HMODULE library = LoadSystemLibrary("comctl32.dll");
    const auto init = library ? reinterpret_cast<InitControls>(reinterpret_cast<void*>(
                                    GetProcAddress(library, "InitCommonControlsEx")))
                              : nullptr;
    INITCOMMONCONTROLSEX classes = {sizeof classes, ICC_PROGRESS_CLASS | ICC_STANDARD_CLASSES};
    return init && init(&classes) != FALSE;
  }();
  (void)loaded;
}

}  // namespace

TButton::TButton(TWinControl& parent, int left, int top, int width, int height,
                 const std::string& caption)
    : TWinControl(&parent) {
  CreateHandle({"BUTTON", caption, WS_VISIBLE | WS_TABSTOP | BS_PUSHBUTTON, 0,
                Box(left, top, width, height)});
}

void TButton::Click() {
  if (OnClick) OnClick();
}

void TButton::Command(WORD code) {
  if (code == BN_CLICKED) Click();
}

TGroupBox::TGroupBox(TWinControl& parent, int left, int top, int width, int height,
                     const std::string& caption)
    : TWinControl(&parent) {
  CreateHandle({"BUTTON", caption, WS_VISIBLE | BS_GROUPBOX, WS_EX_CONTROLPARENT,
                Box(left, top, width, height)});
}

HBRUSH TGroupBox::ControlColor(HDC dc) {
  SetTextColor(dc, ResolveColor(Font().Color));
  SetBkColor(dc, ResolveColor(Color()));
  return BackgroundBrush();
}

TEdit::TEdit(TWinControl& parent, int left, int top, int width, int height, const std::string& text)
    : TWinControl(&parent) {
  CreateHandle({"EDIT", text, WS_VISIBLE | WS_TABSTOP | ES_AUTOHSCROLL, WS_EX_CLIENTEDGE,
                Box(left, top, width, height)});
}

void TEdit::Command(WORD code) {
  if (code == EN_CHANGE && OnChange) OnChange();
}

TListBox::TListBox(TWinControl& parent, int left, int top, int width, int height)
    : TWinControl(&parent) {
  SetColor(clWindow);
  CreateHandle({"LISTBOX", "",
                WS_VISIBLE | WS_TABSTOP | WS_VSCROLL | LBS_NOTIFY | LBS_NOINTEGRALHEIGHT,
                WS_EX_CLIENTEDGE, Box(left, top, width, height)});
}

void TListBox::Clear() { SendMessageA(Handle(), LB_RESETCONTENT, 0, 0); }

void TListBox::Add(const std::string& item) {
  SendMessageA(Handle(), LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(item.c_str()));
}

int TListBox::Count() const { return static_cast<int>(SendMessageA(Handle(), LB_GETCOUNT, 0, 0)); }

std::string ListBoxItemText(HWND listBox, int index) {
  const LRESULT length = SendMessageA(listBox, LB_GETTEXTLEN, index, 0);
  if (length == LB_ERR) return std::string();  // no such item
  std::string text(static_cast<size_t>(length) + 1, '\0');
  const LRESULT got = SendMessageA(listBox, LB_GETTEXT, index, reinterpret_cast<LPARAM>(&text[0]));
  text.resize(got == LB_ERR ? 0 : static_cast<size_t>(got));
  return text;
}

std::string TListBox::Item(int index) const { return ListBoxItemText(Handle(), index); }

int TListBox::ItemIndex() const {
  return static_cast<int>(SendMessageA(Handle(), LB_GETCURSEL, 0, 0));
}

void TListBox::SetItemIndex(int index) { SendMessageA(Handle(), LB_SETCURSEL, index, 0); }

void TListBox::SetItemHeight(int height) {
  SendMessageA(Handle(), LB_SETITEMHEIGHT, 0, MAKELPARAM(height, 0));
  InvalidateRect(Handle(), nullptr, TRUE);
}

int TListBox::ItemHeight() const {
  return static_cast<int>(SendMessageA(Handle(), LB_GETITEMHEIGHT, 0, 0));
}

HBRUSH TListBox::ControlColor(HDC dc) {
  SetTextColor(dc, ResolveColor(Font().Color));
  SetBkColor(dc, ResolveColor(Color()));
  return BackgroundBrush();
}

TProgressBar::TProgressBar(TWinControl& parent, int left, int top, int width, int height)
    : TWinControl(&parent) {
  LoadCommonControls();
  CreateHandle({PROGRESS_CLASSA, "", WS_VISIBLE, 0, Box(left, top, width, height)});
  SendMessageA(Handle(), PBM_SETRANGE, 0, MAKELPARAM(0, 100));
}

void TProgressBar::SetMax(int max) {
  const int value = ClampToBar(max);
  if (value == Max()) return;
  SendMessageA(Handle(), PBM_SETRANGE, 0, MAKELPARAM(0, value));
}

int TProgressBar::Max() const {
  return static_cast<int>(SendMessageA(Handle(), PBM_GETRANGE, FALSE, 0));
}

void TProgressBar::SetPosition(int position) {
  const int value = ClampToBar(position);
  if (value == Position()) return;
  // Wine's bar paints itself at once on every new position, and every paint costs a
  // copy of the window to the screen; like any other control, the bar is painted
  // when it is repainted or when messages are processed.
  settingPosition_ = true;
  SendMessageA(Handle(), PBM_SETPOS, value, 0);
  settingPosition_ = false;
  InvalidateRect(Handle(), nullptr, FALSE);
}

LRESULT TProgressBar::WndProc(UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_PAINT && settingPosition_) {
    ValidateRect(Handle(), nullptr);  // SetPosition marks the bar for painting again
    return 0;
  }
  return TWinControl::WndProc(message, wParam, lParam);
}

int TProgressBar::Position() const {
  return static_cast<int>(SendMessageA(Handle(), PBM_GETPOS, 0, 0));
}
