// Forms and the application object: modal showing, closing, activation, message
// boxes and the exception boundary.
#include "driver_thread.h"
#include "test_forms.h"

#include "testing/ui_driver.h"

#include "win/errors.h"

#include <gtest/gtest.h>

#include <utility>

#include <atomic>
#include <mutex>
#include <stdexcept>
#include <thread>
#include <vector>

namespace {

namespace ui = ui_driver;

// Answers every message box of this process with its first button and keeps what it saw.
class BoxAnswerer {
 public:
  BoxAnswerer()
      : thread_([this] {
          while (!stop_) {
            if (auto box = ui::FindMessageBox(GetCurrentProcessId())) {  // one ready to answer
              {
                std::lock_guard<std::mutex> lock(mutex_);
                seen_.push_back(*box);
              }
              ui::AnswerMessageBox(*box, box->Buttons.at(0).Id);
              ui::WaitForWindowGone(box->Window);
            }
            Sleep(20);
          }
        }) {}
  ~BoxAnswerer() { Stop(); }

  std::vector<ui::MessageBoxInfo> Stop() {
    stop_ = true;
    if (thread_.joinable()) thread_.join();
    std::lock_guard<std::mutex> lock(mutex_);
    return seen_;
  }

 private:
  std::atomic<bool> stop_{false};
  std::mutex mutex_;
  std::vector<ui::MessageBoxInfo> seen_;
  std::thread thread_;
};

class Forms : public ::testing::Test {
 protected:
  void SetUp() override {
    Application.SetTitle("시험 프로그램");
    Application.CreateForm(main);
    Application.CreateForm(dialog);
    main->Show();
    Application.ProcessMessages();
  }
  void TearDown() override { Application.DestroyForms(); }

  TTestForm* main = nullptr;
  TTestDialog* dialog = nullptr;
};

TEST_F(Forms, FormsShowTheProgramsIcon) {
  for (const TForm* form : {static_cast<TForm*>(main), static_cast<TForm*>(dialog)}) {
    for (const auto& [index, metric] :
         {std::pair{GCLP_HICON, SM_CXICON}, std::pair{GCLP_HICONSM, SM_CXSMICON}}) {
      const int size = GetSystemMetrics(metric);
      const HANDLE own = LoadImageA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(1), IMAGE_ICON,
                                    size, size, LR_SHARED);
      ASSERT_NE(nullptr, own);  // this test program carries an icon
      EXPECT_EQ(own, reinterpret_cast<HANDLE>(GetClassLongPtrA(form->Handle(), index)));
    }
  }
}

TEST_F(Forms, FormCreateRunsOnceWhenTheFormIsMade) {
  EXPECT_EQ(1, dialog->Creates);
  EXPECT_EQ(main, Application.MainForm());
  EXPECT_FALSE(dialog->Visible());
}

TEST_F(Forms, ShowModalDisablesTheOtherFormsUntilTheFormHides) {
  dialog->Action = [this] { dialog->Hide(); };
  std::atomic<bool> mainEnabledMeanwhile{true};
  const HWND mainWindow = main->Handle();
  DriverThread driver(
      [&] {
        const HWND shown = ui::WaitForWindow({GetCurrentProcessId(), "TTestDialog", {"대화"}});
        mainEnabledMeanwhile = ui::IsEnabled(mainWindow);
        ui::Click(ui::FindChild(shown, {"Button", std::string("확인")}));
      },
      dialog->Handle());
  dialog->ShowModal();
  EXPECT_EQ("", driver.Finish());
  EXPECT_FALSE(mainEnabledMeanwhile);
  EXPECT_TRUE(ui::IsEnabled(mainWindow));
  EXPECT_FALSE(dialog->Visible());
  EXPECT_FALSE(dialog->Modal());
}

