// The background's gradient rendered into bitmaps of chosen sizes and checked
// pixel by pixel against the rule: each pixel has the colour of the higher of its
// column step and its row step. Also the pictures of setup's windows.
#include "setup/windows/gradient.h"
#include "setup/windows/offscreen_bitmap.h"
#include "setup/windows/pictures.h"
#include "testing/screenshot.h"
#include "ui/gdi.h"
#include "win/gdi_scopes.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <vector>

namespace {

// a * b / c rounded to the nearest integer, halves away from zero (c > 0).
int RoundedMulDiv(int a, int b, int c) {
  const long long product = static_cast<long long>(a) * b;
  const long long rounded = (2 * std::llabs(product) + c) / (2LL * c);
  return static_cast<int>(product < 0 ? -rounded : rounded);
}

// The step whose stripe (or band) holds the coordinate.
std::vector<int> StepsAlong(int size) {
  std::vector<int> steps(static_cast<size_t>(size), -1);
  for (int i = 0; i < 256; ++i) {
    for (int at = RoundedMulDiv(i, size, 256); at < RoundedMulDiv(i + 1, size, 256); ++at) {
      steps[static_cast<size_t>(at)] = i;
    }
  }
  return steps;
}

COLORREF ColourOfStep(COLORREF start, COLORREF end, int step) {
  auto part = [step](int from, int to) {
    return (from + RoundedMulDiv(step, to - from, 255)) & 0xFF;
  };
  return RGB(part(GetRValue(start), GetRValue(end)), part(GetGValue(start), GetGValue(end)),
             part(GetBValue(start), GetBValue(end)));
}

// A top-down 32-bit picture drawn by DrawGradient.
class Rendered {
 public:
  Rendered(int width, int height, COLORREF start, COLORREF end) : width_(width) {
    void* bits = nullptr;
    bitmap_ = MakeTopDownBitmap(width, height, &bits);
    bits_ = static_cast<const uint32_t*>(bits);
    MemoryDCHandle dc(CreateCompatibleDC(nullptr));
    SelectedObject selected(dc.Get(), bitmap_.Get());
    const RECT all = {0, 0, width, height};
    FillRect(dc.Get(), &all, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
    DrawGradient(dc.Get(), width, height, start, end);
    GdiFlush();
  }
  COLORREF At(int x, int y) const {
    const uint32_t pixel = bits_[static_cast<size_t>(y) * width_ + x];
    return RGB((pixel >> 16) & 0xFF, (pixel >> 8) & 0xFF, pixel & 0xFF);
  }

 private:
  int width_;
  BitmapHandle bitmap_;
  const uint32_t* bits_ = nullptr;
};

// Every pixel against the rule; stops at the first few differences.
void ExpectGradient(int width, int height, COLORREF start, COLORREF end) {
  const Rendered picture(width, height, start, end);
  const std::vector<int> columns = StepsAlong(width);
  const std::vector<int> rows = StepsAlong(height);
  int faults = 0;
  for (int y = 0; y < height && faults < 5; ++y) {
    for (int x = 0; x < width && faults < 5; ++x) {
      const int step = std::max(columns[static_cast<size_t>(x)], rows[static_cast<size_t>(y)]);
      const COLORREF expected = ColourOfStep(start, end, step);
      if (picture.At(x, y) != expected) {
        ++faults;
        ADD_FAILURE() << width << " x " << height << ": pixel (" << x << ", " << y << ") is "
                      << std::hex << picture.At(x, y) << ", step " << std::dec << step << " gives "
                      << std::hex << expected;
      }
    }
  }
}

TEST(Gradient, BlueToBlackOnAScreenOf1024By768) {
  const Rendered picture(1024, 768, clBlue, clBlack);
  EXPECT_EQ(RGB(0, 0, 22), picture.At(10, 700));  // column step 2, row step 233
  EXPECT_EQ(RGB(0, 0, 255), picture.At(0, 0));
  EXPECT_EQ(RGB(0, 0, 255), picture.At(3, 2));
  EXPECT_EQ(RGB(0, 0, 254), picture.At(4, 0));  // stripe 1 starts at x = 4
  EXPECT_EQ(RGB(0, 0, 254), picture.At(0, 3));  // band 1 starts at y = 3
  EXPECT_EQ(RGB(0, 0, 0), picture.At(1023, 0));
  EXPECT_EQ(RGB(0, 0, 0), picture.At(0, 767));
  EXPECT_EQ(RGB(0, 0, 0), picture.At(1023, 767));
  ExpectGradient(1024, 768, clBlue, clBlack);
}

TEST(Gradient, SizesBelow256LeaveSomeStepsEmpty) {
  // 100 wide: stripe 32 starts at 12.5, rounded away from zero to 13; stripes 253
  // and 255 are empty, so the last column has step 254. 50 high: the last row has
  // step 253.
  const Rendered picture(100, 50, clBlue, clBlack);
  EXPECT_EQ(RGB(0, 0, 1), picture.At(99, 0));
  EXPECT_EQ(RGB(0, 0, 2), picture.At(0, 49));
  ExpectGradient(100, 50, clBlue, clBlack);
  ExpectGradient(1, 1, clBlue, clBlack);
  ExpectGradient(255, 3, clBlue, clBlack);
  ExpectGradient(300, 257, clBlue, clBlack);  // a few steps two pixels wide
}

TEST(Gradient, AnyTwoColoursStepPerComponent) {
  ExpectGradient(256, 256, RGB(10, 200, 30), RGB(250, 0, 31));
  ExpectGradient(512, 300, RGB(255, 255, 255), RGB(0, 128, 7));
}

TEST(Gradient, TheOffscreenBitmapHoldsTheRenderedPicture) {
  TOffscreenBitmap buffer;
  EXPECT_EQ(0, buffer.Width());
  buffer.SetSize(1024, 768);
  ASSERT_EQ(1024, buffer.Width());
  ASSERT_EQ(768, buffer.Height());
  DrawGradient(buffer.Canvas(), buffer.Width(), buffer.Height(), clBlue, clBlack);
  EXPECT_EQ(RGB(0, 0, 22), GetPixel(buffer.Canvas(), 10, 700));
  buffer.SetSize(64, 32);
  DrawGradient(buffer.Canvas(), buffer.Width(), buffer.Height(), clBlue, clBlack);
  EXPECT_EQ(RGB(0, 0, 252), GetPixel(buffer.Canvas(), 0, 0));  // row 0 has step 3
  EXPECT_EQ(RGB(0, 0, 2), GetPixel(buffer.Canvas(), 63, 0));   // column 63 has step 253
  EXPECT_EQ(CLR_INVALID, GetPixel(buffer.Canvas(), 64, 0));    // beyond the new size
  buffer.SetSize(0, 0);
  EXPECT_EQ(0, buffer.Width());
}

TEST(Pictures, TheProgramCarriesBothPictures) {
  const BitmapHandle wizard = LoadPicture(kWizardPicture);
  const BitmapHandle install = LoadPicture(kInstallPicture);
  BITMAP facts = {};
  ASSERT_TRUE(wizard && GetObjectA(wizard.Get(), sizeof facts, &facts));
  EXPECT_EQ(122, facts.bmWidth);
  EXPECT_EQ(220, facts.bmHeight);
  ASSERT_TRUE(install && GetObjectA(install.Get(), sizeof facts, &facts));
  EXPECT_EQ(48, facts.bmWidth);
  EXPECT_EQ(48, facts.bmHeight);
  EXPECT_FALSE(LoadPicture(999));
}

// The pictures are stored run-length encoded: decoded, a pixel of each lies where drawn.
TEST(Pictures, TheEncodedPicturesDecodeToTheirColours) {
  const MemoryDCHandle memory(CreateCompatibleDC(nullptr));
  const BitmapHandle wizard = LoadPicture(kWizardPicture);
  {
    SelectedObject selected(memory.Get(), wizard.Get());
    EXPECT_EQ(RGB(0, 0, 255), GetPixel(memory.Get(), 0, 0));       // the light sky
    EXPECT_EQ(RGB(0, 128, 128), GetPixel(memory.Get(), 60, 219));  // the desk
  }
  const BitmapHandle install = LoadPicture(kInstallPicture);
  SelectedObject selected(memory.Get(), install.Get());
  EXPECT_EQ(RGB(192, 192, 192), GetPixel(memory.Get(), 0, 0));  // the background
  EXPECT_EQ(RGB(255, 255, 0), GetPixel(memory.Get(), 10, 35));  // the folder
}

}  // namespace
