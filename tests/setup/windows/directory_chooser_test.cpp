// The directory chooser opened from the wizard's second page: what the tree
// proposes, what "선택" stores, and what "취소" and the close box leave alone.
#include "setup/support/setup_session.h"

#include "support/test_support.h"

#include <commctrl.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

namespace {

namespace ui = ui_driver;

const char kScriptWithoutFolder[] =
    "[APP]\r\nNAME=펠모라\r\nVERSION=1.0\r\nINSTALLDIR=C:\\KORVANE\r\n";

// The chooser's controls as a user finds them.
struct Chooser {
  explicit Chooser(HWND dialog)
      : Window(dialog),
        Path(ui::FindChild(dialog, {"Edit", std::nullopt})),
        Tree(ui::FindChild(dialog, {"ListBox", std::nullopt})),
        Drives(ui::FindChild(dialog, {"ComboBox", std::nullopt})),
        Accept(ui::FindChild(dialog, {"Button", std::string("선택")})),
        Cancel(ui::FindChild(dialog, {"Button", std::string("취소")})) {}

  std::string PathText() const { return ui::Text(Path); }
  void Type(const std::string& text) const {
    DWORD_PTR result = 0;
    SendMessageTimeoutA(Path, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()),
                        SMTO_ABORTIFHUNG, 5000, &result);
  }
  // Opens a tree item as a double click on it does.
  void Open(int index) const {
    ui::SelectListItem(Tree, index);
    ui::PostCommand(Tree, LBN_DBLCLK);
  }
  void Open(const std::string& name) const {
    const std::vector<std::string> items = ui::ListItems(Tree);
    const auto found = std::find(items.begin(), items.end(), name);
    if (found == items.end()) throw ui::DriverError("no directory " + name + " in the tree");
    Open(static_cast<int>(found - items.begin()));
  }
  // Picks a drive in the selector as a user does.
  void PickDrive(const std::string& name) const {
    const std::vector<std::string> drives = ui::ComboItems(Drives);
    const auto found = std::find(drives.begin(), drives.end(), name);
    if (found == drives.end()) throw ui::DriverError("no drive " + name);
    DWORD_PTR result = 0;
    SendMessageTimeoutA(Drives, CB_SETCURSEL, found - drives.begin(), 0, SMTO_ABORTIFHUNG, 5000,
                        &result);
    ui::PostCommand(Drives, CBN_SELCHANGE);
  }
  void WaitForPath(const std::string& expected) const {
    ui::WaitUntil([&] { return PathText() == expected; }, "the path \"" + expected + "\"");
  }
  void Press(HWND button) const {
    ui::Click(button);
    ui::WaitForWindowGone(Window);
  }

  HWND Window, Path, Tree, Drives, Accept, Cancel;
};

void ExpectInstallDir(SetupSession& setup, const std::string& dir) {
  ui::WaitUntil([&] { return setup.DirectoryLabel() == dir; }, "the target directory " + dir);
  EXPECT_EQ("     " + dir, setup.Summary().at(4));
  EXPECT_TRUE(ui::IsEnabled(setup.Wizard()));
}

