#include "ui/notebook.h"

namespace {

RECT ClientOf(const TWinControl& control) {
  RECT client = {};
  GetClientRect(control.Handle(), &client);
  return client;
}

}  // namespace

TPanel::TPanel(TWinControl& parent, const RECT& bounds, DWORD style) : TWinControl(&parent) {
  CreateHandle({PanelClassName(), "", style, WS_EX_CONTROLPARENT, bounds});
}

LRESULT TPanel::WndProc(UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_ERASEBKGND) {
    const RECT client = ClientOf(*this);
    FillRect(reinterpret_cast<HDC>(wParam), &client, BackgroundBrush());
    return 1;
  }
  return TWinControl::WndProc(message, wParam, lParam);
}

TNotebook::TNotebook(TWinControl& parent, int left, int top, int width, int height)
    : TPanel(parent, RECT{left, top, left + width, top + height}, WS_VISIBLE) {}

void TNotebook::AddPage(TPage& page) {
  pages_.push_back(&page);
  if (pageIndex_ < 0) {
    pageIndex_ = 0;
    page.SetVisible(true);
  }
}

void TNotebook::SetPageIndex(int index) {
  if (index < 0 || index >= PageCount() || index == pageIndex_) return;  // nothing to show
  TPage& previous = Page(pageIndex_);
  Page(index).SetVisible(true);
  previous.SetVisible(false);
  pageIndex_ = index;
}

TPage::TPage(TNotebook& notebook) : TPanel(notebook, ClientOf(notebook), 0) {
  notebook.AddPage(*this);
}
