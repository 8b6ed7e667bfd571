// Tracked installs ([APP] UNINSTALLALL=YES) that do not complete, driven under Xvfb:
// a damaged second archive, Cancel at the disk prompt, a silent run, and a run killed
// at each of its undo steps. Each must leave the machine as it was before the run:
// files byte for byte with their times and attributes, registry trees, shortcuts,
// the engine directory and the system directory.
#include "rar_writer/rar_writer.h"
#include "setup/support/install_test_support.h"
#include "setup/support/setup_session.h"
#include "support/registry_support.h"
#include "support/scopes.h"
#include "support/test_support.h"
#include "testing/extraction_hold.h"
#include "testing/ui_driver.h"
#include "text/text.h"
#include "win/file_system.h"
#include "win/window_count_seam.h"

#include <gtest/gtest.h>

#include <windows.h>
#include <shlobj.h>

#include <algorithm>
#include <map>
#include <stdexcept>
#include <string>
#include <vector>

namespace {

namespace ui = ui_driver;

const char kApp[] = "C:\\ROLLA";
const char kEngine[] = "C:\\kit-tests\\rollengine";
const char kScript[] =
    "[APP]\r\nNAME=Rolla\r\nVERSION=1.0\r\nCOMPANY=Rollvane\r\nINSTALLDIR=C:\\ROLLA\r\n"
    "UNINSTALL=Remove\r\nUNINSTALLENTRY=YES\r\nUNINSTALLALL=YES\r\n"
    "[FILES]\r\nFILE1=PROG.RAR,<INSTALLDIR>\r\nFILE2=DATA.RAR,<INSTALLDIR>\\DATA\r\n"
    "[ICONS]\r\nICON1=Programs,Rolla,<INSTALLDIR>\\PROG.EXE\r\n"
    "[BDE]\r\nFILE=Paradox.RAR\r\nPATH=C:\\kit-tests\\rollengine\r\n";
const char kDbaseInitKey[] = "SOFTWARE\\Borland\\Database Engine\\Settings\\DRIVERS\\DBASE\\INIT";
const char kRegistryTrees[][64] = {
    "SOFTWARE\\Borland", "Software\\Rollvane",
    "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Rolla 1.0"};

struct FileState {
  std::string Bytes;
  DWORD Attributes;
  ULONGLONG Written;
  bool operator==(const FileState& o) const {
    return Bytes == o.Bytes && Attributes == o.Attributes && Written == o.Written;
  }
};

// Every file and directory below root (directories by their attributes only: their
// times follow what happens inside).
void AddTree(const std::string& root, std::map<std::string, FileState>& out) {
  WIN32_FIND_DATAA found;
  const HANDLE find = FindFirstFileA((root + "\\*").c_str(), &found);
  if (find == INVALID_HANDLE_VALUE) return;
  do {
    const std::string name = found.cFileName;
    if (name == "." || name == "..") continue;
    const std::string path = root + "\\" + name;
    if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
      out[path] = {"<dir>", found.dwFileAttributes, 0};
      AddTree(path, out);
    } else {
      const ULONGLONG written = (ULONGLONG(found.ftLastWriteTime.dwHighDateTime) << 32) |
                                found.ftLastWriteTime.dwLowDateTime;
      out[path] = {ReadFileBytes(path), found.dwFileAttributes, written};
    }
  } while (FindNextFileA(find, &found));
  FindClose(find);
}

void AddKeyTree(const std::string& key,
                std::map<std::string, std::map<std::string, RawValue>>& out) {
  if (!KeyExists(HKEY_LOCAL_MACHINE, key)) return;
  out[key] = KeyValues(HKEY_LOCAL_MACHINE, key);
  HKEY opened = nullptr;
  if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, key.c_str(), 0, KEY_READ, &opened) != ERROR_SUCCESS) return;
  std::vector<std::string> subkeys;
  char name[256];
  for (DWORD i = 0;; ++i) {
    DWORD length = sizeof name;
    if (RegEnumKeyExA(opened, i, name, &length, nullptr, nullptr, nullptr, nullptr) !=
        ERROR_SUCCESS)
      break;
    subkeys.emplace_back(name, length);
  }
  RegCloseKey(opened);
  for (const std::string& sub : subkeys) AddKeyTree(key + "\\" + sub, out);
}

