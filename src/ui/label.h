// A label: a STATIC control, so screen readers and test drivers can read it.
#pragma once

#include "ui/win_control.h"

#include <string>

enum class TAlignment { Left, Right, Center };

class TLabel : public TWinControl {
 public:
  // A one-line label sized to its text.
  TLabel(TWinControl& parent, int left, int top, const std::string& text);

  // Wraps at word boundaries within a fixed width; the height follows the text.
  TLabel& WrapAt(int width);
  // Wraps at word boundaries within a fixed rectangle; lines beyond its bottom are
  // cut off, so a long text never covers what lies below the label.
  TLabel& WrapWithin(int width, int height);
  // Keeps the given size whatever the text.
  TLabel& FixedSize(int width, int height);
  // Spans the parent's full width at its bottom edge with a fixed height.
  TLabel& DockBottom(int height);
  // The parent shows through around the letters.
  TLabel& SetTransparent(bool transparent);
  TLabel& SetAlignment(TAlignment alignment);

  void SetText(const std::string& text) override;
  void SetFont(const TFont& font) override;
  void Repaint() override;

 protected:
  LRESULT WndProc(UINT message, WPARAM wParam, LPARAM lParam) override;
  HBRUSH ControlColor(HDC dc) override;
  void ParentResized(int width, int height) override;

 private:
  void ApplyStyle();
  // A wrapping label paints its lines itself, broken at blanks.
  void PaintWrapped();
  void AdjustSize();
  // Invalidates the parent (and the label) over an area of the parent.
  void RedrawParentUnder(const RECT& area);

  bool autoSize_ = true;
  bool transparent_ = false;
  bool dockBottom_ = false;
  int wrapWidth_ = 0;  // 0: no word wrap
  TAlignment alignment_ = TAlignment::Left;
};