TEST_F(Forms, ACloseRequestFollowsTheCloseAction) {
  dialog->CloseAction = caNone;
  const HWND window = dialog->Handle();
  std::atomic<bool> stayedAfterNone{false};
  DriverThread driver(
      [&] {
        ui::WaitUntil([&] { return ui::IsVisible(window); }, "the dialog");
        ui::PostClose(window);  // the close box
        ui::WaitUntil([&] { return dialog->Closes == 1; }, "FormClose");
        stayedAfterNone = ui::IsVisible(window);
        dialog->CloseAction = caHide;
        ui::PostClose(window);
      },
      window);
  dialog->ShowModal();
  EXPECT_EQ("", driver.Finish());
  EXPECT_TRUE(stayedAfterNone);
  EXPECT_EQ(2, dialog->Closes);
  EXPECT_FALSE(dialog->Visible());
  EXPECT_EQ(main->Handle(), GetActiveWindow());
}

TEST_F(Forms, HidingAndShowingInsideAHandlerKeepsTheModalRunGoing) {
  // As the wizard does around the install run.
  std::atomic<int> runs{0};
  std::atomic<bool> modalReturned{false};
  dialog->Action = [&] {
    dialog->Hide();
    Application.ProcessMessages();
    dialog->Show();
    ++runs;
  };
  const HWND window = dialog->Handle();
  std::atomic<bool> goingOnAfterRun{false};
  DriverThread driver(
      [&] {
        ui::WaitUntil([&] { return ui::IsVisible(window); }, "the dialog");
        ui::Click(ui::FindChild(window, {"Button", std::string("확인")}));
        ui::WaitUntil([&] { return runs == 1; }, "the handler");
        ui::Text(window);  // answered only from a message loop: the modal one, if it goes on
        goingOnAfterRun = ui::IsVisible(window) && !modalReturned;
        ui::PostClose(window);
      },
      window);
  dialog->ShowModal();
  modalReturned = true;
  EXPECT_EQ("", driver.Finish());
  EXPECT_TRUE(goingOnAfterRun);
  EXPECT_EQ(1, dialog->Closes);
}

TEST_F(Forms, ClosingAModelessFormHidesOrFreesIt) {
  dialog->Show();
  dialog->CloseAction = caNone;
  dialog->Close();
  EXPECT_TRUE(dialog->Visible());

  dialog->CloseAction = caHide;
  dialog->Close();
  EXPECT_FALSE(dialog->Visible());

  bool destroyed = false;
  dialog->DestroyedFlag = &destroyed;
  dialog->CloseAction = caFree;
  const HWND window = dialog->Handle();
  dialog->Show();
  dialog->Close();
  EXPECT_FALSE(ui::IsVisible(window));
  Application.ProcessMessages();  // the form is freed from the message loop
  EXPECT_TRUE(destroyed);
  EXPECT_FALSE(IsWindow(window));
}

TEST_F(Forms, FormActivateRunsOncePerActivation) {
  TTestDialog* other = nullptr;
  Application.CreateForm(other);
  dialog->Show();
  Application.ProcessMessages();
  EXPECT_EQ(1, dialog->Activations);

  other->Show();
  Application.ProcessMessages();
  EXPECT_EQ(1, other->Activations);
  EXPECT_EQ(1, dialog->Activations);

  SetActiveWindow(dialog->Handle());
  Application.ProcessMessages();
  SetActiveWindow(dialog->Handle());  // already active: no new activation
  Application.ProcessMessages();
  EXPECT_EQ(2, dialog->Activations);
  EXPECT_EQ(1, other->Activations);

  // An activation noticed only after the form was hidden again is dropped.
  other->Show();
  other->Hide();
  Application.ProcessMessages();
  EXPECT_EQ(1, other->Activations);
}

TEST_F(Forms, ASilentAbortThatLeavesTheModalFormHiddenEndsItsRun) {
  // The wizard hides itself for the install run; an aborted run never shows it
  // again, and the program must not be left with nothing on screen to use.
  dialog->Action = [this] {
    dialog->Hide();
    throw EAbort();
  };
  const HWND window = dialog->Handle();
  BoxAnswerer answerer;
  DriverThread driver(
      [&] {
        ui::WaitUntil([&] { return ui::IsVisible(window); }, "the dialog");
        ui::Click(ui::FindChild(window, {"Button", std::string("확인")}));
      },
      window);
  dialog->ShowModal();
  EXPECT_EQ("", driver.Finish());
  EXPECT_TRUE(answerer.Stop().empty());
  EXPECT_TRUE(ui::IsEnabled(main->Handle()));
}

