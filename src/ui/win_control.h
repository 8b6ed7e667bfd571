// The base of every window of the layer: a real Win32 window (a form, a container
// or a system control) bound to its C++ object.
#pragma once

#include "ui/gdi.h"

#include <windows.h>

#include <functional>
#include <string>

// Where a control's window comes from and how it starts.
struct WindowParams {
  const char* ClassName;
  std::string Text;
  DWORD Style;
  DWORD ExStyle;
  RECT Bounds;  // left, top, right, bottom in the parent's client coordinates
};

class TWinControl {
 public:
  virtual ~TWinControl();
  TWinControl(const TWinControl&) = delete;
  TWinControl& operator=(const TWinControl&) = delete;

  // The window, or null once it has been destroyed.
  HWND Handle() const { return handle_; }
  TWinControl* Parent() const { return parent_; }
  int Id() const;

  // Position and size in the parent's client coordinates (the screen's for forms).
  RECT BoundsRect() const;
  void SetBounds(int left, int top, int width, int height);

  virtual void SetText(const std::string& text);
  std::string Text() const;

  void SetVisible(bool visible);
  bool Visible() const;
  void SetEnabled(bool enabled);
  bool Enabled() const;
  void SetFocus();

  const TFont& Font() const { return font_; }
  virtual void SetFont(const TFont& font);
  // Background colour; a control shows its parent's colour until it is given its own.
  COLORREF Color() const;
  void SetColor(COLORREF color);

  // Paints the control now, without processing other window messages, if a repaint
  // of its form is due; otherwise it is painted with the form's next one, or by the
  // message loop.
  virtual void Repaint();
  // Whether a repaint of this control's form is due. A form's repaints are spaced by
  // kPaintSpacing times what its last one cost, and at least kRepaintInterval apart,
  // so that painting takes at most one part in kPaintSpacing + 1 of a long task that
  // repaints as it goes: Wine copies the window to the screen on every paint, which
  // may cost more than writing a small file. Never more than kLongestRepaintSpacing
  // apart, though: one slow paint (a busy machine, a screen reader, a remote session)
  // must not hold the window still for long.
  bool RepaintDue() const;
  // The spacing after a repaint that cost `cost` counts of a counter running at
  // `frequency` counts per second, in the same counts.
  static LONGLONG RepaintSpacing(LONGLONG cost, LONGLONG frequency);
  // Makes a change to the controls (if given) and paints what is waiting to be painted
  // in this control's form now, parents before children, however recent the last
  // repaint. What both cost spaces the next repaint.
  void PaintNow(const std::function<void()>& change = nullptr);
  static constexpr DWORD kRepaintInterval = 20;         // milliseconds, the closest spacing
  static constexpr DWORD kLongestRepaintSpacing = 250;  // milliseconds
  static constexpr int kPaintSpacing = 32;

  // The layer's object for a window, or null when the window is not one of ours.
  static TWinControl* FromHandle(HWND window);

 protected:
  // parent is null for forms; a control copies its parent's font and colour.
  explicit TWinControl(TWinControl* parent);

  // Creates the window (a child of the parent for controls) and binds it to this object.
  void CreateHandle(const WindowParams& params, HWND owner = nullptr);

  // The message handling of this kind of window; the default routes notifications
  // from child controls to their objects and passes everything else on.
  virtual LRESULT WndProc(UINT message, WPARAM wParam, LPARAM lParam);
  LRESULT DefaultProc(UINT message, WPARAM wParam, LPARAM lParam);

  // What a parent passes on to the child a notification is about.
  virtual void Command(WORD /*code*/) {}
  virtual HBRUSH ControlColor(HDC /*dc*/) { return nullptr; }  // null: system default
  virtual void DrawItem(const DRAWITEMSTRUCT& /*item*/) {}
  // The parent's client area has a new size.
  virtual void ParentResized(int /*width*/, int /*height*/) {}

  // The brush of this window's background colour.
  HBRUSH BackgroundBrush() const { return BrushOf(Color()); }
  void NotifyChildrenOfSize();
  // PaintNow if a repaint is due.
  void PaintPendingNow();

 private:
  static LRESULT CALLBACK SubclassProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
  void Detach();

  TWinControl* parent_;
  HWND handle_ = nullptr;
  WNDPROC original_ = nullptr;
  TFont font_;
  COLORREF color_ = clBtnFace;
  bool parentColor_ = true;
  // The form of this control: itself for a form.
  TWinControl* Form() const;

  LONGLONG repaintDueAt_ = 0;  // of a form: the performance counter's value
};

// What becomes of an exception that a window's handler raised: it cannot unwind
// into the system's code that called the window, so it ends here. The hook is
// called inside the catch block; the application installs its report. Without a
// hook the exception is dropped.
using WindowExceptionHook = void (*)() noexcept;
void SetWindowExceptionHook(WindowExceptionHook hook);

// The window class of the layer's own containers (pages, page controls), registered once.
const char* PanelClassName();
