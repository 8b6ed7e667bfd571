// The background window behind the wizard: caption, title, credit line, frame,
// and the gradient as it reaches the screen. Leaves a screenshot of the screen in
// the test's work folder (background.bmp) for a look.
#include "setup/support/setup_session.h"
#include "support/test_support.h"
#include "testing/screenshot.h"

#include <gtest/gtest.h>

#include <cstdlib>

namespace {

namespace ui = ui_driver;

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
  ui::WaitUntil(
      [&] {
        shot = TakeScreenshot(shown);
        return !shot.Pixels.empty() && shot.At(5, 5) == expected(5, 5);
      },
      "the painted background");
  const char* workDir = std::getenv("KIT_WORK_DIR");
  if (workDir) SaveBmp(TakeScreenshot(), WindowsPathOfUnix(workDir) + "\\background.bmp");

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
