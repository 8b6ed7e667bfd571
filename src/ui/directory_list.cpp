#include "ui/directory_list.h"

#include "ui/controls.h"

#include "win/file_system.h"
#include "win/handles.h"

#include <algorithm>
#include <cctype>
#include <vector>

namespace {

constexpr int kRowHeight = 16;
constexpr int kIndent = 10;

std::string WithBackslash(const std::string& path) {
  return (!path.empty() && path.back() == '\\') ? path : path + "\\";
}

// The full form of a path on a drive, without a trailing "\" except at a root;
// empty when the path names no drive.
std::string NormalDirectory(const std::string& path) {
  char buffer[MAX_PATH] = {};
  const DWORD length = GetFullPathNameA(path.c_str(), MAX_PATH, buffer, nullptr);
  if (length == 0 || length >= MAX_PATH) return std::string();  // bad or too long
  std::string full(buffer, length);
  if (full.size() < 3 || full[1] != ':' || full[2] != '\\') return std::string();  // no drive
  while (full.size() > 3 && full.back() == '\\') full.pop_back();
  return full;
}

std::vector<std::string> Subdirectories(const std::string& directory) {
  std::vector<std::string> names;
  WIN32_FIND_DATAA data;
  FindHandle find(FindFirstFileA((WithBackslash(directory) + "*").c_str(), &data));
  if (!find) return names;
  do {
    const std::string name = data.cFileName;
    const DWORD skipped = FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM;
    if ((data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) && !(data.dwFileAttributes & skipped) &&
        name != "." && name != "..") {
      names.push_back(name);
    }
  } while (FindNextFileA(find.Get(), &data));
  std::sort(names.begin(), names.end(), [](const std::string& a, const std::string& b) {
    return lstrcmpiA(a.c_str(), b.c_str()) < 0;
  });
  return names;
}

// The directory a drive was last at in this process, or its root.
std::string DriveDirectory(char letter) {
  const std::string drive = std::string(1, letter) + ":";
  const std::string current = NormalDirectory(drive);
  if (!current.empty() && DirectoryExists(current)) return current;
  return drive + "\\";
}

}  // namespace

TDirectoryListBox::TDirectoryListBox(TWinControl& parent, int left, int top, int width, int height)
    : TWinControl(&parent) {
  CreateHandle({"LISTBOX", "",
                WS_VISIBLE | WS_TABSTOP | WS_VSCROLL | LBS_NOTIFY | LBS_NOINTEGRALHEIGHT |
                    LBS_OWNERDRAWFIXED | LBS_HASSTRINGS,
                WS_EX_CLIENTEDGE, RECT{left, top, left + width, top + height}});
  SendMessageA(Handle(), LB_SETITEMHEIGHT, 0, MAKELPARAM(kRowHeight, 0));
  // The list starts at the process's current directory.
  directory_ = NormalDirectory(".");
  if (!directory_.empty()) Fill();
}

bool TDirectoryListBox::SetDirectory(const std::string& path) {
  const std::string directory = NormalDirectory(path);
  if (directory.empty() || !DirectoryExists(directory)) return false;  // nothing to open
  if (lstrcmpiA(directory.c_str(), directory_.c_str()) == 0) return true;
  directory_ = directory;
  Fill();
  if (drives_) drives_->SelectDrive(directory_[0]);
  if (OnChange) OnChange();
  return true;
}

void TDirectoryListBox::Fill() {
  SendMessageA(Handle(), WM_SETREDRAW, FALSE, 0);
  SendMessageA(Handle(), LB_RESETCONTENT, 0, 0);
  std::vector<std::string> open = {directory_.substr(0, 3)};
  for (size_t start = 3; start < directory_.size();) {
    const size_t end = std::min(directory_.find('\\', start), directory_.size());
    open.push_back(directory_.substr(start, end - start));
    start = end + 1;
  }
  openCount_ = static_cast<int>(open.size());
  for (const std::string& name : open) {
    SendMessageA(Handle(), LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(name.c_str()));
  }
  for (const std::string& name : Subdirectories(directory_)) {
    SendMessageA(Handle(), LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(name.c_str()));
  }
  SendMessageA(Handle(), LB_SETCURSEL, openCount_ - 1, 0);
  SendMessageA(Handle(), WM_SETREDRAW, TRUE, 0);
  InvalidateRect(Handle(), nullptr, TRUE);
}

int TDirectoryListBox::ItemCount() const {
  return static_cast<int>(SendMessageA(Handle(), LB_GETCOUNT, 0, 0));
}

std::string TDirectoryListBox::ItemText(int index) const {
  return ListBoxItemText(Handle(), index);
}

