// A page control without tabs: pages on top of each other, exactly one visible.
#pragma once

#include "ui/win_control.h"

#include <vector>

class TPage;

// A plain container of the layer's own window class, filled with its colour.
class TPanel : public TWinControl {
 protected:
  TPanel(TWinControl& parent, const RECT& bounds, DWORD style);
  LRESULT WndProc(UINT message, WPARAM wParam, LPARAM lParam) override;
};

class TNotebook : public TPanel {
 public:
  TNotebook(TWinControl& parent, int left, int top, int width, int height);

  int PageCount() const { return static_cast<int>(pages_.size()); }
  TPage& Page(int index) const { return *pages_.at(static_cast<size_t>(index)); }
  int PageIndex() const { return pageIndex_; }
  // Shows page index (from 0) and hides the one shown before; other values are ignored.
  void SetPageIndex(int index);

 private:
  friend class TPage;
  void AddPage(TPage& page);

  std::vector<TPage*> pages_;
  int pageIndex_ = -1;
};

// One page: a container covering the whole notebook. The first page made is shown.
class TPage : public TPanel {
 public:
  explicit TPage(TNotebook& notebook);
};
