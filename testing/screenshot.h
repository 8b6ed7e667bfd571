// What reached the screen, read back from outside a program's windows: pixels for
// checks, and BMP files for a look.
#pragma once

#include "win/handles.h"

#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

// The screen's pixels in a rectangle, top row first.
struct Screenshot {
  int Width = 0;
  int Height = 0;
  std::vector<std::uint32_t> Pixels;  // 0x00RRGGBB

  COLORREF At(int x, int y) const {
    const std::uint32_t pixel = Pixels[static_cast<size_t>(y) * Width + x];
    return RGB((pixel >> 16) & 0xFF, (pixel >> 8) & 0xFF, pixel & 0xFF);
  }
};

// The area of the screen (screen coordinates); empty when it cannot be read.
Screenshot TakeScreenshot(const RECT& area);
// The whole screen.
Screenshot TakeScreenshot();
// A window as the screen shows it, frame included.
Screenshot TakeScreenshot(HWND window);

// The description of a top-down 32-bit bitmap (0x00RRGGBB pixels, top row first).
BITMAPINFO TopDownInfo(int width, int height);

// A top-down 32-bit bitmap whose bits stay reachable through bits; empty when it
// cannot be made.
BitmapHandle MakeTopDownBitmap(int width, int height, void** bits);

// Writes a 24-bit BMP file; false when it cannot be written.
bool SaveBmp(const Screenshot& shot, const std::string& path);