std::string CommonAppData() {
  char path[MAX_PATH] = {};
  SHGetFolderPathA(nullptr, CSIDL_COMMON_APPDATA, nullptr, 0, path);
  return path;
}

std::string UndoFolder() { return CommonAppData() + "\\Setup Undo\\Rollvane\\Rolla\\1.0"; }

// What a run may touch, to compare before and after.
struct MachineState {
  std::map<std::string, FileState> Files;
  std::map<std::string, std::map<std::string, RawValue>> Keys;

  static MachineState Now() {
    MachineState state;
    for (const std::string& root :
         {std::string(kApp), std::string(kEngine), std::string(kEngine) + "_2",
          ProgramsFolder() + "\\Rolla 1.0", CommonAppData() + "\\Setup Undo"}) {
      AddTree(root, state.Files);
    }
    char system[MAX_PATH] = {};
    GetSystemDirectoryA(system, MAX_PATH);
    const std::string unrar = std::string(system) + "\\UNRAR.DLL";
    WIN32_FILE_ATTRIBUTE_DATA data{};
    GetFileAttributesExA(unrar.c_str(), GetFileExInfoStandard, &data);
    state.Files[unrar] = {ReadFileBytes(unrar), data.dwFileAttributes,
                          (ULONGLONG(data.ftLastWriteTime.dwHighDateTime) << 32) |
                              data.ftLastWriteTime.dwLowDateTime};
    for (const char* key : kRegistryTrees) AddKeyTree(key, state.Keys);
    return state;
  }
};

void ExpectSame(const MachineState& before, const MachineState& after, const std::string& when) {
  for (const auto& [path, file] : before.Files) {
    const auto now = after.Files.find(path);
    if (now == after.Files.end()) {
      ADD_FAILURE() << when << ": gone: " << path;
    } else if (!(now->second == file)) {
      ADD_FAILURE() << when << ": changed: " << path;
    }
  }
  for (const auto& [path, file] : after.Files) {
    if (before.Files.count(path) == 0) ADD_FAILURE() << when << ": left: " << path;
  }
  EXPECT_TRUE(before.Keys == after.Keys) << when << ": the registry differs";
}

// The product's directory and engine as a machine has them before the run: an older
// program (read-only, an old date) that the first archive replaces, a user's file, an
// installed engine, and an engine setting that the run changes.
void PrepareMachine() {
  RemoveTree(kApp);
  RemoveTree(kEngine);
  RemoveTree(std::string(kEngine) + "_2");
  RemoveTree(ProgramsFolder() + "\\Rolla 1.0");
  for (const char* key : kRegistryTrees) {
    if (std::string(key) != "SOFTWARE\\Borland") DeleteKeyTree(HKEY_LOCAL_MACHINE, key);
  }
  MakeDirectories(kApp);
  WriteFileBytes(std::string(kApp) + "\\PROG.EXE", "older program");
  SetLastWriteTime(std::string(kApp) + "\\PROG.EXE", MakeSystemTime(2001, 2, 3, 4, 5));
  SetFileAttributesA((std::string(kApp) + "\\PROG.EXE").c_str(),
                     FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_ARCHIVE);
  WriteFileBytes(std::string(kApp) + "\\NOTES.TXT", "a user's notes");
  MakeDirectories(kEngine);
  WriteFileBytes(std::string(kEngine) + "\\IDAPI32.DLL", "installed engine");
  SetRawValue(HKEY_LOCAL_MACHINE, kDbaseInitKey, "LANGDRIVER", REG_SZ,
              std::string("an older driver", 16));
}