TEST(DirectoryChooser, AnOpenedDirectoryIsProposedWithTheProductFolder) {
  MakeDirectories("C:\\도구");
  SetupSession setup("chooser-folder", kPelmoraScript);
  setup.GoTo(kTargetDirectory);
  const Chooser chooser(setup.OpenChooser());
  EXPECT_FALSE(ui::IsEnabled(setup.Wizard()));  // modal
  const RECT client = ui::ClientRect(chooser.Window);
  EXPECT_EQ(320, client.right);
  EXPECT_EQ(288, client.bottom);
  // The tree starts at C:\, the edit box at the install directory.
  EXPECT_EQ("C:\\", ui::ListItems(chooser.Tree).at(0));
  EXPECT_EQ(0, ui::ListSelection(chooser.Tree));
  EXPECT_EQ("C:\\KORVANE", chooser.PathText());

  chooser.Open("도구");
  chooser.WaitForPath("C:\\도구\\Pelmora");
  chooser.Type("D:\\손으로 쓴 경로");
  chooser.Open(0);  // the drive root replaces the typed text
  chooser.WaitForPath("C:\\Pelmora");
  chooser.Open("도구");
  chooser.WaitForPath("C:\\도구\\Pelmora");
  chooser.Press(chooser.Accept);
  ExpectInstallDir(setup, "C:\\도구\\Pelmora");

  // Opened again: the tree is back at C:\, the edit box shows what was accepted.
  setup.OpenChooser();
  ui::WaitUntil([&] { return ui::ListSelection(chooser.Tree) == 0; }, "the tree at C:\\");
  EXPECT_EQ("C:\\", ui::ListItems(chooser.Tree).at(0));
  EXPECT_EQ("C:\\도구\\Pelmora", chooser.PathText());
  // Another drive's root.
  chooser.PickDrive("z:");
  ui::WaitUntil([&] { return ui::ListItems(chooser.Tree).at(0) != "C:\\"; }, "drive Z:");
  const std::string root = ui::ListItems(chooser.Tree).at(0);
  EXPECT_STRCASEEQ("Z:\\", root.c_str());
  chooser.Open(0);
  chooser.WaitForPath(root + "Pelmora");
  chooser.Press(chooser.Accept);
  ExpectInstallDir(setup, root + "Pelmora");

  // The install run gets the chosen directory.
  setup.PressAndWaitFor(setup.Next(), kSummary);
  setup.PressAndWaitFor(setup.Next(), kCompleted);
  EXPECT_EQ("hidden YYYY-MM-DD [" + root + "Pelmora]\n", setup.InstallRuns());
  ui::Click(setup.Cancel());
  EXPECT_EQ(0u, setup.Program().WaitForExit());
}

TEST(DirectoryChooser, CancelAndTheCloseBoxChangeNothing) {
  MakeDirectories("C:\\도구");
  SetupSession setup("chooser-cancel", kPelmoraScript);
  setup.GoTo(kTargetDirectory);
  for (bool closeBox : {false, true}) {
    const Chooser chooser(setup.OpenChooser());
    chooser.Open("도구");
    chooser.WaitForPath("C:\\도구\\Pelmora");
    if (closeBox) {
      ui::PostClose(chooser.Window);
      ui::WaitForWindowGone(chooser.Window);
    } else {
      chooser.Press(chooser.Cancel);
    }
    ExpectInstallDir(setup, "C:\\KORVANE");
  }
  // A cancelled opening leaves nothing behind for the next one.
  const Chooser chooser(setup.OpenChooser());
  EXPECT_EQ("C:\\KORVANE", chooser.PathText());
  EXPECT_EQ(0, ui::ListSelection(chooser.Tree));
  chooser.Press(chooser.Cancel);
  ExpectInstallDir(setup, "C:\\KORVANE");
}

TEST(DirectoryChooser, WithoutAProductFolderTheTreeDirectoryIsTakenAndAnyTextIsAccepted) {
  MakeDirectories("C:\\도구");
  SetupSession setup("chooser-no-folder", kScriptWithoutFolder);
  setup.GoTo(kTargetDirectory);
  {
    const Chooser chooser(setup.OpenChooser());
    chooser.Open("도구");
    chooser.WaitForPath("C:\\도구");
    chooser.Open(0);
    chooser.WaitForPath("C:\\");
    // Typed text is stored byte for byte: blanks stay, nothing is checked.
    chooser.Type("  D:\\없는 폴더\\  ");
    chooser.Press(chooser.Accept);
    ExpectInstallDir(setup, "  D:\\없는 폴더\\  ");
  }
  {
    const Chooser chooser(setup.OpenChooser());
    EXPECT_EQ("  D:\\없는 폴더\\  ", chooser.PathText());
    chooser.Type("");
    chooser.Press(chooser.Accept);
    ExpectInstallDir(setup, "");
  }
  // The install run gets the empty directory unchanged.
  setup.PressAndWaitFor(setup.Next(), kSummary);
  setup.PressAndWaitFor(setup.Next(), kCompleted);
  EXPECT_EQ("hidden YYYY-MM-DD []\n", setup.InstallRuns());
  ui::Click(setup.Cancel());
  EXPECT_EQ(0u, setup.Program().WaitForExit());
}

}  // namespace
