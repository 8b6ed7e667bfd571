#include "message_box_flags.h"

#include <algorithm>
#include <cstdlib>
#include <vector>

namespace {

using Pixels = std::vector<COLORREF>;

struct ButtonSet {
  UINT Flag;
  std::vector<int> Ids;  // in the order the platform lays them out
};

const ButtonSet kButtonSets[] = {
    {MB_OK, {IDOK}},
    {MB_OKCANCEL, {IDOK, IDCANCEL}},
    {MB_YESNO, {IDYES, IDNO}},
    {MB_YESNOCANCEL, {IDYES, IDNO, IDCANCEL}},
    {MB_RETRYCANCEL, {IDRETRY, IDCANCEL}},
};

struct IconKind {
  UINT Flag;
  LPCSTR Resource;
};

const IconKind kIcons[] = {
    {MB_ICONSTOP, MAKEINTRESOURCEA(32513)},         // IDI_HAND
    {MB_ICONQUESTION, MAKEINTRESOURCEA(32514)},     // IDI_QUESTION
    {MB_ICONEXCLAMATION, MAKEINTRESOURCEA(32515)},  // IDI_EXCLAMATION
    {MB_ICONINFORMATION, MAKEINTRESOURCEA(32516)},  // IDI_ASTERISK
};

Pixels ReadBitmap(HDC dc, HBITMAP bitmap, int width, int height) {
  BITMAPINFO info = {};
  info.bmiHeader.biSize = sizeof info.bmiHeader;
  info.bmiHeader.biWidth = width;
  info.bmiHeader.biHeight = -height;
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  Pixels pixels(static_cast<size_t>(width) * height);
  GetDIBits(dc, bitmap, 0, height, pixels.data(), &info, DIB_RGB_COLORS);
  return pixels;
}

// Draws into a fresh bitmap of the screen's format and reads it back.
template <typename Paint>
Pixels Render(int width, int height, Paint paint) {
  HDC screen = GetDC(nullptr);
  HDC memory = CreateCompatibleDC(screen);
  HBITMAP bitmap = CreateCompatibleBitmap(screen, width, height);
  HGDIOBJ old = SelectObject(memory, bitmap);
  paint(memory, screen);
  SelectObject(memory, old);
  Pixels pixels = ReadBitmap(memory, bitmap, width, height);
  DeleteObject(bitmap);
  DeleteDC(memory);
  ReleaseDC(nullptr, screen);
  return pixels;
}

bool Near(COLORREF a, COLORREF b) {
  for (int shift = 0; shift < 24; shift += 8) {
    if (std::abs(int((a >> shift) & 0xFF) - int((b >> shift) & 0xFF)) > 8) return false;
  }
  return true;
}

double Likeness(const Pixels& a, const Pixels& b) {
  size_t same = 0;
  for (size_t i = 0; i < a.size(); ++i) same += Near(a[i], b[i]);
  return a.empty() ? 0.0 : double(same) / double(a.size());
}

HWND IconControl(HWND box) {
  for (HWND child : ui_driver::FindChildren(box, {"Static", std::nullopt, 0, true})) {
    if ((GetWindowLongA(child, GWL_STYLE) & SS_TYPEMASK) == SS_ICON) return child;
  }
  return nullptr;
}

// The icon kind whose picture matches the control's pixels on the screen; 0 when none.
UINT IconOnScreen(HWND control) {
  RECT r;
  GetWindowRect(control, &r);
  const int width = r.right - r.left, height = r.bottom - r.top;
  if (width <= 0 || height <= 0) return 0;
  const Pixels shown = Render(width, height, [&](HDC memory, HDC screen) {
    BitBlt(memory, 0, 0, width, height, screen, r.left, r.top, SRCCOPY);
  });
  for (const IconKind& kind : kIcons) {
    const Pixels expected = Render(width, height, [&](HDC memory, HDC) {
      HBRUSH background = CreateSolidBrush(shown[0] & 0xFFFFFF);
      RECT all = {0, 0, width, height};
      FillRect(memory, &all, background);
      DeleteObject(background);
      DrawIconEx(memory, 0, 0, LoadIconA(nullptr, kind.Resource), width, height, 0, nullptr,
                 DI_NORMAL);
    });
    if (Likeness(shown, expected) > 0.98) return kind.Flag;
  }
  return 0;
}

UINT IconFlag(HWND box) {
  const HWND control = IconControl(box);
  if (!control) return 0;
  UINT flag = 0;
  try {
    ui_driver::WaitUntil([&] { return (flag = IconOnScreen(control)) != 0; }, "a known icon");
  } catch (const ui_driver::DriverError&) {
    return MB_ICONMASK;  // an icon, but none of the known ones
  }
  return flag;
}

bool IsDefault(HWND button) {
  return (GetWindowLongA(button, GWL_STYLE) & BS_TYPEMASK) == BS_DEFPUSHBUTTON;
}

}  // namespace

UINT ShownFlags(const ui_driver::MessageBoxInfo& box) {
  std::vector<int> ids;
  for (const ui_driver::MessageBoxButton& button : box.Buttons) ids.push_back(button.Id);
  std::sort(ids.begin(), ids.end());
  UINT flags = MB_TYPEMASK;  // an unknown set of buttons
  for (const ButtonSet& set : kButtonSets) {
    std::vector<int> sorted = set.Ids;
    std::sort(sorted.begin(), sorted.end());
    if (sorted != ids) continue;
    flags = set.Flag;
    for (size_t i = 0; i < set.Ids.size(); ++i) {
      if (IsDefault(GetDlgItem(box.Window, set.Ids[i]))) flags |= static_cast<UINT>(i) << 8;
    }
  }
  return flags | IconFlag(box.Window);
}

void PressEnter(const ui_driver::MessageBoxInfo& box) {
  if (!PostMessageA(box.Window, WM_KEYDOWN, VK_RETURN, 0)) {
    throw ui_driver::DriverError("cannot press Enter");
  }
}
