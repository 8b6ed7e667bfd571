// The install progress window: its layout, its two archive handlers (the log
// lines, the label, the 16-bit bar) and the log it saves when it is destroyed.
#include "setup/support/install_test_support.h"

#include "rar_writer/rar_writer.h"
#include "support/test_support.h"

#include "setup/install_settings.h"
#include "setup/support/setup_globals.h"
#include "setup/windows/progress_window.h"
#include "ui/application.h"
#include "win/file_system.h"
#include "win/gdi_scopes.h"

#include <gtest/gtest.h>

#include <cstring>
#include <memory>

namespace {

RARHeaderData Header(const std::string& name, unsigned size) {
  RARHeaderData header = {};
  std::strncpy(header.FileName, name.c_str(), sizeof header.FileName);
  header.UnpSize = size;
  return header;
}

bool SameBounds(const RECT& a, int left, int top, int width, int height) {
  return a.left == left && a.top == top && a.right - a.left == width && a.bottom - a.top == height;
}

class ProgressWindow : public ::testing::Test {
 protected:
  SetupGlobalsScope globals;

  void SetUp() override {
    InstallDone = true;  // FormCreate clears it
    form = std::make_unique<TfmInstall>(Application);
    form->FormCreate();
  }

  const std::vector<std::string>& Lines() const { return form->InstallLog->Lines(); }

  std::unique_ptr<TfmInstall> form;
};

}  // namespace

TEST_F(ProgressWindow, IsTheSmallDialogOfTheTableWithItsComponents) {
  EXPECT_FALSE(InstallDone);
  ASSERT_NE(nullptr, form->InstallLog);
  EXPECT_TRUE(Lines().empty());
  EXPECT_FALSE(form->Visible());

  const RECT client = form->ClientRect();
  EXPECT_EQ(544, client.right);
  EXPECT_EQ(125, client.bottom);
  EXPECT_EQ("설치", form->Caption());
  const LONG style = GetWindowLongA(form->Handle(), GWL_STYLE);
  EXPECT_TRUE(style & WS_CAPTION);
  EXPECT_FALSE(style & (WS_SYSMENU | WS_MINIMIZEBOX | WS_MAXIMIZEBOX));
  const RECT outer = form->BoundsRect();
  EXPECT_NEAR(GetSystemMetrics(SM_CXSCREEN) / 2, (outer.left + outer.right) / 2, 1);
  EXPECT_NEAR(GetSystemMetrics(SM_CYSCREEN) / 2, (outer.top + outer.bottom) / 2, 1);

  EXPECT_TRUE(SameBounds(form->Image1.BoundsRect(), 13, 10, 49, 49));
  EXPECT_TRUE(SameBounds(form->Bevel1.BoundsRect(), 10, 8, 54, 52));
  EXPECT_TRUE(SameBounds(form->Button1.BoundsRect(), 232, 85, 89, 25));
  EXPECT_TRUE(SameBounds(form->PB.BoundsRect(), 80, 50, 449, 17));
  EXPECT_EQ(80, form->Label1.BoundsRect().left);
  EXPECT_EQ(11, form->Label1.BoundsRect().top);
  EXPECT_EQ(80, form->lbFile.BoundsRect().left);
  EXPECT_EQ(30, form->lbFile.BoundsRect().top);
  EXPECT_EQ("파일", form->Label1.Text());
  EXPECT_EQ("취소", form->Button1.Text());
  EXPECT_EQ("굴림체", form->lbFile.Font().Name);
  EXPECT_EQ(12, form->lbFile.Font().Height);
  EXPECT_EQ(100, form->PB.Max());
  EXPECT_EQ(0, form->PB.Position());

  BITMAP picture = {};
  ASSERT_NE(nullptr, form->Image1.Bitmap());
  GetObjectA(form->Image1.Bitmap(), sizeof picture, &picture);
  EXPECT_EQ(48, picture.bmWidth);
  EXPECT_EQ(48, picture.bmHeight);
  EXPECT_EQ(4, picture.bmBitsPixel);

  EXPECT_FALSE(form->RAR1.FailifExists);
  EXPECT_EQ(form->Handle(), form->FOP.OwnerWindow);
  EXPECT_EQ(fopRename, form->FOP.Operation);
  EXPECT_EQ(0x2D8, form->FOP.Options);
}