std::string MakeMedium(const std::string& name, bool damagedData, bool withData = true) {
  const std::string medium = ScratchDir("medium-" + name);
  for (const char* file : {"setup.exe", "UNRAR.DLL", "Halvex.exe"}) {
    if (!CopyFileA(KitOutputPath(file).c_str(), (medium + file).c_str(), FALSE)) {
      throw std::runtime_error(std::string("cannot put ") + file + " on the medium");
    }
  }
  WriteFileBytes(medium + "SETUP.INI", kScript);
  WriteArchive(medium + "PROG.RAR", {{"PROG.EXE", "newer program"}, {"LIB\\PART.DLL", "part"}});
  WriteArchive(medium + "Paradox.RAR", {{"IDAPI32.DLL", "newer engine"}});
  if (withData) {
    RarWriter data;
    data.AddFile("A.DBF", "table");
    if (damagedData) data.Add(EntryWithBadDataChecksum("B.DBF", "broken"));
    if (!data.Save(medium + "DATA.RAR")) throw std::runtime_error("cannot write DATA.RAR");
  }
  return medium;
}

// The same medium whose second archive starts with an entry large enough for the
// stand-in's extraction hold: the run can be stopped while it is held there.
std::string MakeMediumWithLargeData(const std::string& name) {
  const std::string medium = MakeMedium(name, false, false);
  WriteArchive(medium + "DATA.RAR", {{"BIG.DAT", PatternBytes(2 << 20)}, {"A.DBF", "table"}});
  return medium;
}

// Presses the progress window's Cancel and reads the question it asks.
ui::MessageBoxInfo PressProgressCancel(SetupSession& setup) {
  const HWND progress = ui::FindWindowOf({setup.Id(), "TfmInstall", {"설치"}});
  ui::Click(ui::FindChild(progress, {"Button", {"취소"}}));
  return ui::WaitForMessageBox(setup.Id());
}

bool IsDefaultButton(const ui::MessageBoxInfo& box, int id) {
  return (GetWindowLongA(GetDlgItem(box.Window, id), GWL_STYLE) & BS_DEFPUSHBUTTON) != 0;
}

void ExpectBackOnTheSummaryPage(SetupSession& setup) {
  ui::WaitUntil([&] { return ui::IsVisible(setup.Wizard()); }, "the wizard back");
  EXPECT_EQ(kSummary, setup.Caption());
  EXPECT_FALSE(ui::FindMessageBox(setup.Id()).has_value());
}

void Leave(SetupSession& setup, DWORD exitCode) {
  ui::Click(setup.Cancel());
  const ui::MessageBoxInfo box = ui::WaitForMessageBox(setup.Id());
  ui::AnswerMessageBox(box, IDYES);
  EXPECT_EQ(exitCode, setup.Program().WaitForExit());
}

DWORD RunSilently(const std::string& medium, const std::string& runLog,
                  const std::string& killAt = std::string()) {
  SetEnvironmentVariableA("KIT_UNDO_KILL_AT", killAt.empty() ? nullptr : killAt.c_str());
  ui::Process setup =
      ui::Process::Start("\"" + medium + "setup.exe\" /VERYSILENT /LOG=\"" + runLog + "\"", medium);
  const DWORD code = setup.WaitForExit();
  SetEnvironmentVariableA("KIT_UNDO_KILL_AT", nullptr);
  return code;
}

// Kills tracked runs of medium at undo step 1, 2, ... until the record names file (its
// full path) as a step; returns that step.
unsigned KillUntilTheRecordNames(const std::string& medium, const std::string& file) {
  const std::string runLog = ScratchDir("rollback-until-log") + "run.log";
  for (unsigned step = 1; step < 100; ++step) {
    if (RunSilently(medium, runLog, std::to_string(step)) != 99) break;
    const std::string record = UpperAscii(ReadFileBytes(UndoFolder() + "\\UNDO.DAT"));
    if (record.find("\t" + UpperAscii(file) + "\t") != std::string::npos) return step;
  }
  ADD_FAILURE() << "no run recorded " << file;
  return 0;
}

