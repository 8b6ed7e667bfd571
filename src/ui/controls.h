// Thin wrappers of the system's standard controls.
#pragma once

#include "ui/win_control.h"

#include <functional>
#include <string>

class TButton : public TWinControl {
 public:
  TButton(TWinControl& parent, int left, int top, int width, int height,
          const std::string& caption);
  std::function<void()> OnClick;
  // Runs OnClick as a press of the button does.
  void Click();

 protected:
  void Command(WORD code) override;
};

// A frame with a caption that holds other controls.
class TGroupBox : public TWinControl {
 public:
  TGroupBox(TWinControl& parent, int left, int top, int width, int height,
            const std::string& caption);

 protected:
  HBRUSH ControlColor(HDC dc) override;
};

class TEdit : public TWinControl {
 public:
  TEdit(TWinControl& parent, int left, int top, int width, int height,
        const std::string& text = std::string());
  std::function<void()> OnChange;

 protected:
  void Command(WORD code) override;
};

// The text of a list box's item; empty when there is no such item.
std::string ListBoxItemText(HWND listBox, int index);

class TListBox : public TWinControl {
 public:
  TListBox(TWinControl& parent, int left, int top, int width, int height);

  void Clear();
  void Add(const std::string& item);
  int Count() const;
  std::string Item(int index) const;
  int ItemIndex() const;
  void SetItemIndex(int index);
  void SetItemHeight(int height);
  int ItemHeight() const;

 protected:
  HBRUSH ControlColor(HDC dc) override;
};

// A progress bar; the control keeps 16-bit values, so callers scale larger ranges.
class TProgressBar : public TWinControl {
 public:
  static constexpr int kLimit = 65535;

  TProgressBar(TWinControl& parent, int left, int top, int width, int height);

  void SetMax(int max);
  int Max() const;
  void SetPosition(int position);
  int Position() const;

 protected:
  LRESULT WndProc(UINT message, WPARAM wParam, LPARAM lParam) override;

 private:
  bool settingPosition_ = false;
};
