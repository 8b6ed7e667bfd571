#include "testing/screenshot.h"

#include "win/gdi_scopes.h"
#include "win/handles.h"

#include <fstream>

BITMAPINFO TopDownInfo(int width, int height) {
  BITMAPINFO info = {};
  info.bmiHeader.biSize = sizeof info.bmiHeader;
  info.bmiHeader.biWidth = width;
  info.bmiHeader.biHeight = -height;
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  return info;
}

BitmapHandle MakeTopDownBitmap(int width, int height, void** bits) {
  const BITMAPINFO info = TopDownInfo(width, height);
  return BitmapHandle(CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, bits, nullptr, 0));
}

Screenshot TakeScreenshot(const RECT& area) {
  Screenshot shot;
  const int width = area.right - area.left;
  const int height = area.bottom - area.top;
  if (width <= 0 || height <= 0) return shot;
  void* bits = nullptr;
  BitmapHandle bitmap = MakeTopDownBitmap(width, height, &bits);
  if (!bitmap) return shot;
  WindowDC screen(nullptr);
  MemoryDCHandle memory(CreateCompatibleDC(screen.Get()));
  if (!memory) return shot;
  {
    SelectedObject selected(memory.Get(), bitmap.Get());
    BitBlt(memory.Get(), 0, 0, width, height, screen.Get(), area.left, area.top, SRCCOPY);
    GdiFlush();
  }
  const auto* first = static_cast<const std::uint32_t*>(bits);
  shot.Width = width;
  shot.Height = height;
  shot.Pixels.assign(first, first + static_cast<size_t>(width) * height);
  return shot;
}

Screenshot TakeScreenshot() {
  return TakeScreenshot(RECT{0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)});
}

Screenshot TakeScreenshot(HWND window) {
  RECT area = {};
  GetWindowRect(window, &area);
  return TakeScreenshot(area);
}

bool SaveBmp(const Screenshot& shot, const std::string& path) {
  const size_t rowBytes = (static_cast<size_t>(shot.Width) * 3 + 3) & ~size_t{3};
  std::string pixels(rowBytes * shot.Height, '\0');
  for (int y = 0; y < shot.Height; ++y) {
    char* row = &pixels[rowBytes * (shot.Height - 1 - y)];  // bottom row first
    for (int x = 0; x < shot.Width; ++x) {
      const COLORREF c = shot.At(x, y);
      row[3 * x] = static_cast<char>(GetBValue(c));
      row[3 * x + 1] = static_cast<char>(GetGValue(c));
      row[3 * x + 2] = static_cast<char>(GetRValue(c));
    }
  }
  BITMAPFILEHEADER file = {};
  BITMAPINFOHEADER header = {};
  file.bfType = 0x4D42;
  file.bfOffBits = sizeof file + sizeof header;
  file.bfSize = static_cast<DWORD>(file.bfOffBits + pixels.size());
  header.biSize = sizeof header;
  header.biWidth = shot.Width;
  header.biHeight = shot.Height;
  header.biPlanes = 1;
  header.biBitCount = 24;
  header.biCompression = BI_RGB;
  std::ofstream out(path, std::ios::binary);
  out.write(reinterpret_cast<const char*>(&file), sizeof file);
  out.write(reinterpret_cast<const char*>(&header), sizeof header);
  out.write(pixels.data(), static_cast<std::streamsize>(pixels.size()));
  return static_cast<bool>(out.flush());
}