// Answers the box and waits until it is gone, so the next wait finds the next box.
void Press(const ui::MessageBoxInfo& box, int button) {
  ui::AnswerMessageBox(box, button);
  ui::WaitForWindowGone(box.Window);
}

bool HasLine(const std::vector<std::string>& lines, const std::string& line) {
  for (const std::string& l : lines) {
    if (l == line) return true;
  }
  return false;
}

// Each test starts from the machine PrepareMachine makes, remembered as before.
class Rollback : public ::testing::Test {
 protected:
  void SetUp() override {
    PrepareMachine();
    before = MachineState::Now();
  }

  const ScratchFolder app{kApp};
  const ScratchFolder engine{kEngine};
  const ScratchFolder engineBackup{std::string(kEngine) + "_2"};
  MachineState before;
};

}  // namespace

TEST_F(Rollback, AFailedExtractionOrACancelAtTheDiskPromptLeavesTheMachineAsItWas) {
  {  // the second archive is damaged: the error box, then the wizard on its summary page
    SetupSession setup(MakeMedium("rollback-damaged", true));
    setup.GoTo(kSummary);
    ui::Click(setup.Next());
    const ui::MessageBoxInfo box = ui::WaitForMessageBox(setup.Id());
    EXPECT_EQ("오류", box.Caption);
    ui::AnswerMessageBox(box, IDOK);
    ExpectBackOnTheSummaryPage(setup);
    ExpectSame(before, MachineState::Now(), "after the damaged archive");
    Leave(setup, 11);
  }
  {  // the second archive is not on the medium: Cancel at the disk prompt
    SetupSession setup(MakeMedium("rollback-disk", false, false));
    setup.GoTo(kSummary);
    ui::Click(setup.Next());
    const ui::MessageBoxInfo prompt = ui::WaitForMessageBox(setup.Id());
    EXPECT_EQ("Disk", prompt.Caption);
    ui::AnswerMessageBox(prompt, IDCANCEL);
    ExpectBackOnTheSummaryPage(setup);
    ExpectSame(before, MachineState::Now(), "after Cancel at the disk prompt");
    Leave(setup, 10);
  }
  {  // silently: the failure's code, and the run log names what was undone
    const std::string runLog = ScratchDir("rollback-silent") + "run.log";
    EXPECT_EQ(11u, RunSilently(MakeMedium("rollback-silent", true), runLog));
    ExpectSame(before, MachineState::Now(), "after the silent run");
    const std::vector<std::string> lines = FileLines(runLog);
    EXPECT_TRUE(HasLine(lines, "되돌림: C:\\ROLLA\\PROG.EXE"));
    EXPECT_TRUE(HasLine(lines, "되돌림: C:\\ROLLA\\DATA"));
  }
}

TEST_F(Rollback, TheProgressWindowsCancelAsksThenStopsAfterTheEntryAndUndoesTheRun) {
  ExtractionHold hold;
  SetupSession setup(MakeMediumWithLargeData("rollback-cancel"));
  setup.GoTo(kSummary);
  ui::Click(setup.Next());
  ui::WaitUntil([&] { return hold.Held(); }, "the held extraction");
  {  // No: the run goes on, and the button asks again
    const ui::MessageBoxInfo question = PressProgressCancel(setup);
    EXPECT_EQ("취소", question.Caption);
    EXPECT_EQ("설치를 취소하시겠습니까?", question.Text);
    EXPECT_TRUE(question.HasIcon);
    ASSERT_EQ(2u, question.Buttons.size());
    EXPECT_TRUE(IsDefaultButton(question, IDNO));
    ui::AnswerMessageBox(question, IDNO);
  }
  // Asked again: the window still shows the held entry (an activation, such as coming
  // back from the first box, came first in its queue and did not empty it).
  const ui::MessageBoxInfo again = PressProgressCancel(setup);
  const HWND progress = ui::FindWindowOf({setup.Id(), "TfmInstall", {"설치"}});
  EXPECT_NE(nullptr, ui::FindChild(progress, {"Static", {"C:\\ROLLA\\DATA\\BIG.DAT"}}));
  ui::AnswerMessageBox(again, IDYES);
  hold.Release();
  ExpectBackOnTheSummaryPage(setup);
  ExpectSame(before, MachineState::Now(), "after Cancel in the progress window");
  EXPECT_FALSE(FileExists(std::string(kApp) + "\\INSTALL.LOG"));
  Leave(setup, 1);
}

