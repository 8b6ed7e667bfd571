// Forms built on the window layer for its tests: one with every kind of control,
// and a small dialog whose handlers the tests steer.
#pragma once

#include "ui/application.h"
#include "ui/controls.h"
#include "ui/directory_list.h"
#include "ui/graphics.h"
#include "ui/label.h"
#include "ui/notebook.h"

#include <atomic>
#include <functional>
#include <string>

extern const char kLongText[];

class TTestForm : public TForm {
 public:
  explicit TTestForm(TFormHost& host, FormBorder border = FormBorder::DialogNoTitleButtons,
                     FormPlacement placement = FormPlacement::ScreenCenter);

  TLabel Label1{*this, 80, 11, "파일"};
  TLabel lbWrap{*this, 80, 30, kLongText};
  TLabel lbTitle{*this, 300, 8, "제목"};
  TLabel lbBottom{*this, 0, 0, "만든 사람들"};
  TButton Button1{*this, 232, 85, 89, 25, "취소"};
  TBevel Bevel1{*this, 10, 8, 54, 52, TBevelShape::Box};
  TImage Image1{*this, 13, 10, 49, 49};
  TBevel Line1{*this, 9, 244, 503, 3, TBevelShape::TopLine};
  TGroupBox GroupBox1{*this, 143, 300, 362, 41, "대상 디렉토리"};
  TLabel lbDir{GroupBox1, 8, 19, "C:\\KORVANE"};
  TButton Button4{GroupBox1, 283, 12, 75, 25, "찾아보기(&B)"};
  TListBox ListBox1{*this, 8, 120, 361, 92};
  TEdit ePath{*this, 380, 120, 205, 20, "C:\\"};
  TProgressBar PB{*this, 80, 50, 449, 17};
  TNotebook Notebook1{*this, 380, 150, 200, 80};
  TPage p1{Notebook1};
  TPage p2{Notebook1};
  TPage p3{Notebook1};
  TLabel lbPage2{p2, 8, 8, "둘째 쪽"};
  TDirectoryListBox DirList{*this, 8, 250, 193, 161};
  TDriveComboBox DriveComboBox1{*this, 220, 250, 193};

  int Clicks = 0;
};

// A dialog with a button whose click runs Action; it counts its handlers.
class TTestDialog : public TForm {
 public:
  explicit TTestDialog(TFormHost& host, const std::string& caption = "대화");

  void FormCreate() override { ++Creates; }
  void FormActivate() override { ++Activations; }
  void FormClose(TCloseAction& action) override;
  void FormDestroy() override;

  TButton Button1{*this, 10, 10, 75, 25, "확인"};
  std::function<void()> Action;
  // Read and written by driver threads too.
  std::atomic<TCloseAction> CloseAction{caHide};
  std::atomic<int> Creates{0};
  std::atomic<int> Activations{0};
  std::atomic<int> Closes{0};
  bool* DestroyedFlag = nullptr;
};
