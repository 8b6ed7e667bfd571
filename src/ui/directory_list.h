// A directory tree as a list (the drive root, the path down to the open directory,
// then its subdirectories) and the drive selector bound to it.
#pragma once

#include "ui/win_control.h"

#include <functional>
#include <string>

class TDriveComboBox;

class TDirectoryListBox : public TWinControl {
 public:
  TDirectoryListBox(TWinControl& parent, int left, int top, int width, int height);

  // The open directory, a full path: a drive root ends in "\", any other does not.
  // At first the process's current directory.
  const std::string& Directory() const { return directory_; }
  // Opens a directory; OnChange runs when the open directory actually changes.
  // False (and nothing changes) when the path is not an existing directory on a drive.
  bool SetDirectory(const std::string& path);
  // Opens the item at index, as a double click or Enter on it does.
  void OpenItem(int index);
  int ItemCount() const;
  std::string ItemText(int index) const;

  std::function<void()> OnChange;

 protected:
  LRESULT WndProc(UINT message, WPARAM wParam, LPARAM lParam) override;
  void Command(WORD code) override;
  void DrawItem(const DRAWITEMSTRUCT& item) override;

 private:
  friend class TDriveComboBox;
  void Fill();
  std::string ItemPath(int index) const;

  std::string directory_;
  int openCount_ = 0;  // the first items: the root and the path down to the open directory
  TDriveComboBox* drives_ = nullptr;
};

class TDriveComboBox : public TWinControl {
 public:
  TDriveComboBox(TWinControl& parent, int left, int top, int width);

  // Picking a drive moves the list to that drive's current directory.
  void SetDirList(TDirectoryListBox& list);
  // The selected drive's letter in lower case; 0 when none is selected.
  char Drive() const;
  // Selects a drive without moving the list.
  void SelectDrive(char letter);

 protected:
  void Command(WORD code) override;

 private:
  TDirectoryListBox* dirList_ = nullptr;
};