TEST_F(ProgressWindow, ActivationClearsTheLabelAndTheBar) {
  form->lbFile.SetText("C:\\KORVANE\\OLD.TXT");
  form->PB.SetPosition(40);
  form->Show();
  ui_driver::WaitUntil(
      [&] {
        Application.ProcessMessages();
        return form->lbFile.Text().empty();
      },
      "the activation");
  EXPECT_EQ(0, form->PB.Position());
  form->Hide();
}

// A second run after a cancel shows the window again inside the install engine,
// which processes no messages: it starts empty all the same.
TEST_F(ProgressWindow, ShownForASecondRunItStartsEmpty) {
  const std::string dir = ScratchDir("progress-twice");
  WriteArchive(dir + "ONE.RAR", {{"ONE.TXT", "one"}});
  for (int run = 0; run < 2; ++run) {
    form->ShowProgress();
    EXPECT_EQ("", form->lbFile.Text()) << "run " << run;
    EXPECT_EQ(0, form->PB.Position()) << "run " << run;
    EXPECT_TRUE(form->Extract(dir + "ONE.RAR", dir + "OUT", false));
    EXPECT_EQ(dir + "OUT\\ONE.TXT", form->lbFile.Text());
    EXPECT_EQ(3, form->PB.Position());
    form->HideProgress();
  }
}

// Cancel asks only when the run can be undone ([APP] UNINSTALLALL=YES); the next run
// starts uncancelled, and the undoing is shown in the label.
TEST_F(ProgressWindow, CancelStopsOnlyARunThatCanBeUndone) {
  form->ShowProgress();
  form->Button1.Click();  // no box: a box would wait for an answer
  EXPECT_FALSE(form->CancelRequested());
  InstallSettings.UninstallAll = "yes";
  form->RAR1.TargetDir = "C:\\KORVANE";
  form->RAR1Extracting(form->RAR1, Header("BIG.DAT", 1 << 20));
  form->ShowProgressNow();
  {  // No: the run goes on, showing what it showed
    BoxAnswers answers({IDNO});
    form->Button1.Click();
    ASSERT_EQ("", answers.Finish());
    Application.ProcessMessages();
    EXPECT_EQ("C:\\KORVANE\\BIG.DAT", form->lbFile.Text());
    EXPECT_FALSE(form->CancelRequested());
  }
  {
    BoxAnswers answers({IDYES});
    form->Button1.Click();
    ASSERT_EQ("", answers.Finish());
    ASSERT_EQ(1u, answers.Boxes().size());
    EXPECT_EQ("설치를 취소하시겠습니까?", answers.Boxes()[0].Text);
  }
  EXPECT_TRUE(form->CancelRequested());
  EXPECT_TRUE(form->Progress().CancelRequested());
  form->ShowUndoing();
  EXPECT_EQ("설치를 취소하고 있습니다...", form->lbFile.Text());
  form->HideProgress();
  form->ShowProgress();
  EXPECT_FALSE(form->CancelRequested());
  form->HideProgress();
}

TEST_F(ProgressWindow, EachEntryIsLoggedAndShownWhereTheLibraryWritesIt) {
  form->RAR1.TargetDir = "C:\\KORVANE";
  form->RAR1Extracting(form->RAR1, Header("PROG.EXE", 10));
  form->RAR1Extracting(form->RAR1, Header("DATA\\A.DBF", 10));
  form->ShowProgressNow();
  EXPECT_EQ("C:\\KORVANE\\DATA\\A.DBF", form->lbFile.Text());
  // Names that reach outside the target are named as the library makes them safe.
  form->RAR1Extracting(form->RAR1, Header("..\\..\\WINDOWS\\WIN.INI", 10));
  form->RAR1Extracting(form->RAR1, Header("C:\\AUTOEXEC.BAT", 10));
  form->RAR1Extracting(form->RAR1, Header("/ETC/PASSWD", 10));
  form->ShowProgressNow();
  EXPECT_EQ("C:\\KORVANE\\ETC\\PASSWD", form->lbFile.Text());
  NoFileLog = true;
  form->RAR1Extracting(form->RAR1, Header("SHARED.DLL", 10));
  form->ShowProgressNow();
  EXPECT_EQ("C:\\KORVANE\\SHARED.DLL", form->lbFile.Text());
  NoFileLog = false;

  RARHeaderData full = Header("", 1);
  std::memset(full.FileName, 'A', sizeof full.FileName);  // no terminating zero
  form->RAR1Extracting(form->RAR1, full);

  EXPECT_EQ((std::vector<std::string>{
                "FILE:C:\\KORVANE\\PROG.EXE", "FILE:C:\\KORVANE\\DATA\\A.DBF",
                "FILE:C:\\KORVANE\\WINDOWS\\WIN.INI", "FILE:C:\\KORVANE\\AUTOEXEC.BAT",
                "FILE:C:\\KORVANE\\ETC\\PASSWD", "FILE:C:\\KORVANE\\" + std::string(260, 'A')}),
            Lines());
}

