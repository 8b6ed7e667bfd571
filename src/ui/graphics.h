// Controls that only draw: bevels and pictures (owner-drawn STATIC controls).
#pragma once

#include "ui/win_control.h"

#include "win/handles.h"

#include <functional>

enum class TBevelShape {
  Box,      // a sunken one-pixel frame
  TopLine,  // an etched horizontal line along the top edge
};

class TBevel : public TWinControl {
 public:
  TBevel(TWinControl& parent, int left, int top, int width, int height, TBevelShape shape);
  TBevelShape Shape() const { return shape_; }

 protected:
  LRESULT WndProc(UINT message, WPARAM wParam, LPARAM lParam) override;
  void DrawItem(const DRAWITEMSTRUCT& item) override;

 private:
  TBevelShape shape_;
};

// A picture: a bitmap drawn at the control's top-left corner.
class TImage : public TWinControl {
 public:
  TImage(TWinControl& parent, int left, int top, int width, int height);
  void SetBitmap(BitmapHandle bitmap);
  HBITMAP Bitmap() const { return bitmap_.Get(); }

 protected:
  void DrawItem(const DRAWITEMSTRUCT& item) override;

 private:
  BitmapHandle bitmap_;
};

// A new bitmap of the given size and colour depth (4: the 16 standard VGA colours;
// 24: true colour), cleared to white and then drawn by paint.
BitmapHandle MakeBitmap(int width, int height, WORD bitsPerPixel,
                        const std::function<void(HDC)>& paint);
