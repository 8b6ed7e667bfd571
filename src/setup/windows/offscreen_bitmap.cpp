#include "setup/windows/offscreen_bitmap.h"

#include "ui/gdi.h"
#include "win/gdi_scopes.h"

TOffscreenBitmap::TOffscreenBitmap() {
  WindowDC screen(nullptr);
  dc_.Reset(CreateCompatibleDC(screen.Get()));
}

TOffscreenBitmap::~TOffscreenBitmap() {
  if (dc_ && original_) SelectObject(dc_.Get(), original_);
}

void TOffscreenBitmap::SetSize(int width, int height) {
  if (width == width_ && height == height_) return;
  if (!dc_) return;  // no memory context to draw in: stays empty
  if (original_) SelectObject(dc_.Get(), original_);
  original_ = nullptr;
  bitmap_.Reset();
  width_ = 0;
  height_ = 0;
  if (width <= 0 || height <= 0) return;  // an empty bitmap needs no memory
  WindowDC screen(nullptr);
  bitmap_.Reset(CreateCompatibleBitmap(screen.Get(), width, height));
  if (!bitmap_) return;  // out of GDI memory: nothing is drawn
  original_ = SelectObject(dc_.Get(), bitmap_.Get());
  width_ = width;
  height_ = height;
}
