// The background window's gradient: 256 steps from one colour to another, laid
// out as nested L-shaped bands from the top-left corner.
#pragma once

#include <windows.h>

// Fills the width by height area at the origin of dc. For each step i from 0 to
// 255, in rising order, its colour (start + MulDiv(i, end - start, 255) per
// component, low 8 bits kept) fills the vertical stripe from x = MulDiv(i, width, 256)
// to MulDiv(i + 1, width, 256) over the full height, then the horizontal band from
// y = MulDiv(i, height, 256) to MulDiv(i + 1, height, 256) over the full width. So
// every pixel gets the colour of the higher of its column step and its row step.
void DrawGradient(HDC dc, int width, int height, COLORREF start, COLORREF end);
