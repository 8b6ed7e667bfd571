// Fonts, colours and device contexts of the window layer.
#pragma once

#include <windows.h>

#include <string>

// Colours are COLORREFs; values with the top bit set name a system colour.
constexpr COLORREF clBlack = RGB(0, 0, 0);
constexpr COLORREF clNavy = RGB(0, 0, 128);
constexpr COLORREF clBlue = RGB(0, 0, 255);
constexpr COLORREF clSilver = RGB(192, 192, 192);
constexpr COLORREF clYellow = RGB(255, 255, 0);
constexpr COLORREF clAqua = RGB(0, 255, 255);
constexpr COLORREF clWhite = RGB(255, 255, 255);
constexpr COLORREF clBtnFace = 0x80000000 | COLOR_BTNFACE;
constexpr COLORREF clWindow = 0x80000000 | COLOR_WINDOW;

// The RGB value of a colour, looking system colours up.
COLORREF ResolveColor(COLORREF color);

// A font by face name and character height in pixels (the em height, without
// internal leading), with weight and text colour.
struct TFont {
  std::string Name = "굴림체";
  int Height = 12;
  bool Bold = false;
  COLORREF Color = clBlack;
};

// The GDI font for a description. Fonts are made once per description and live
// until the program ends, so controls may share them freely.
HFONT FontHandleOf(const TFont& font);

// The program's own icon (icon group 1 of its resources) at a size in pixels, or
// the platform's generic one when the program has none. Shared, never destroyed.
HICON ProgramIcon(int size);

// A solid brush of a colour, shared and kept like the fonts.
HBRUSH BrushOf(COLORREF color);

// The size a text takes in a font: one line per line break, or wrapped at
// words within wrapWidth when that is above 0. An empty text measures as one blank.
SIZE MeasureText(HFONT font, const std::string& text, int wrapWidth);
