// The wizard driven like a user through setup's start-up: pages, texts, buttons,
// the exit confirmation and what follows each outcome of the install run.
#include "setup/support/setup_session.h"

#include "support/test_support.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

namespace {

namespace ui = ui_driver;

const ButtonLook kBackDisabled = {true, false, "< (&B)이전"};
const ButtonLook kBackEnabled = {true, true, "< (&B)이전"};
const ButtonLook kNext = {true, true, "다음(&N) >"};
const ButtonLook kCancel = {true, true, "취소"};

size_t Lines(const std::string& text) { return std::count(text.begin(), text.end(), '\n'); }

void ExpectButtons(const SetupSession& setup, const ButtonLook& back) {
  EXPECT_EQ(back, LookOf(setup.Back()));
  EXPECT_EQ(kNext, LookOf(setup.Next()));
  EXPECT_EQ(kCancel, LookOf(setup.Cancel()));
}

void ExpectCompletionPage(const SetupSession& setup) {
  EXPECT_EQ(kCompleted, setup.Caption());
  EXPECT_FALSE(ui::IsVisible(setup.Back()));
  EXPECT_FALSE(ui::IsVisible(setup.Next()));
  EXPECT_EQ((ButtonLook{true, true, "확인"}), LookOf(setup.Cancel()));
  ui::WaitUntil([&] { return ui::HasFocus(setup.Cancel()); }, "the focus on \"확인\"");
}

TEST(Wizard, PagesShowTheirTextsAndButtonsAndOnlyTheSummaryPageInstalls) {
  SetupSession setup("wizard-pages", kPelmoraScript);
  EXPECT_FALSE(ui::IsEnabled(setup.Background()));  // the wizard is modal
  // The task-bar button: one visible, unowned window titled "설치 마법사", which owns
  // the forms; no form has a button of its own.
  const HWND application = setup.ApplicationWindow();
  EXPECT_EQ("설치 마법사", ui::Text(application));
  EXPECT_EQ(nullptr, GetWindow(application, GW_OWNER));
  EXPECT_EQ(application, GetWindow(setup.Background(), GW_OWNER));
  std::vector<HWND> unowned;
  for (HWND window : ui::FindWindows({setup.Id(), "", std::nullopt, true})) {
    if (!GetWindow(window, GW_OWNER)) unowned.push_back(window);
    EXPECT_FALSE(GetWindowLongA(window, GWL_EXSTYLE) & WS_EX_APPWINDOW);
  }
  EXPECT_EQ(std::vector<HWND>{application}, unowned);
  const RECT client = ui::ClientRect(setup.Wizard());
  EXPECT_EQ(524, client.right);
  EXPECT_EQ(298, client.bottom);
  const RECT outer = ui::Bounds(setup.Wizard());
  EXPECT_NEAR(GetSystemMetrics(SM_CXSCREEN) / 2, (outer.left + outer.right) / 2, 1);
  EXPECT_NEAR(GetSystemMetrics(SM_CYSCREEN) / 2, (outer.top + outer.bottom) / 2, 1);
  const LONG style = GetWindowLongA(setup.Wizard(), GWL_STYLE);
  EXPECT_TRUE(style & WS_SYSMENU);
  EXPECT_FALSE(style & (WS_THICKFRAME | WS_MINIMIZEBOX | WS_MAXIMIZEBOX));

  EXPECT_EQ(kWelcome, setup.Caption());
  ExpectButtons(setup, kBackDisabled);
  EXPECT_EQ((std::vector<std::string>{
                "펠모라 1.0 프로그램을 설치할 설치 마법사 입니다.",
                "실행중인 모든 프로그램을 종료하고 실행 하십시오.",
                "설치를 하려면 \"다음\"을 종료를 하려면 \"취소\"를 누르세요.",
                "경고 : 이 프로그램은 소프트웨어 보호법에 의해 보호를 받고 있습니다.",
                "한국 소프트웨어의 발전을 위하여 \"정품\"을 사용 합시다."}),
            setup.VisibleTexts());

  setup.PressAndWaitFor(setup.Next(), kTargetDirectory);
  ExpectButtons(setup, kBackEnabled);
  EXPECT_EQ((std::vector<std::string>{
                "설치 마법사는 펠모라 1.0을(를) 다음 디렉토리에 설치할 것입니다.",
                "이 디렉토리에 설치하려면 \"다음\"을 누르십시오.",
                "다른 디렉토리에 설치하려면 \"찾아보기\"를 누르고 다른 디렉토리를 선택 하십시오.",
                "C:\\KORVANE"}),
            setup.VisibleTexts());

  setup.PressAndWaitFor(setup.Next(), kSummary);
  ExpectButtons(setup, kBackEnabled);
  EXPECT_EQ((std::vector<std::string>{"펠모라 1.0 프로그램 설치를 시작 합니다.",
                                      "설치를 하려면 \"다음\"을 종료를 하려면 \"취소\"를 누르세요.",
                                      "[설치 정보]"}),
            setup.VisibleTexts());
  EXPECT_EQ((std::vector<std::string>{"작업 디렉토리 :", "     " + setup.Dir(), "     ",
                                      "설치 디렉토리 :", "     C:\\KORVANE"}),
            setup.Summary());
  EXPECT_EQ("", setup.InstallRuns());  // Next on page 2 does not install

  // Back goes down to page 1 and no further.
  setup.PressAndWaitFor(setup.Back(), kTargetDirectory);
  ExpectButtons(setup, kBackEnabled);
  setup.PressAndWaitFor(setup.Back(), kWelcome);
  ExpectButtons(setup, kBackDisabled);
  ui::Click(setup.Back());                    // disabled: nothing happens
  ui::PostCommand(setup.Back(), BN_CLICKED);  // even behind a disabled button
  setup.PressAndWaitFor(setup.Next(), kTargetDirectory);
  setup.PressAndWaitFor(setup.Back(), kWelcome);

  setup.GoTo(kSummary);
  setup.PressAndWaitFor(setup.Next(), kCompleted);
  ExpectCompletionPage(setup);
  EXPECT_EQ((std::vector<std::string>{"설치 프로그램이 귀하의 컴퓨터에 파일 복사를 완료 했습니다.",
                                      "펠모라 1.0 프로그램 설치를 완료 했습니다.",
                                      "오늘도 즐거운 하루 되십시오."}),
            setup.VisibleTexts());
  // One run, with the wizard hidden and the date settings of start-up in force.
  EXPECT_EQ("hidden YYYY-MM-DD [C:\\KORVANE]\n", setup.InstallRuns());

  ui::Click(setup.Cancel());  // "확인": ends the program without a question
  EXPECT_EQ(0u, setup.Program().WaitForExit());
}

TEST(Wizard, CancelAsksOnPagesOneToThreeAndNoKeepsThePage) {
  SetupSession setup("wizard-cancel", kPelmoraScript);
  for (const char* page : {kWelcome, kTargetDirectory, kSummary}) {
    setup.GoTo(page);
    const ButtonLook back = LookOf(setup.Back());
    // Cancel and the close box ask the same question.
    for (bool closeBox : {false, true}) {
      if (closeBox) {
        ui::PostClose(setup.Wizard());
      } else {
        ui::Click(setup.Cancel());
      }
      const ui::MessageBoxInfo box = ExpectExitConfirmation(setup.Id(), setup.ApplicationWindow());
      ui::AnswerMessageBox(box, IDNO);
      ui::WaitForWindowGone(box.Window);
      EXPECT_EQ(page, setup.Caption());
      EXPECT_TRUE(ui::IsVisible(setup.Wizard()));
      EXPECT_EQ(back, LookOf(setup.Back()));
      EXPECT_EQ(kNext, LookOf(setup.Next()));
      EXPECT_EQ(kCancel, LookOf(setup.Cancel()));
    }
  }
  // Yes on the summary page: the program ends without installing.
  ui::Click(setup.Cancel());
  ui::AnswerMessageBox(ExpectExitConfirmation(setup.Id(), setup.ApplicationWindow()), IDYES);
  EXPECT_EQ(0u, setup.Program().WaitForExit());
  EXPECT_EQ("", setup.InstallRuns());
}

TEST(Wizard, YesOnTheWelcomePageEndsTheProgram) {
  SetupSession setup("wizard-leave", kPelmoraScript);
  ui::PostClose(setup.Wizard());
  ui::AnswerMessageBox(ExpectExitConfirmation(setup.Id(), setup.ApplicationWindow()), IDYES);
  EXPECT_EQ(0u, setup.Program().WaitForExit());
  EXPECT_EQ("", setup.InstallRuns());
}

TEST(Wizard, TheCompletionPageClosesWithoutAQuestion) {
  {
    SetupSession setup("wizard-close-box", kPelmoraScript);
    setup.GoTo(kSummary);
    setup.PressAndWaitFor(setup.Next(), kCompleted);
    ui::PostClose(setup.Wizard());
    EXPECT_EQ(0u, setup.Program().WaitForExit());
  }
  {
    SetupSession setup("wizard-alt-f4", kPelmoraScript);
    setup.GoTo(kSummary);
    setup.PressAndWaitFor(setup.Next(), kCompleted);
    PostMessageA(setup.Wizard(), WM_SYSCOMMAND, SC_CLOSE, 0);  // Alt+F4
    EXPECT_EQ(0u, setup.Program().WaitForExit());
  }
}

TEST(Wizard, OnlyACompletedInstallLeadsToTheCompletionPage) {
  SetupSession setup("wizard-outcomes", kPelmoraScript, "false\nabort\ntrue\n");
  setup.GoTo(kSummary);
  // Cancelled at the disk prompt, then the silent abort: each time the wizard is
  // back on the summary page, visible and usable, without a message.
  for (int run = 1; run <= 2; ++run) {
    ui::Click(setup.Next());
    ui::WaitUntil([&] { return Lines(setup.InstallRuns()) == static_cast<size_t>(run); },
                  "the install run");
    ui::WaitUntil([&] { return ui::IsVisible(setup.Wizard()); }, "the wizard back");
    EXPECT_EQ(kSummary, setup.Caption());
    ExpectButtons(setup, kBackEnabled);
    EXPECT_TRUE(ui::IsEnabled(setup.Wizard()));
    EXPECT_FALSE(ui::FindMessageBox(setup.Id()).has_value());
  }
  // The user tries again and the run completes.
  setup.PressAndWaitFor(setup.Next(), kCompleted);
  ExpectCompletionPage(setup);
  EXPECT_EQ(
      "hidden YYYY-MM-DD [C:\\KORVANE]\nhidden YYYY-MM-DD [C:\\KORVANE]\n"
      "hidden YYYY-MM-DD [C:\\KORVANE]\n",
      setup.InstallRuns());
  ui::Click(setup.Cancel());
  EXPECT_EQ(0u, setup.Program().WaitForExit());
}

TEST(Wizard, AnyOtherFailureOfTheInstallIsReportedUnderTheProgramsTitle) {
  SetupSession setup("wizard-error", kPelmoraScript, "error\n");
  setup.GoTo(kSummary);
  ui::Click(setup.Next());
  const ui::MessageBoxInfo box = ui::WaitForMessageBox(setup.Id());
  EXPECT_EQ("설치 마법사", box.Caption);
  EXPECT_EQ("대체 설치 실패", box.Text);
  ui::AnswerMessageBox(box, IDOK);
  ui::WaitForWindowGone(box.Window);
  EXPECT_TRUE(ui::IsVisible(setup.Wizard()));
  EXPECT_EQ(kSummary, setup.Caption());
  ui::PostClose(setup.Wizard());
  ui::AnswerMessageBox(ExpectExitConfirmation(setup.Id(), setup.ApplicationWindow()), IDYES);
  EXPECT_EQ(0u, setup.Program().WaitForExit());
}

TEST(Wizard, AfterAnAbortedInstallTheUserMayLeave) {
  SetupSession setup("wizard-abort-leave", kPelmoraScript, "abort\n");
  setup.GoTo(kSummary);
  ui::Click(setup.Next());
  ui::WaitUntil([&] { return !setup.InstallRuns().empty(); }, "the install run");
  ui::WaitUntil([&] { return ui::IsVisible(setup.Wizard()); }, "the wizard back");
  EXPECT_EQ(kSummary, setup.Caption());
  ui::Click(setup.Cancel());
  ui::AnswerMessageBox(ExpectExitConfirmation(setup.Id(), setup.ApplicationWindow()), IDYES);
  EXPECT_EQ(0u, setup.Program().WaitForExit());
}

// The labels that wrap keep the rectangle of their page however long the product's
// title: a long one is cut off at the bottom, never drawn over the label below.
TEST(Wizard, WrappingLabelsKeepTheirRectangleWhateverTheTitle) {
  struct Wrapping {
    const char* Page;
    RECT Bounds;  // in the page
  };
  const Wrapping kWrapping[] = {
      {kWelcome, {8, 8, 361, 64}},          {kWelcome, {8, 152, 361, 190}},
      {kTargetDirectory, {8, 8, 361, 64}},  {kTargetDirectory, {8, 104, 361, 171}},
      {kSummary, {8, 8, 361, 56}},          {kCompleted, {8, 96, 369, 192}},
  };
  std::string longName;
  for (int i = 0; i < 30; ++i) longName += "아주 긴 이름 ";
  for (const std::string& name : {std::string("펠모라"), longName}) {
    SetupSession setup("wizard-wrap",
                       "[APP]\r\nNAME=" + name + "\r\nVERSION=1.0\r\nINSTALLDIR=C:\\X\r\n");
    for (const Wrapping& label : kWrapping) {
      if (setup.Caption() != label.Page) {
        setup.PressAndWaitFor(setup.Next(), label.Page);
      }
      std::vector<RECT> shown;
      for (HWND child : ui::FindChildren(setup.Wizard(), {"Static", std::nullopt, 0, true})) {
        const HWND notebook = ui::FindChild(setup.Wizard(), {"KitPanel", std::nullopt});
        if (GetParent(GetParent(child)) != notebook) continue;  // on a page, not in a box
        shown.push_back(ui::Bounds(child));
      }
      EXPECT_NE(shown.end(), std::find(shown.begin(), shown.end(), label.Bounds))
          << label.Page << " at " << label.Bounds.top << ", title of " << name.size() << " bytes";
      for (const RECT& a : shown) {  // no label reaches into another
        for (const RECT& b : shown) {
          RECT both;
          EXPECT_TRUE(&a == &b || !IntersectRect(&both, &a, &b)) << label.Page;
        }
      }
    }
    ui::Click(setup.Cancel());
    EXPECT_EQ(0u, setup.Program().WaitForExit());
  }
}

TEST(Wizard, AnEmptyProductTitleLeavesItsPlaceEmpty) {
  SetupSession setup("wizard-no-script", std::nullopt);  // no SETUP.INI at all
  EXPECT_EQ(" 설치마법사", ui::Text(setup.Background()));
  EXPECT_EQ(" 프로그램을 설치할 설치 마법사 입니다.", setup.VisibleTexts().at(0));
  setup.GoTo(kTargetDirectory);
  EXPECT_EQ("설치 마법사는 을(를) 다음 디렉토리에 설치할 것입니다.", setup.VisibleTexts().at(0));
  EXPECT_EQ("", setup.DirectoryLabel());
  setup.GoTo(kSummary);
  EXPECT_EQ(" 프로그램 설치를 시작 합니다.", setup.VisibleTexts().at(0));
  EXPECT_EQ((std::vector<std::string>{"작업 디렉토리 :", "     " + setup.Dir(), "     ",
                                      "설치 디렉토리 :", "     "}),
            setup.Summary());
  setup.PressAndWaitFor(setup.Next(), kCompleted);
  EXPECT_EQ(" 프로그램 설치를 완료 했습니다.", setup.VisibleTexts().at(1));
  EXPECT_EQ("hidden YYYY-MM-DD []\n", setup.InstallRuns());
  ui::Click(setup.Cancel());
  EXPECT_EQ(0u, setup.Program().WaitForExit());
}

}  // namespace