TEST_F(ProgressWindow, TheBarShowsTheWrittenFractionOfEntriesBeyondItsRange) {
  form->PB.SetPosition(70);
  form->RAR1Extracting(form->RAR1, Header("BIG.BIN", 200000));
  form->ShowProgressNow();
  EXPECT_EQ(50000, form->PB.Max());
  EXPECT_EQ(0, form->PB.Position());
  EXPECT_NE(0, form->RAR1ProcessData(form->RAR1, nullptr, 65536, 65536));
  form->ShowProgressNow();
  EXPECT_EQ(16384, form->PB.Position());
  form->RAR1ProcessData(form->RAR1, nullptr, 65536, 200000);
  form->ShowProgressNow();
  EXPECT_EQ(form->PB.Max(), form->PB.Position());

  // The largest size the header can hold; the position arrives as a signed value.
  form->RAR1Extracting(form->RAR1, Header("HUGE.BIN", 0xFFFFFFFFu));
  form->ShowProgressNow();
  EXPECT_EQ(65535, form->PB.Max());
  form->RAR1ProcessData(form->RAR1, nullptr, 65536, static_cast<int>(0x80000000u));
  form->ShowProgressNow();
  EXPECT_EQ(32768, form->PB.Position());
  form->RAR1ProcessData(form->RAR1, nullptr, 65536, -1);
  form->ShowProgressNow();
  EXPECT_EQ(65535, form->PB.Position());

  form->RAR1Extracting(form->RAR1, Header("SMALL.TXT", 1000));
  form->ShowProgressNow();
  EXPECT_EQ(1000, form->PB.Max());
  EXPECT_EQ(0, form->PB.Position());
  form->RAR1ProcessData(form->RAR1, nullptr, 1000, 1000);
  form->ShowProgressNow();
  EXPECT_EQ(1000, form->PB.Position());
  form->RAR1Extracting(form->RAR1, Header("EMPTY.TXT", 0));
  form->ShowProgressNow();
  EXPECT_EQ(0, form->PB.Max());
  EXPECT_EQ(0, form->PB.Position());
}

TEST_F(ProgressWindow, ALargeEntryMovesTheBarFromZeroToItsMaximum) {
  const std::string dir = ScratchDir("progress-large");
  WriteArchive(dir + "LARGE.RAR", {{"LARGE.BIN", PatternBytes(300000)}});
  std::vector<int> positions;
  form->RAR1.OnExtracting = [&](TRAR& sender, const RARHeaderData& header) {
    form->RAR1Extracting(sender, header);
    form->ShowProgressNow();
    positions.push_back(form->PB.Position());
  };
  form->RAR1.OnProcessData = [&](TRAR& sender, unsigned char* addr, int size, int position) {
    const int result = form->RAR1ProcessData(sender, addr, size, position);
    form->ShowProgressNow();
    positions.push_back(form->PB.Position());
    return result;
  };
  EXPECT_TRUE(form->Extract(dir + "LARGE.RAR", dir + "OUT", false));
  EXPECT_EQ(PatternBytes(300000), ReadFileBytes(dir + "OUT\\LARGE.BIN"));
  EXPECT_EQ(300000 >> 3, form->PB.Max());
  ASSERT_GE(positions.size(), 3u);
  EXPECT_EQ(0, positions.front());
  EXPECT_EQ(form->PB.Max(), positions.back());
  for (std::size_t i = 1; i < positions.size(); ++i) EXPECT_LT(positions[i - 1], positions[i]);
  EXPECT_EQ(std::vector<std::string>{"FILE:" + dir + "OUT\\LARGE.BIN"}, Lines());
}

