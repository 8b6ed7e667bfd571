// The background window behind the wizard: caption, title, credit line, frame,
// and the gradient as it reaches the screen. Leaves a screenshot of the screen in
// the test's work folder (background.bmp) for a look.
#include "setup_session.h"

#include "setup/ui/gdi.h"
#include "test_support.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <vector>

namespace {

namespace ui = ui_driver;

// The screen's pixels in a rectangle, top row first.
struct Screenshot {
  int Width = 0;
  int Height = 0;
  std::vector<uint32_t> Pixels;  // 0x00RRGGBB

  COLORREF At(int x, int y) const {
    const uint32_t pixel = Pixels[static_cast<size_t>(y) * Width + x];
    return RGB((pixel >> 16) & 0xFF, (pixel >> 8) & 0xFF, pixel & 0xFF);
  }
};

Screenshot TakeScreenshot(const RECT& area) {
  Screenshot shot;
  shot.Width = area.right - area.left;
  shot.Height = area.bottom - area.top;
  BITMAPINFO info = {};
  info.bmiHeader.biSize = sizeof info.bmiHeader;
  info.bmiHeader.biWidth = shot.Width;
  info.bmiHeader.biHeight = -shot.Height;
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  void* bits = nullptr;
  BitmapHandle bitmap(CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0));
  if (!bitmap) return shot;
  WindowDC screen(nullptr);
  MemoryDcHandle memory(CreateCompatibleDC(screen.Get()));
  {
    SelectedObject selected(memory.Get(), bitmap.Get());
    BitBlt(memory.Get(), 0, 0, shot.Width, shot.Height, screen.Get(), area.left, area.top,
           SRCCOPY);
    GdiFlush();
  }
  const auto* first = static_cast<const uint32_t*>(bits);
  shot.Pixels.assign(first, first + static_cast<size_t>(shot.Width) * shot.Height);
  return shot;
}

// A 24-bit BMP file, bottom row first.
void SaveBmp(const Screenshot& shot, const std::string& path) {
  const size_t rowBytes = (static_cast<size_t>(shot.Width) * 3 + 3) & ~size_t{3};
  std::string pixels(rowBytes * shot.Height, '\0');
  for (int y = 0; y < shot.Height; ++y) {
    char* row = &pixels[rowBytes * (shot.Height - 1 - y)];
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
  WriteFileBytes(path, std::string(reinterpret_cast<const char*>(&file), sizeof file) +
                           std::string(reinterpret_cast<const char*>(&header), sizeof header) +
                           pixels);
}

// The gradient step of a coordinate for an image size: the i with
// MulDiv(i, size, 256) <= at < MulDiv(i + 1, size, 256).
int StepAt(int at, int size) {
  int step = 0;
  for (int i = 0; i < 256; ++i) {
    if (MulDiv(i, size, 256) <= at) step = i;
  }
  return step;
}

TEST(BackgroundWindow, CoversTheScreenWithTitleCreditAndGradient) {
  SetupSession setup("background", kPelmoraScript);
  const HWND background = setup.Background();
  EXPECT_EQ("펠모라 1.0 설치마법사", ui::Text(background));
  EXPECT_TRUE(IsZoomed(background));
  const LONG style = GetWindowLongA(background, GWL_STYLE);
  EXPECT_TRUE(style & WS_SYSMENU);
  EXPECT_FALSE(style & (WS_MINIMIZEBOX | WS_MAXIMIZEBOX));

  const RECT client = ui::ClientRect(background);
  const HWND title = ui::FindChild(background, {"Static", std::string("펠모라 1.0 설치 ")});
  EXPECT_EQ(16, ui::Bounds(title).left);
  EXPECT_EQ(16, ui::Bounds(title).top);
  const HWND credit = ui::FindChildren(background, {"Static", std::nullopt}).back();
  EXPECT_FALSE(ui::Text(credit).empty());
  EXPECT_EQ((RECT{0, client.bottom - 30, client.right, client.bottom}), ui::Bounds(credit));
  EXPECT_EQ(static_cast<LONG>(SS_RIGHT), GetWindowLongA(credit, GWL_STYLE) & SS_TYPEMASK);

  // The gradient is laid out over the window's outer size, from the client
  // area's top-left corner.
  RECT outer = {};
  GetWindowRect(background, &outer);
  const int width = outer.right - outer.left;
  const int height = outer.bottom - outer.top;
  POINT origin = {0, 0};
  ClientToScreen(background, &origin);
  auto expected = [&](int x, int y) {
    return RGB(0, 0, 255 - std::max(StepAt(x, width), StepAt(y, height)));
  };
  const RECT shown = {origin.x, origin.y, origin.x + client.right, origin.y + client.bottom};
  Screenshot shot;
  ui::WaitUntil([&] {
    shot = TakeScreenshot(shown);
    return !shot.Pixels.empty() && shot.At(5, 5) == expected(5, 5);
  }, "the painted background");
  const char* workDir = std::getenv("KIT_WORK_DIR");
  const RECT screen = {0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
  if (workDir) SaveBmp(TakeScreenshot(screen), WindowsPathOfUnix(workDir) + "\\background.bmp");

  // Points clear of the labels and of the wizard in the middle of the screen.
  const POINT points[] = {{5, 5},
                          {client.right - 1, 100},
                          {client.right / 2, 120},
                          {100, client.bottom - 40},
                          {200, client.bottom / 2},
                          {client.right - 150, client.bottom / 2},
                          {300, 70}};
  for (const POINT& p : points) {
    EXPECT_EQ(expected(p.x, p.y), shot.At(p.x, p.y)) << "at " << p.x << ", " << p.y;
  }

  // Closing the wizard ends the whole program.
  ui::PostClose(setup.Wizard());
  ui::AnswerMessageBox(ui::WaitForMessageBox(setup.Id()), IDYES);
  EXPECT_EQ(0u, setup.Program().WaitForExit());
}

}  // namespace