TEST_F(Rollback, AnInstallLogThatCannotBeWrittenUndoesTheRun) {
  MakeDirectories(std::string(kApp) + "\\INSTALL.LOG");  // where the log would go
  before = MachineState::Now();
  SetupSession setup(MakeMedium("rollback-log", false));
  setup.GoTo(kSummary);
  ui::Click(setup.Next());
  const ui::MessageBoxInfo box = ui::WaitForMessageBox(setup.Id());
  EXPECT_EQ("C:\\ROLLA\\INSTALL.LOG 파일을 저장할 수 없습니다.", box.Text);
  ui::AnswerMessageBox(box, IDOK);
  ExpectBackOnTheSummaryPage(setup);
  ExpectSame(before, MachineState::Now(), "after the log that could not be written");
  Leave(setup, 13);
}

TEST_F(Rollback, ARunKilledAtAnyUndoStepIsRolledBackAtTheNextStart) {
  const std::string medium = MakeMedium("rollback-killed", false);
  const std::string runLog = ScratchDir("rollback-killed-log") + "run.log";
  unsigned killPoints = 0;
  for (unsigned step = 1;; ++step) {
    const DWORD code = RunSilently(medium, runLog, std::to_string(step));
    if (code == 0) break;  // the run recorded fewer steps: it completed
    ASSERT_EQ(99u, code) << "step " << step;
    ++killPoints;
    ASSERT_TRUE(FileExists(UndoFolder() + "\\UNDO.DAT")) << "step " << step;
    // The next start rolls the run back before anything else and says so.
    ui::Process again = ui::Process::Start("\"" + medium + "setup.exe\"", medium);
    const ui::MessageBoxInfo box = ui::WaitForMessageBox(again.Id());
    EXPECT_EQ("완료되지 않은 설치를 되돌렸습니다.", box.Text);
    ExpectSame(before, MachineState::Now(), "killed at step " + std::to_string(step));
    ui::AnswerMessageBox(box, IDOK);
    again.Kill();
  }
  std::printf("kill points tried: %u\n", killPoints);
  EXPECT_GE(killPoints, 10u);
  // The run that completed leaves no record; Halvex then leaves what was there before
  // but the files that the engine's directories share.
  EXPECT_FALSE(DirectoryExists(UndoFolder()));
  EXPECT_EQ("newer program", ReadFileBytes(std::string(kApp) + "\\PROG.EXE"));
  ui::Process halvex =
      ui::Process::Start(std::string("\"") + kApp + "\\Halvex.exe\" /SILENT", kApp);
  EXPECT_EQ(0u, halvex.WaitForExit());
  EXPECT_FALSE(FileExists(std::string(kApp) + "\\PROG.EXE"));
  EXPECT_FALSE(DirectoryExists(std::string(kApp) + "\\DATA"));
  EXPECT_FALSE(KeyExists(HKEY_LOCAL_MACHINE, "Software\\Rollvane\\Rolla\\1.0"));
}

