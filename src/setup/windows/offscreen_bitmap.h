// A bitmap in memory with its own device context: a picture is drawn there in
// full and then copied to the screen in one operation.
#pragma once

#include "win/handles.h"

#include <windows.h>

class TOffscreenBitmap {
 public:
  TOffscreenBitmap();  // empty: 0 by 0
  ~TOffscreenBitmap();
  TOffscreenBitmap(const TOffscreenBitmap&) = delete;
  TOffscreenBitmap& operator=(const TOffscreenBitmap&) = delete;

  // Gives the bitmap a size in the screen's format; the content is undefined after
  // a change. When the bitmap cannot be made, it stays empty.
  void SetSize(int width, int height);
  int Width() const { return width_; }
  int Height() const { return height_; }
  // Where to draw, and where to copy from.
  HDC Canvas() const { return dc_.Get(); }

 private:
  MemoryDCHandle dc_;
  BitmapHandle bitmap_;
  HGDIOBJ original_ = nullptr;  // the memory context's own bitmap, put back before ours goes
  int width_ = 0;
  int height_ = 0;
};
