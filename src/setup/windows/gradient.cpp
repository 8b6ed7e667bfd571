#include "setup/windows/gradient.h"

namespace {

constexpr int kSteps = 256;

// One colour component of step i, kept to its low 8 bits.
BYTE StepComponent(int from, int to, int step) {
  return static_cast<BYTE>((from + MulDiv(step, to - from, kSteps - 1)) & 0xFF);
}

COLORREF StepColour(COLORREF start, COLORREF end, int step) {
  return RGB(StepComponent(GetRValue(start), GetRValue(end), step),
             StepComponent(GetGValue(start), GetGValue(end), step),
             StepComponent(GetBValue(start), GetBValue(end), step));
}

}  // namespace

void DrawGradient(HDC dc, int width, int height, COLORREF start, COLORREF end) {
  const auto brush = static_cast<HBRUSH>(GetStockObject(DC_BRUSH));
  const COLORREF previous = GetDCBrushColor(dc);
  for (int i = 0; i < kSteps; ++i) {
    SetDCBrushColor(dc, StepColour(start, end, i));
    // Empty stripes and bands (below 256 pixels) paint nothing.
    const RECT stripe = {MulDiv(i, width, kSteps), 0, MulDiv(i + 1, width, kSteps), height};
    FillRect(dc, &stripe, brush);
    const RECT band = {0, MulDiv(i, height, kSteps), width, MulDiv(i + 1, height, kSteps)};
    FillRect(dc, &band, brush);
  }
  SetDCBrushColor(dc, previous);
}