// Halvex started after a killed run of a product it removes rolls the run back before its
// question: here a second run over a complete one, killed after it replaced Halvex.exe.
TEST_F(Rollback, HalvexRollsBackAKilledRunBeforeItsQuestion) {
  const std::string medium = MakeMedium("rollback-halvex", false);
  ASSERT_EQ(0u, RunSilently(medium, ScratchDir("rollback-halvex-log") + "run.log"));
  const MachineState afterFirst = MachineState::Now();
  const std::string halvex = std::string(kApp) + "\\Halvex.exe";
  const unsigned copied = KillUntilTheRecordNames(medium, halvex) + 1;
  std::printf("second run killed at step %u\n", copied);
  ASSERT_EQ(99u, RunSilently(medium, ScratchDir("rollback-halvex-log") + "run.log",
                             std::to_string(copied)));
  ClearWaitingForRestart();

  ui::Process run = ui::Process::Start("\"" + halvex + "\"", kApp);
  ui::MessageBoxInfo box = ui::WaitForMessageBox(run.Id());
  EXPECT_EQ("완료되지 않은 설치를 되돌렸습니다.", box.Text);
  EXPECT_EQ("설치", box.Caption);
  MachineState now = MachineState::Now();
  // The running copy, renamed, waits for the restart; the first run's is back.
  EXPECT_EQ(1u, now.Files.erase(halvex + ".undone"));
  ExpectSame(afterFirst, now, "Halvex after the run killed at step " + std::to_string(copied));
  EXPECT_EQ(UpperAscii(halvex) + ".UNDONE\n", UpperAscii(WaitingForRestart()));
  Press(box, IDOK);
  box = ui::WaitForMessageBox(run.Id());
  EXPECT_EQ("삭제", box.Caption);  // then Halvex's own run, as usual
  Press(box, IDYES);
  box = ui::WaitForMessageBox(run.Id());
  EXPECT_EQ("완료", box.Caption);
  ui::AnswerMessageBox(box, IDOK);
  EXPECT_EQ(0u, run.WaitForExit());
  EXPECT_FALSE(DirectoryExists(UndoFolder()));
  for (const char* file : {"\\PROG.EXE", "\\Halvex.exe", "\\LIB\\PART.DLL", "\\DATA\\A.DBF"}) {
    EXPECT_FALSE(FileExists(kApp + std::string(file))) << file;
  }
  EXPECT_FALSE(DirectoryExists(ProgramsFolder() + "\\Rolla 1.0"));
  EXPECT_FALSE(KeyExists(HKEY_LOCAL_MACHINE, "Software\\Rollvane"));
  EXPECT_FALSE(KeyExists(HKEY_LOCAL_MACHINE, kRegistryTrees[2]));
}

// A first install killed after it copied Halvex.exe leaves no install log: Halvex finds
// the record by its steps, and silently shows no window and ends with 13.
TEST_F(Rollback, HalvexFindsAKilledFirstInstallByItsRecordAndEndsSilently) {
  RemoveTree(kApp);
  before = MachineState::Now();
  const std::string medium = MakeMedium("rollback-first", false);
  const std::string halvex = std::string(kApp) + "\\Halvex.exe";
  const unsigned copied = KillUntilTheRecordNames(medium, halvex) + 1;
  std::printf("first run killed at step %u\n", copied);
  ASSERT_EQ(99u, RunSilently(medium, ScratchDir("rollback-first-log") + "run.log",
                             std::to_string(copied)));
  ASSERT_FALSE(FileExists(std::string(kApp) + "\\INSTALL.LOG"));
  ClearWaitingForRestart();

  const std::string windows = ScratchDir("rollback-first-windows") + "windows.txt";
  SetEnvironmentVariableA(kWindowCountVariable, windows.c_str());
  ui::Process run = ui::Process::Start("\"" + halvex + "\" /SILENT", kApp);
  EXPECT_EQ(13u, run.WaitForExit());
  SetEnvironmentVariableA(kWindowCountVariable, nullptr);
  EXPECT_FALSE(FileExists(windows)) << ReadFileBytes(windows);
  // Halvex itself and the directory it alone holds wait for the restart.
  MachineState now = MachineState::Now();
  EXPECT_EQ(1u, now.Files.erase(halvex));
  ExpectSame(before, now, "Halvex after the first run killed at step " + std::to_string(copied));
  EXPECT_EQ(UpperAscii(halvex) + "\n" + UpperAscii(kApp) + "\n", UpperAscii(WaitingForRestart()));
  EXPECT_FALSE(DirectoryExists(UndoFolder()));
}
