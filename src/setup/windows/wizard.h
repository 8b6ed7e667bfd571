// The setup wizard: four pages (welcome, target directory, summary, completion) in
// one fixed dialog with Back, Next and Cancel. Next on the summary page starts the
// install run; the target directory page opens the directory chooser.
#pragma once

#include "ui/controls.h"
#include "ui/form.h"
#include "ui/graphics.h"
#include "ui/label.h"
#include "ui/notebook.h"

#include <functional>
#include <optional>
#include <string>

class TfmWizad : public TForm {
 public:
  explicit TfmWizad(TFormHost& host);

  void FormCreate() override;
  void FormClose(TCloseAction& action) override;

  // Page 1, then shown modally; returns when the wizard has closed.
  void StartWizard();
  // Makes page n (1 to 4) the visible one with its caption and button states.
  void ShowPage(unsigned n);
  void NextPage();
  void PrevPage();

  void Button1Click() { NextPage(); }
  void Button2Click() { PrevPage(); }
  void Button3Click() { Close(); }
  void Button4Click();

  // The install run behind Next on the summary page: true when it reached its end,
  // false when the user cancelled it; any other failure raises the silent abort.
  std::function<bool()> OnRunInstall;
  // The directory chooser behind "찾아보기(&B)": the accepted path, or nothing.
  std::function<std::optional<std::string>()> OnChooseDirectory;

  // The page shown, 1 to 4; changed only by NextPage and PrevPage.
  unsigned CurrentPage = 1;

  TImage Image1{*this, 11, 12, 122, 220};
  TBevel Bevel1{*this, 10, 11, 124, 222, TBevelShape::Box};
  TBevel Bevel2{*this, 9, 244, 503, 3, TBevelShape::TopLine};
  TButton Button2{*this, 252, 260, 75, 25, "< (&B)이전"};
  TButton Button1{*this, 328, 260, 75, 25, "다음(&N) >"};
  TButton Button3{*this, 429, 260, 75, 25, "취소"};
  TNotebook Notebook1{*this, 143, 10, 377, 228};
  TPage p1{Notebook1};
  TPage p2{Notebook1};
  TPage p3{Notebook1};
  TPage p4{Notebook1};

  TLabel lb1{p1, 8, 8, "%s 프로그램을 설치할 설치 마법사 입니다."};
  TLabel Label1{p1, 8, 64, "실행중인 모든 프로그램을 종료하고 실행 하십시오."};
  TLabel Label2{p1, 8, 112, "설치를 하려면 \"다음\"을 종료를 하려면 \"취소\"를 누르세요."};
  TLabel Label3{p1, 8, 152, "경고 : 이 프로그램은 소프트웨어 보호법에 의해 보호를 받고 있습니다."};
  TLabel Label4{p1, 8, 190, "한국 소프트웨어의 발전을 위하여 \"정품\"을 사용 합시다."};

  TLabel lb2{p2, 8, 8, "설치 마법사는 %s을(를) 다음 디렉토리에 설치할 것입니다."};
  TLabel Label5{p2, 8, 64, "이 디렉토리에 설치하려면 \"다음\"을 누르십시오."};
  TLabel Label6{p2, 8, 104,
                "다른 디렉토리에 설치하려면 \"찾아보기\"를 누르고 다른 디렉토리를 선택 하십시오."};
  TGroupBox GroupBox1{p2, 8, 171, 362, 41, "대상 디렉토리"};
  // Made before lbDir so that it lies above a long path.
  TButton Button4{GroupBox1, 283, 12, 75, 25, "찾아보기(&B)"};
  TLabel lbDir{GroupBox1, 8, 19, ""};

  TLabel lb3{p3, 8, 8, "%s 프로그램 설치를 시작 합니다."};
  TLabel Label7{p3, 8, 56, "설치를 하려면 \"다음\"을 종료를 하려면 \"취소\"를 누르세요."};
  TLabel Label8{p3, 8, 96, "[설치 정보]"};
  TListBox ListBox1{p3, 8, 120, 361, 92};

  TLabel Label9{p4, 8, 8, "설치 프로그램이 귀하의 컴퓨터에 파일 복사를 완료 했습니다."};
  TLabel lb4{p4, 8, 96, "%s 프로그램 설치를 완료 했습니다."};
  TLabel Label10{p4, 8, 192, "오늘도 즐거운 하루 되십시오."};

 private:
  void FillSummary();
  // Hides the wizard for the install run and shows it again however the run ends.
  bool RunInstallHidden();
};

extern TfmWizad* fmWizad;