TEST_F(Forms, ExceptionsFromHandlersEndAtTheWindowBoundary) {
  dialog->Show();
  Application.ProcessMessages();
  auto press = [this] {
    ui::Click(dialog->Button1.Handle());
    Application.ProcessMessages();
  };

  BoxAnswerer answerer;
  int reached = 0;
  dialog->Action = [&] {
    ++reached;
    throw EAbort();
  };
  press();  // the silent abort: no message
  dialog->Action = [&] {
    ++reached;
    throw ERegistryException("Failed to set data for 'LANGDRIVER'");
  };
  press();
  dialog->Action = [&] {
    ++reached;
    throw std::runtime_error("디스크가 가득 찼습니다");
  };
  press();
  dialog->Action = [&] { ++reached; };
  press();  // the form goes on working
  const std::vector<ui::MessageBoxInfo> boxes = answerer.Stop();

  EXPECT_EQ(4, reached);
  ASSERT_EQ(2u, boxes.size());
  EXPECT_EQ("Failed to set data for 'LANGDRIVER'", boxes[0].Text);
  EXPECT_EQ("시험 프로그램", boxes[0].Caption);
  EXPECT_EQ(Application.Window(), boxes[0].Owner);
  EXPECT_TRUE(boxes[0].HasIcon);
  EXPECT_EQ("디스크가 가득 찼습니다", boxes[1].Text);
  EXPECT_TRUE(dialog->Visible());
}

class TFailingForm : public TTestDialog {
 public:
  using TTestDialog::TTestDialog;
  void FormCreate() override { throw Exception("설정 파일이 손상되었습니다"); }
};

TEST_F(Forms, AnExceptionFromFormCreateIsReportedAndTheFormStays) {
  BoxAnswerer answerer;
  TFailingForm* failing = nullptr;
  Application.CreateForm(failing);
  const std::vector<ui::MessageBoxInfo> boxes = answerer.Stop();
  ASSERT_EQ(1u, boxes.size());
  EXPECT_EQ("설정 파일이 손상되었습니다", boxes[0].Text);
  ASSERT_NE(nullptr, failing);
  EXPECT_TRUE(IsWindow(failing->Handle()));
}

TEST_F(Forms, ApplicationMessageBoxIsOwnedByTheApplicationAndModal) {
  dialog->Show();
  Application.ProcessMessages();
  ui::MessageBoxInfo seen;
  std::atomic<bool> mainEnabledMeanwhile{true};
  const HWND mainWindow = main->Handle();
  DriverThread driver(
      [&] {
        seen = ui::WaitForMessageBox(GetCurrentProcessId());
        mainEnabledMeanwhile = ui::IsEnabled(mainWindow);
        ui::AnswerMessageBox(seen, IDNO);
      },
      nullptr);
  const int answer = Application.MessageBox("프로그램 설치를 종료 하시겠습니까?", "종료",
                                            MB_YESNO | MB_DEFBUTTON2 | MB_ICONQUESTION);
  EXPECT_EQ("", driver.Finish());
  EXPECT_EQ(IDNO, answer);
  EXPECT_EQ("종료", seen.Caption);
  EXPECT_EQ("프로그램 설치를 종료 하시겠습니까?", seen.Text);
  EXPECT_EQ(Application.Window(), seen.Owner);
  ASSERT_EQ(2u, seen.Buttons.size());
  EXPECT_EQ(IDYES, seen.Buttons[0].Id);
  EXPECT_EQ(IDNO, seen.Buttons[1].Id);
  EXPECT_FALSE(mainEnabledMeanwhile);
  EXPECT_TRUE(ui::IsEnabled(mainWindow));
  EXPECT_TRUE(ui::IsEnabled(dialog->Handle()));
}

}  // namespace
