#include "setup/support/setup_session.h"

#include "support/test_support.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <stdexcept>

namespace ui = ui_driver;

const char kPelmoraScript[] =
    "[APP]\r\n"
    "NAME=펠모라\r\n"
    "VERSION=1.0\r\n"
    "COMPANY=Korvane\r\n"
    "INSTALLDIR=C:\\KORVANE\r\n"
    "FOLDER=Pelmora\r\n"
    "TITLE=펠모라 1.0 설치\r\n"
    "UNINSTALL=Remove\r\n"
    "[FILES]\r\n"
    "FILE1=PROG.RAR,<INSTALLDIR>\r\n";

const char kWelcome[] = "환영";
const char kTargetDirectory[] = "설치 경로";
const char kSummary[] = "설치 시작";
const char kCompleted[] = "설치 완료";

namespace {

// The host as SETUP.EXE in a fresh folder with what the case gives it; the folder.
std::string PrepareHost(const std::string& name, const std::optional<std::string>& script,
                        const std::string& outcomes) {
  const std::string dir = ScratchDir(name);
  const std::string program = dir + "SETUP.EXE";
  if (!CopyFileA(BuildTreePath("tests/setup/windows/setup_wizard_host.exe").c_str(),
                 program.c_str(), FALSE)) {
    throw std::runtime_error("cannot copy the host to " + program);
  }
  if (script) WriteFileBytes(dir + "SETUP.INI", *script);
  if (!outcomes.empty()) WriteFileBytes(dir + "install-outcomes.txt", outcomes);
  return dir;
}

}  // namespace

SetupSession::SetupSession(const std::string& name, const std::optional<std::string>& script,
                           const std::string& outcomes)
    : SetupSession(PrepareHost(name, script, outcomes)) {}

SetupSession::SetupSession(const std::string& dir, const CommandArguments& arguments)
    : dir_(dir),
      process_(ui::Process::Start(
          "\"" + dir + "SETUP.EXE\"" + (arguments.Text.empty() ? "" : " " + arguments.Text), dir)) {
  wizard_ = ui::WaitForWindow({Id(), "TfmWizad", {kWelcome}});
  background_ = ui::WaitForWindow({Id(), "TfmBackGround", {}});
  back_ = ui::FindChild(wizard_, {"Button", std::string("< (&B)이전")});
  next_ = ui::FindChild(wizard_, {"Button", std::string("다음(&N) >")});
  cancel_ = ui::FindChild(wizard_, {"Button", std::string("취소")});
}

std::string SetupSession::Caption() const { return ui::Text(wizard_); }

void SetupSession::PressAndWaitFor(HWND button, const std::string& caption) {
  ui::Click(button);
  ui::WaitUntil([&] { return ui::IsVisible(wizard_) && Caption() == caption; },
                "the wizard's page \"" + caption + "\"");
}

void SetupSession::GoTo(const std::string& caption) {
  const std::vector<std::string> pages = {kWelcome, kTargetDirectory, kSummary};
  const auto target = std::find(pages.begin(), pages.end(), caption);
  auto current = std::find(pages.begin(), pages.end(), Caption());
  if (target == pages.end() || current > target) {
    throw std::runtime_error("cannot go forward to the page \"" + caption + "\"");
  }
  while (current != target) PressAndWaitFor(next_, *++current);
}

std::vector<std::string> SetupSession::VisibleTexts() const {
  std::vector<std::string> texts;
  for (HWND label : ui::FindChildren(wizard_, {"Static", std::nullopt, 0, true})) {
    const std::string text = ui::Text(label);
    if (!text.empty()) texts.push_back(text);
  }
  return texts;
}

std::string SetupSession::DirectoryLabel() const {
  const HWND box = ui::FindChild(wizard_, {"Button", std::string("대상 디렉토리")});
  return ui::Text(ui::FindChild(box, {"Static", std::nullopt}));
}

std::vector<std::string> SetupSession::Summary() const {
  return ui::ListItems(ui::FindChild(wizard_, {"ListBox", std::nullopt}));
}

std::string SetupSession::InstallRuns() const { return ReadFileBytes(dir_ + "install-runs.txt"); }

HWND SetupSession::OpenChooser() {
  ui::Click(ui::FindChild(wizard_, {"Button", std::string("찾아보기(&B)")}));
  return ui::WaitForWindow({Id(), "TfmDir", {"선택"}});
}

ButtonLook LookOf(HWND button) {
  return {ui::IsVisible(button), ui::IsEnabled(button), ui::Text(button)};
}

ui::MessageBoxInfo ExpectExitConfirmation(DWORD processId, HWND owner) {
  const ui::MessageBoxInfo box = ui::WaitForMessageBox(processId);
  EXPECT_EQ("종료", box.Caption);
  EXPECT_EQ(
      "프로그램 설치를 종료 하시겠습니까?\r\n\r\n"
      "설치 마법사를 지금 종료 하시면 프로그램을 실행할 수 없습니다.",
      box.Text);
  EXPECT_EQ(2u, box.Buttons.size());
  EXPECT_TRUE(GetDlgItem(box.Window, IDYES) && GetDlgItem(box.Window, IDNO));
  // No is the default button.
  EXPECT_TRUE(GetWindowLongA(GetDlgItem(box.Window, IDNO), GWL_STYLE) & BS_DEFPUSHBUTTON);
  EXPECT_FALSE(GetWindowLongA(GetDlgItem(box.Window, IDYES), GWL_STYLE) & BS_DEFPUSHBUTTON);
  EXPECT_TRUE(box.HasIcon);
  EXPECT_EQ(owner, box.Owner);
  return box;
}
