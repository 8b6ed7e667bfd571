#include "setup/ui/graphics.h"

#include "setup/ui/gdi.h"

namespace {

RECT Box(int left, int top, int width, int height) {
  return RECT{left, top, left + width, top + height};
}

// A memory device context compatible with another, deleted on scope exit.
class MemoryDC {
 public:
  explicit MemoryDC(HDC like) : dc_(CreateCompatibleDC(like)) {}
  ~MemoryDC() {
    if (dc_) DeleteDC(dc_);
  }
  MemoryDC(const MemoryDC&) = delete;
  MemoryDC& operator=(const MemoryDC&) = delete;
  HDC Get() const { return dc_; }

 private:
  HDC dc_;
};

}  // namespace

TBevel::TBevel(TWinControl& parent, int left, int top, int width, int height,
               TBevelShape shape)
    : TWinControl(&parent), shape_(shape) {
  CreateHandle({"STATIC", "", WS_VISIBLE | SS_OWNERDRAW, 0, Box(left, top, width, height)});
}

LRESULT TBevel::WndProc(UINT message, WPARAM wParam, LPARAM lParam) {
  // The inside of a frame shows what lies beneath it (a picture, the parent).
  if (message == WM_ERASEBKGND) return 1;
  return TWinControl::WndProc(message, wParam, lParam);
}

void TBevel::DrawItem(const DRAWITEMSTRUCT& item) {
  RECT rect = item.rcItem;
  if (shape_ == TBevelShape::Box) {
    DrawEdge(item.hDC, &rect, BDR_SUNKENOUTER, BF_RECT);
  } else {
    DrawEdge(item.hDC, &rect, EDGE_ETCHED, BF_TOP);
  }
}

TImage::TImage(TWinControl& parent, int left, int top, int width, int height)
    : TWinControl(&parent) {
  CreateHandle({"STATIC", "", WS_VISIBLE | SS_OWNERDRAW, 0, Box(left, top, width, height)});
}

void TImage::SetBitmap(BitmapHandle bitmap) {
  bitmap_ = std::move(bitmap);
  InvalidateRect(Handle(), nullptr, TRUE);
}

void TImage::DrawItem(const DRAWITEMSTRUCT& item) {
  FillRect(item.hDC, &item.rcItem, BackgroundBrush());
  if (!bitmap_) return;
  BITMAP info = {};
  GetObjectA(bitmap_.Get(), sizeof info, &info);
  MemoryDC memory(item.hDC);
  SelectedObject selected(memory.Get(), bitmap_.Get());
  BitBlt(item.hDC, 0, 0, info.bmWidth, info.bmHeight, memory.Get(), 0, 0, SRCCOPY);
}