std::string TDirectoryListBox::ItemPath(int index) const {
  if (index >= openCount_) return WithBackslash(directory_) + ItemText(index);
  std::string path = ItemText(0);
  for (int part = 1; part <= index; ++part) {
    path = WithBackslash(path) + ItemText(part);
  }
  return path;
}

void TDirectoryListBox::OpenItem(int index) {
  if (index < 0 || index >= ItemCount()) return;  // no item there
  SetDirectory(ItemPath(index));
}

void TDirectoryListBox::Command(WORD code) {
  if (code == LBN_DBLCLK) {
    OpenItem(static_cast<int>(SendMessageA(Handle(), LB_GETCURSEL, 0, 0)));
  }
}

LRESULT TDirectoryListBox::WndProc(UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_GETDLGCODE) {  // Enter opens the selected directory
    const auto* keyMessage = reinterpret_cast<const MSG*>(lParam);
    LRESULT code = DefaultProc(message, wParam, lParam);
    if (keyMessage && keyMessage->message == WM_KEYDOWN && keyMessage->wParam == VK_RETURN) {
      code |= DLGC_WANTMESSAGE;
    }
    return code;
  }
  if (message == WM_KEYDOWN && wParam == VK_RETURN) {
    Command(LBN_DBLCLK);
    return 0;
  }
  return TWinControl::WndProc(message, wParam, lParam);
}

void TDirectoryListBox::DrawItem(const DRAWITEMSTRUCT& item) {
  if (item.itemID == static_cast<UINT>(-1)) return;  // an empty list has no item to draw
  const int index = static_cast<int>(item.itemID);
  const bool selected = (item.itemState & ODS_SELECTED) != 0;
  FillRect(item.hDC, &item.rcItem,
           selected ? GetSysColorBrush(COLOR_HIGHLIGHT) : GetSysColorBrush(COLOR_WINDOW));
  SetTextColor(item.hDC, GetSysColor(selected ? COLOR_HIGHLIGHTTEXT : COLOR_WINDOWTEXT));
  SetBkMode(item.hDC, TRANSPARENT);
  const int level = index < openCount_ ? index : openCount_;
  RECT text = item.rcItem;
  text.left += 2 + level * kIndent;
  const std::string name = ItemText(index);
  DrawTextA(item.hDC, name.c_str(), static_cast<int>(name.size()), &text,
            DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX);
  if (item.itemState & ODS_FOCUS) DrawFocusRect(item.hDC, &item.rcItem);
}

TDriveComboBox::TDriveComboBox(TWinControl& parent, int left, int top, int width)
    : TWinControl(&parent) {
  CreateHandle({"COMBOBOX", "", WS_VISIBLE | WS_TABSTOP | WS_VSCROLL | CBS_DROPDOWNLIST, 0,
                RECT{left, top, left + width, top + 200}});
  const DWORD drives = GetLogicalDrives();
  for (int bit = 0; bit < 26; ++bit) {
    if (!(drives & (1u << bit))) continue;
    const std::string name = std::string(1, static_cast<char>('a' + bit)) + ":";
    SendMessageA(Handle(), CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(name.c_str()));
  }
}

void TDriveComboBox::SetDirList(TDirectoryListBox& list) {
  dirList_ = &list;
  list.drives_ = this;
  if (!list.Directory().empty()) SelectDrive(list.Directory()[0]);
}

char TDriveComboBox::Drive() const {
  const LRESULT index = SendMessageA(Handle(), CB_GETCURSEL, 0, 0);
  if (index == CB_ERR) return 0;
  char text[16] = {};
  if (SendMessageA(Handle(), CB_GETLBTEXTLEN, index, 0) >= static_cast<LRESULT>(sizeof text)) {
    return 0;  // not one of our drive names
  }
  SendMessageA(Handle(), CB_GETLBTEXT, index, reinterpret_cast<LPARAM>(text));
  return static_cast<char>(std::tolower(static_cast<unsigned char>(text[0])));
}

void TDriveComboBox::SelectDrive(char letter) {
  const std::string name =
      std::string(1, static_cast<char>(std::tolower(static_cast<unsigned char>(letter)))) + ":";
  const LRESULT index = SendMessageA(Handle(), CB_FINDSTRINGEXACT, static_cast<WPARAM>(-1),
                                     reinterpret_cast<LPARAM>(name.c_str()));
  SendMessageA(Handle(), CB_SETCURSEL, index == CB_ERR ? static_cast<WPARAM>(-1) : index, 0);
}

void TDriveComboBox::Command(WORD code) {
  if (code != CBN_SELCHANGE || !dirList_) return;
  const char letter = Drive();
  if (letter && dirList_->SetDirectory(DriveDirectory(letter))) return;
  // The drive cannot be read: stay on the list's drive.
  if (!dirList_->Directory().empty()) SelectDrive(dirList_->Directory()[0]);
}
