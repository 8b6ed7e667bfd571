// A program on the window layer, started and driven from outside like a user.
#include "support/test_support.h"
#include "testing/ui_driver.h"

#include <gtest/gtest.h>

namespace {

namespace ui = ui_driver;

HWND Button(HWND window, const std::string& caption) {
  return ui::FindChild(window, {"Button", caption});
}

TEST(Application, RunsTheMainWindowUntilItClosesThenDestroysTheFormsInReverse) {
  const std::string log = ScratchDir("sample-app") + "events.txt";
  ui::Process app =
      ui::Process::Start("\"" + BuildTreePath("tests/ui/ui_sample_app.exe") + "\" " + log);

  const HWND dialog = ui::WaitForWindow({app.Id(), "TfmSampleDialog", {"표본 대화"}});
  const HWND main = ui::WaitForWindow({app.Id(), "TfmSampleMain", {"표본 배경"}});
  EXPECT_TRUE(IsZoomed(main));
  EXPECT_FALSE(ui::IsEnabled(main));  // the dialog is modal
  // The program's one task-bar button: an unowned window titled as the program,
  // which owns both forms.
  const HWND application = GetWindow(dialog, GW_OWNER);
  EXPECT_EQ(application, GetWindow(main, GW_OWNER));
  EXPECT_EQ("TApplication", ui::ClassNameOf(application));
  EXPECT_EQ("표본", ui::Text(application));
  EXPECT_EQ(nullptr, GetWindow(application, GW_OWNER));
  EXPECT_TRUE(IsWindowVisible(application));
  EXPECT_NO_THROW(ui::FindChild(main, {"Static", std::string("표본 ")}));

  // An exception from a handler: reported in a box captioned with the title.
  ui::Click(Button(dialog, "오류"));
  ui::MessageBoxInfo box = ui::WaitForMessageBox(app.Id());
  EXPECT_EQ("표본 오류", box.Text);
  EXPECT_EQ("표본", box.Caption);
  EXPECT_EQ(application, box.Owner);
  ui::AnswerMessageBox(box, IDOK);
  ui::WaitForWindowGone(box.Window);

  // The silent abort: the handler ran up to it, and no box follows.
  const HWND label = ui::FindChild(dialog, {"Static", std::string("표본")});
  ui::Click(Button(dialog, "중단"));
  ui::WaitUntil([&] { return ui::Text(label) == "중단됨"; }, "the aborted handler");
  ui::Text(label);  // answered from a message loop: any box would exist by now
  EXPECT_FALSE(ui::FindMessageBox(app.Id()).has_value());

  // Closing asks first; No keeps the dialog.
  ui::Click(Button(dialog, "닫기"));
  box = ui::WaitForMessageBox(app.Id());
  EXPECT_EQ("끝낼까요?", box.Text);
  EXPECT_TRUE(box.HasIcon);
  ui::AnswerMessageBox(box, IDNO);
  ui::WaitForWindowGone(box.Window);
  EXPECT_TRUE(ui::IsVisible(dialog));
  EXPECT_TRUE(app.Running());

  // Yes: the dialog's modal run ends, the main window closes and the program ends.
  ui::PostClose(dialog);
  box = ui::WaitForMessageBox(app.Id());
  ui::AnswerMessageBox(box, IDYES);
  EXPECT_EQ(0u, app.WaitForExit());
  EXPECT_EQ("main created\ndialog created\ndialog destroyed\nmain destroyed\n", ReadFileBytes(log));
}

}  // namespace
