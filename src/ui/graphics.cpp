#include "ui/graphics.h"

#include "ui/gdi.h"
#include "win/gdi_scopes.h"

#include <algorithm>
#include <iterator>

namespace {

RECT Box(int left, int top, int width, int height) {
  return RECT{left, top, left + width, top + height};
}

// The 16 colours of the standard VGA palette.
constexpr RGBQUAD kVgaColours[16] = {
    {0, 0, 0, 0},       {0, 0, 128, 0},   {0, 128, 0, 0},   {0, 128, 128, 0},
    {128, 0, 0, 0},     {128, 0, 128, 0}, {128, 128, 0, 0}, {192, 192, 192, 0},
    {128, 128, 128, 0}, {0, 0, 255, 0},   {0, 255, 0, 0},   {0, 255, 255, 0},
    {255, 0, 0, 0},     {255, 0, 255, 0}, {255, 255, 0, 0}, {255, 255, 255, 0}};

struct BitmapInfo16 {
  BITMAPINFOHEADER Header;
  RGBQUAD Colours[16];
};

}  // namespace

BitmapHandle MakeBitmap(int width, int height, WORD bitsPerPixel,
                        const std::function<void(HDC)>& paint) {
  BitmapInfo16 info = {};
  info.Header.biSize = sizeof info.Header;
  info.Header.biWidth = width;
  info.Header.biHeight = height;
  info.Header.biPlanes = 1;
  info.Header.biBitCount = bitsPerPixel == 4 ? 4 : 24;
  info.Header.biCompression = BI_RGB;
  if (info.Header.biBitCount == 4) {
    info.Header.biClrUsed = 16;
    std::copy(std::begin(kVgaColours), std::end(kVgaColours), info.Colours);
  }
  void* bits = nullptr;
  BitmapHandle bitmap(CreateDIBSection(nullptr, reinterpret_cast<BITMAPINFO*>(&info),
                                       DIB_RGB_COLORS, &bits, nullptr, 0));
  if (!bitmap) return bitmap;  // out of GDI resources: an empty picture
  WindowDC screen(nullptr);
  MemoryDCHandle memory(CreateCompatibleDC(screen.Get()));
  SelectedObject selected(memory.Get(), bitmap.Get());
  RECT all = {0, 0, width, height};
  FillRect(memory.Get(), &all, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
  if (paint) paint(memory.Get());
  GdiFlush();
  return bitmap;
}

TBevel::TBevel(TWinControl& parent, int left, int top, int width, int height, TBevelShape shape)
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
  MemoryDCHandle memory(CreateCompatibleDC(item.hDC));
  SelectedObject selected(memory.Get(), bitmap_.Get());
  BitBlt(item.hDC, 0, 0, info.bmWidth, info.bmHeight, memory.Get(), 0, 0, SRCCOPY);
}
