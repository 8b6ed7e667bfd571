#include "ui/label.h"

#include "ui/gdi.h"
#include "ui/word_wrap.h"
#include "win/gdi_scopes.h"

namespace {

RECT Union(const RECT& a, const RECT& b) {
  RECT both;
  UnionRect(&both, &a, &b);
  return both;
}

}  // namespace

TLabel::TLabel(TWinControl& parent, int left, int top, const std::string& text)
    : TWinControl(&parent) {
  CreateHandle({"STATIC", text, WS_VISIBLE | SS_NOPREFIX | SS_LEFTNOWORDWRAP, 0,
                RECT{left, top, left, top}});
  AdjustSize();
}

void TLabel::ApplyStyle() {
  DWORD kind = SS_LEFTNOWORDWRAP;
  if (alignment_ == TAlignment::Right) {
    kind = SS_RIGHT;
  } else if (alignment_ == TAlignment::Center) {
    kind = SS_CENTER;
  } else if (wrapWidth_ > 0 || !autoSize_) {
    kind = SS_LEFT;
  }
  const DWORD style = GetWindowLongA(Handle(), GWL_STYLE);
  SetWindowLongA(Handle(), GWL_STYLE, (style & ~SS_TYPEMASK) | kind);
  InvalidateRect(Handle(), nullptr, TRUE);
}

void TLabel::AdjustSize() {
  if (!autoSize_ || dockBottom_) return;
  const SIZE size = MeasureText(FontHandleOf(Font()), Text(), wrapWidth_);
  const RECT bounds = BoundsRect();
  const int width = wrapWidth_ > 0 ? wrapWidth_ : size.cx;
  if (width == bounds.right - bounds.left && size.cy == bounds.bottom - bounds.top) return;
  SetWindowPos(Handle(), nullptr, bounds.left, bounds.top, width, size.cy,
               SWP_NOZORDER | SWP_NOACTIVATE | SWP_NOMOVE | SWP_NOREDRAW);
  // What the label covered before and covers now is painted with the next paint,
  // not at once: a label that changes with every extracted file must stay cheap.
  RedrawParentUnder(Union(bounds, BoundsRect()));
}

TLabel& TLabel::WrapAt(int width) {
  wrapWidth_ = width;
  autoSize_ = true;
  ApplyStyle();
  AdjustSize();
  return *this;
}

TLabel& TLabel::WrapWithin(int width, int height) {
  wrapWidth_ = width;
  return FixedSize(width, height);
}

TLabel& TLabel::FixedSize(int width, int height) {
  autoSize_ = false;
  ApplyStyle();
  const RECT bounds = BoundsRect();
  SetBounds(bounds.left, bounds.top, width, height);
  return *this;
}

TLabel& TLabel::DockBottom(int height) {
  autoSize_ = false;
  dockBottom_ = true;
  ApplyStyle();
  RECT parentClient = {};
  GetClientRect(Parent()->Handle(), &parentClient);
  SetBounds(0, parentClient.bottom - height, parentClient.right, height);
  return *this;
}

void TLabel::ParentResized(int width, int height) {
  if (!dockBottom_) return;
  const RECT bounds = BoundsRect();
  const int ownHeight = bounds.bottom - bounds.top;
  SetBounds(0, height - ownHeight, width, ownHeight);
}

TLabel& TLabel::SetTransparent(bool transparent) {
  transparent_ = transparent;
  RedrawParentUnder(BoundsRect());
  return *this;
}

TLabel& TLabel::SetAlignment(TAlignment alignment) {
  alignment_ = alignment;
  ApplyStyle();
  return *this;
}

void TLabel::SetText(const std::string& text) {
  TWinControl::SetText(text);
  AdjustSize();
  // Under transparent letters the parent paints the background first.
  if (transparent_) {
    RedrawParentUnder(BoundsRect());
  } else {
    InvalidateRect(Handle(), nullptr, TRUE);
  }
}

void TLabel::SetFont(const TFont& font) {
  TWinControl::SetFont(font);
  AdjustSize();
}

void TLabel::RedrawParentUnder(const RECT& area) {
  RedrawWindow(Parent()->Handle(), &area, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
}

void TLabel::Repaint() {
  InvalidateRect(Handle(), nullptr, TRUE);
  if (transparent_) RedrawParentUnder(BoundsRect());
  PaintPendingNow();
}

HBRUSH TLabel::ControlColor(HDC dc) {
  SetTextColor(dc, ResolveColor(Font().Color));
  if (transparent_) {
    SetBkMode(dc, TRANSPARENT);
    return static_cast<HBRUSH>(GetStockObject(NULL_BRUSH));
  }
  SetBkColor(dc, ResolveColor(Color()));
  return BackgroundBrush();
}

LRESULT TLabel::WndProc(UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_PAINT && wrapWidth_ > 0) {
    PaintWrapped();
    return 0;
  }
  return TWinControl::WndProc(message, wParam, lParam);
}

void TLabel::PaintWrapped() {
  PaintScope paint(Handle());
  const HDC dc = paint.Get();
  RECT client = {};
  GetClientRect(Handle(), &client);
  const HBRUSH background = ControlColor(dc);
  if (background != GetStockObject(NULL_BRUSH)) FillRect(dc, &client, background);
  SelectedObject font(dc, FontHandleOf(Font()));
  TEXTMETRICA metrics = {};
  GetTextMetricsA(dc, &metrics);
  int top = 0;
  for (const std::string& line : WrapWords(dc, Text(), client.right)) {
    TextOutA(dc, 0, top, line.c_str(), static_cast<int>(line.size()));
    top += metrics.tmHeight;
  }
}