TEST_F(ProgressWindow, AfterAnExtractionTheWindowShowsItsLastEntry) {
  const std::string dir = ScratchDir("progress-last");
  std::vector<std::pair<std::string, std::string>> entries;
  for (int i = 0; i < 200; ++i) entries.push_back({"F" + std::to_string(i) + ".TXT", "data"});
  entries.push_back({"LAST.TXT", "the end"});
  WriteArchive(dir + "MANY.RAR", entries);
  form->Show();
  Application.ProcessMessages();
  WindowDC barDC(form->PB.Handle());
  const COLORREF empty = GetPixel(barDC.Get(), 440, 8);
  EXPECT_TRUE(form->Extract(dir + "MANY.RAR", dir + "OUT", false));
  EXPECT_EQ(dir + "OUT\\LAST.TXT", form->lbFile.Text());
  EXPECT_EQ(7, form->PB.Max());
  EXPECT_EQ(7, form->PB.Position());
  // On screen at once, however recent the last repaint: the full bar.
  EXPECT_NE(empty, GetPixel(barDC.Get(), 440, 8));
  EXPECT_EQ(201u, Lines().size());
  form->Hide();
}

TEST_F(ProgressWindow, AnUnfinishedRunLeavesAnEarlierLogInPlace) {
  const std::string dir = ScratchDir("progress-unfinished");
  InstallSettings.InstallDir = dir.substr(0, dir.size() - 1);
  WriteFileBytes(dir + "INSTALL.LOG", "FILE:C:\\EARLIER\\A.TXT\r\n");
  form->InstallLog->Add("FILE:C:\\NOW\\B.TXT");
  InstallDone = false;
  form->FormDestroy();
  EXPECT_EQ("FILE:C:\\EARLIER\\A.TXT\r\n", ReadFileBytes(dir + "INSTALL.LOG"));
  EXPECT_EQ(nullptr, form->InstallLog);
}

TEST_F(ProgressWindow, ACompletedRunSavesTheLogEndingWithItsOwnNameAndTheLockFile) {
  const std::string dir = ScratchDir("progress-completed");
  InstallSettings.InstallDir = dir.substr(0, dir.size() - 1);
  WriteFileBytes(dir + "INSTALL.LOG", "an earlier log, longer than the new one will be\r\n");
  form->InstallLog->Add("DIR:C:\\A");
  InstallDone = true;
  form->FormDestroy();
  EXPECT_EQ("DIR:C:\\A\r\nFILE:" + dir + "INSTALL.LOG\r\nFILE:" + dir + "Korvane.lck\r\n",
            ReadFileBytes(dir + "INSTALL.LOG"));
}

// A tracked run saves its log before its undo record goes: not again when the window goes.
TEST_F(ProgressWindow, ALogSavedDuringTheRunIsNotWrittenAgain) {
  const std::string dir = ScratchDir("progress-saved-once");
  InstallSettings.InstallDir = dir.substr(0, dir.size() - 1);
  form->InstallLog->Add("DIR:C:\\A");
  InstallDone = true;
  EXPECT_TRUE(form->Progress().SaveInstallLog());
  WriteFileBytes(dir + "INSTALL.LOG", "changed since");
  form->FormDestroy();
  EXPECT_EQ("changed since", ReadFileBytes(dir + "INSTALL.LOG"));
}

TEST_F(ProgressWindow, ALogThatCannotBeSavedIsReportedInsteadOfLost) {
  ScratchDir("progress-unsaved");
  InstallSettings.InstallDir = "C:\\kit-tests\\progress-unsaved\\never made";
  InstallDone = true;
  BoxAnswers answers({IDOK});
  form->FormDestroy();
  ASSERT_EQ("", answers.Finish());
  ASSERT_EQ(1u, answers.Boxes().size());
  const ui_driver::MessageBoxInfo& box = answers.Boxes()[0];
  EXPECT_EQ("오류", box.Caption);
  EXPECT_EQ("C:\\kit-tests\\progress-unsaved\\never made\\INSTALL.LOG 파일을 저장할 수 없습니다.",
            box.Text);
  ASSERT_EQ(1u, box.Buttons.size());
  EXPECT_EQ(IDOK, box.Buttons[0].Id);
  EXPECT_EQ(LoadIcon(nullptr, IDI_HAND), answers.Icons()[0]);
  EXPECT_EQ(nullptr, form->InstallLog);
  EXPECT_FALSE(DirectoryExists(InstallSettings.InstallDir));
}
