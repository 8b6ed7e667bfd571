// The small modal dialog in which the user picks another target directory: a
// directory tree with a drive selector and an edit box with the path to take.
#pragma once

#include "ui/controls.h"
#include "ui/directory_list.h"
#include "ui/form.h"
#include "ui/label.h"

#include <optional>
#include <string>

class TfmDir : public TForm {
 public:
  explicit TfmDir(TFormHost& host);

  // Starts the tree at "C:\" and the edit box at currentPath, then shows the dialog
  // modally. The edit box's text byte for byte when the user accepts; nothing when
  // the dialog is cancelled or closed. The caller stores what it gets.
  std::optional<std::string> ChooseDirectory(const std::string& currentPath,
                                             const std::string& productFolder);

  // A directory opened in the tree is proposed with the product's folder appended.
  void DirListChange();
  void Button1Click();  // "선택": accept
  void Button2Click();  // "취소"

  TLabel Label1{*this, 8, 8, "프로그램이 설치될 경로를 선택 하세요."};
  TLabel Label2{*this, 8, 32, "경로"};
  TEdit ePath{*this, 8, 48, 305, 20};
  TLabel Label3{*this, 8, 80, "디렉토리"};
  TDirectoryListBox DirList{*this, 8, 96, 193, 161};
  TDriveComboBox DriveComboBox1{*this, 8, 264, 193};
  TButton Button1{*this, 218, 96, 89, 25, "선택"};
  TButton Button2{*this, 218, 128, 89, 25, "취소"};

 private:
  std::string productFolder_;
  std::optional<std::string> accepted_;
};

extern TfmDir* fmDir;
