#include "testing/message_box_flags.h"

#include "testing/screenshot.h"
#include "win/gdi_scopes.h"
#include "win/handles.h"

#include <algorithm>
#include <cstdlib>
#include <vector>

namespace {

using Pixels = std::vector<COLORREF>;

struct ButtonSet {
  UINT Flag;
  std::vector<int> Ids;  // in the order the box lays them out
};

const ButtonSet kButtonSets[] = {
    {MB_OK, {IDOK}},
    {MB_OKCANCEL, {IDOK, IDCANCEL}},
    {MB_ABORTRETRYIGNORE, {IDABORT, IDRETRY, IDIGNORE}},
    {MB_YESNOCANCEL, {IDYES, IDNO, IDCANCEL}},
    {MB_YESNO, {IDYES, IDNO}},
    {MB_RETRYCANCEL, {IDRETRY, IDCANCEL}},
};

struct IconKind {
  UINT Flag;
  LPCSTR Resource;
};

const IconKind kIconKinds[] = {
    {MB_ICONSTOP, IDI_HAND},
    {MB_ICONQUESTION, IDI_QUESTION},
    {MB_ICONEXCLAMATION, IDI_EXCLAMATION},
    {MB_ICONINFORMATION, IDI_ASTERISK},
};

// A screen-compatible drawing surface of the given size, read back as 32-bit pixels.
class Canvas {
 public:
  Canvas(int width, int height)
      : width_(width),
        height_(height),
        memory_(CreateCompatibleDC(screen_.Get())),
        bitmap_(CreateCompatibleBitmap(screen_.Get(), width, height)) {}

  // Draws into the canvas while the object lives.
  SelectedObject Select() { return SelectedObject(memory_.Get(), bitmap_.Get()); }
  HDC DC() const { return memory_.Get(); }
  HDC Screen() const { return screen_.Get(); }

  // The pixels, top row first; call while nothing is selected (a bitmap is read
  // while no device context holds it).
  Pixels Read() const {
    BITMAPINFO info = TopDownInfo(width_, height_);
    Pixels pixels(static_cast<size_t>(width_) * height_);
    GetDIBits(memory_.Get(), bitmap_.Get(), 0, height_, pixels.data(), &info, DIB_RGB_COLORS);
    return pixels;
  }

 private:
  int width_, height_;
  WindowDC screen_{nullptr};
  MemoryDCHandle memory_;
  BitmapHandle bitmap_;
};

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

// The known icon whose picture the control shows on the screen; 0 when none.
UINT IconOnScreen(HWND control) {
  RECT r;
  GetWindowRect(control, &r);
  const int width = r.right - r.left, height = r.bottom - r.top;
  if (width <= 0 || height <= 0) return 0;
  Canvas shown(width, height);
  {
    const SelectedObject drawing = shown.Select();
    BitBlt(shown.DC(), 0, 0, width, height, shown.Screen(), r.left, r.top, SRCCOPY);
  }
  const Pixels onScreen = shown.Read();
  for (const IconKind& kind : kIconKinds) {
    Canvas expected(width, height);
    {
      const SelectedObject drawing = expected.Select();
      BrushHandle background(CreateSolidBrush(onScreen[0] & 0xFFFFFF));
      RECT all = {0, 0, width, height};
      FillRect(expected.DC(), &all, background.Get());
      DrawIconEx(expected.DC(), 0, 0, LoadIconA(nullptr, kind.Resource), width, height, 0, nullptr,
                 DI_NORMAL);
    }
    if (Likeness(onScreen, expected.Read()) > 0.98) return kind.Flag;
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
    return MB_ICONMASK;
  }
  return flag;
}

bool IsDefault(HWND button) {
  return (GetWindowLongA(button, GWL_STYLE) & BS_TYPEMASK) == BS_DEFPUSHBUTTON;
}

UINT ButtonFlags(const ui_driver::MessageBoxInfo& box) {
  std::vector<int> shown;
  for (const ui_driver::MessageBoxButton& button : box.Buttons) shown.push_back(button.Id);
  std::sort(shown.begin(), shown.end());
  for (const ButtonSet& set : kButtonSets) {
    std::vector<int> ids = set.Ids;
    std::sort(ids.begin(), ids.end());
    if (ids != shown) continue;
    UINT flags = set.Flag;
    for (size_t i = 0; i < set.Ids.size(); ++i) {
      if (IsDefault(GetDlgItem(box.Window, set.Ids[i]))) flags |= static_cast<UINT>(i) << 8;
    }
    return flags;
  }
  return MB_TYPEMASK;
}

}  // namespace

UINT ShownFlags(const ui_driver::MessageBoxInfo& box) {
  return ButtonFlags(box) | IconFlag(box.Window);
}

void PressEnter(const ui_driver::MessageBoxInfo& box) {
  if (!PostMessageA(box.Window, WM_KEYDOWN, VK_RETURN, 0)) {
    throw ui_driver::DriverError("cannot press Enter");
  }
}
