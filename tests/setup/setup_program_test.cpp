// setup.exe itself on a distribution medium, driven like a user under Xvfb: the
// typical run through its windows, the runs that end before their end, and the
// round trip in which Halvex removes what the install logged. What the wizard's
// pages, the chooser and the background do is tested on setup's start-up host.
#include "rar_writer/rar_writer.h"
#include "setup/support/install_test_support.h"
#include "setup/support/setup_session.h"
#include "support/registry_support.h"
#include "support/test_support.h"
#include "testing/ui_driver.h"

#include "support/scopes.h"
#include "win/file_system.h"

#include <gtest/gtest.h>

#include <windows.h>
#include <shlobj.h>

#include <algorithm>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

namespace {

namespace ui = ui_driver;

const char kUninstallKeys[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\";
const char kSessionManager[] = "System\\CurrentControlSet\\Control\\Session Manager";
const char kPending[] = "PendingFileRenameOperations";
const char kDbaseInitKey[] = "SOFTWARE\\Borland\\Database Engine\\Settings\\DRIVERS\\DBASE\\INIT";

// A key of HKEY_LOCAL_MACHINE that only lets everyone read it, while the owner lives.
struct ReadOnlyKey {
  explicit ReadOnlyKey(std::string key) : Key(std::move(key)) {
    MakeKeyReadOnly(HKEY_LOCAL_MACHINE, Key);
  }
  ~ReadOnlyKey() { MakeKeyWritable(HKEY_LOCAL_MACHINE, Key); }
  ReadOnlyKey(const ReadOnlyKey&) = delete;
  ReadOnlyKey& operator=(const ReadOnlyKey&) = delete;
  std::string Key;
};

// A fresh medium C:\kit-tests\medium-<name>\ with setup.exe, the archive library
// and the uninstaller beside the script.
std::string MakeMedium(const std::string& name, const std::string& script) {
  const std::string medium = ScratchDir("medium-" + name);
  for (const char* file : {"setup.exe", "UNRAR.DLL", "Halvex.exe"}) {
    if (!CopyFileA(KitOutputPath(file).c_str(), (medium + file).c_str(), FALSE)) {
      throw std::runtime_error(std::string("cannot put ") + file + " on the medium");
    }
  }
  WriteFileBytes(medium + "SETUP.INI", script);
  return medium;
}

// The log's lines that carry the tag, without it.
std::vector<std::string> Payloads(const std::vector<std::string>& log, const std::string& tag) {
  std::vector<std::string> payloads;
  for (const std::string& line : log) {
    if (line.compare(0, tag.size(), tag) == 0) payloads.push_back(line.substr(tag.size()));
  }
  return payloads;
}

// After a run that did not reach its end: the wizard is back, usable, on the
// summary page, the progress window is hidden and no box is up.
void ExpectBackOnTheSummaryPage(SetupSession& setup) {
  ui::WaitUntil([&] { return ui::IsVisible(setup.Wizard()); }, "the wizard back");
  EXPECT_EQ(kSummary, setup.Caption());
  EXPECT_TRUE(ui::IsEnabled(setup.Wizard()));
  EXPECT_TRUE(ui::IsEnabled(setup.Next()));
  const HWND progress = ui::FindWindowOf({setup.Id(), "TfmInstall", {"설치"}, false});
  ASSERT_NE(nullptr, progress);
  EXPECT_FALSE(ui::IsVisible(progress));
  EXPECT_FALSE(ui::FindMessageBox(setup.Id()).has_value());
}

// Cancel, confirmed with Yes: the program ends, with the code of its last run's end.
void Leave(SetupSession& setup, DWORD exitCode) {
  ui::Click(setup.Cancel());
  const ui::MessageBoxInfo box = ui::WaitForMessageBox(setup.Id());
  EXPECT_EQ("종료", box.Caption);
  ui::AnswerMessageBox(box, IDYES);
  EXPECT_EQ(exitCode, setup.Program().WaitForExit());
}

// An uninstall by Halvex.exe from the install directory, answered Yes and OK.
void Uninstall(const std::string& app) {
  ui::Process halvex = ui::Process::Start("\"" + app + "\\Halvex.exe\"", app);
  ui::MessageBoxInfo box = ui::WaitForMessageBox(halvex.Id());
  EXPECT_EQ("삭제", box.Caption);
  ui::AnswerMessageBox(box, IDYES);
  ui::WaitForWindowGone(box.Window);
  box = ui::WaitForMessageBox(halvex.Id());
  EXPECT_EQ("완료", box.Caption);
  ui::AnswerMessageBox(box, IDOK);
  EXPECT_EQ(0u, halvex.WaitForExit());
}

// The three Next presses; the completion page shows when the run has ended.
void InstallThroughTheWizard(SetupSession& setup) {
  setup.GoTo(kSummary);
  setup.PressAndWaitFor(setup.Next(), kCompleted);
}

}  // namespace

TEST(SetupProgram, TheTypicalRunThroughTheWindowsWritesTheLogAtExit) {
  const ScratchFolder app("C:\\KORVANE");
  const std::string medium = MakeMedium(
      "typical",
      "[APP]\r\nNAME=Pelmora\r\nVERSION=1.0\r\nCOMPANY=Korvane\r\nINSTALLDIR=C:\\KORVANE\r\n"
      "UNINSTALL=Remove\r\n"
      "[FILES]\r\nFILE1=PROG.RAR,<INSTALLDIR>\r\n"
      "[ICONS]\r\nICON1=Programs,Pelmora,<INSTALLDIR>\\PROG.EXE\r\n");
  WriteArchive(medium + "PROG.RAR", {{"PROG.EXE", "program"}, {"DATA\\A.DBF", "table"}});

  SetupSession setup(medium);
  EXPECT_EQ("Pelmora 1.0 설치마법사", ui::Text(setup.Background()));
  InstallThroughTheWizard(setup);
  EXPECT_EQ("program", ReadFileBytes("C:\\KORVANE\\PROG.EXE"));
  EXPECT_FALSE(FileExists("C:\\KORVANE\\INSTALL.LOG"));  // saved only when the program ends
  ui::Click(setup.Cancel());                             // "확인"
  EXPECT_EQ(0u, setup.Program().WaitForExit());

  const std::string group = ProgramsFolder() + "\\Pelmora 1.0";
  EXPECT_EQ(std::string("FILE:C:\\KORVANE\\PROG.EXE\r\n"
                        "FILE:C:\\KORVANE\\DATA\\A.DBF\r\n"
                        "DIR:C:\\KORVANE\r\n") +
                "ICON:" + group + "\\Pelmora.LNK\r\n" + "ICON:" + group + "\\Remove.LNK\r\n" +
                "DIR:" + group + "\r\n" +
                "REG:Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Pelmora 1.0\r\n"
                "FILE:C:\\KORVANE\\INSTALL.LOG\r\n"
                "FILE:C:\\KORVANE\\Korvane.lck\r\n",
            ReadFileBytes("C:\\KORVANE\\INSTALL.LOG"));
  EXPECT_TRUE(FileExists(group + "\\Remove.LNK"));
  EXPECT_FALSE(KeyExists(HKEY_LOCAL_MACHINE, kUninstallKeys + std::string("Pelmora 1.0")));
}

TEST(SetupProgram, CancelAtTheDiskPromptBringsTheWizardBackAndLeavingWritesNoLog) {
  const std::string medium =
      MakeMedium("disk-prompt",
                 "[APP]\r\nNAME=Cancelva\r\nVERSION=1.0\r\nINSTALLDIR=C:\\CANCELVA\r\n"
                 "[FILES]\r\nFILE1=DISK1.RAR,<INSTALLDIR>\r\nFILE2=DISK2.RAR,<INSTALLDIR>\r\n"
                 "[ICONS]\r\nICON1=Programs,Cancelva,<INSTALLDIR>\\ONE.EXE\r\n");
  WriteArchive(medium + "DISK1.RAR", {{"ONE.EXE", "one"}});

  SetupSession setup(medium);
  setup.GoTo(kSummary);
  ui::Click(setup.Next());
  const ui::MessageBoxInfo prompt = ui::WaitForMessageBox(setup.Id());
  EXPECT_EQ("Disk", prompt.Caption);
  EXPECT_EQ("다음 디스켓을 넣으신 후 확인을 누루세요.", prompt.Text);
  ui::AnswerMessageBox(prompt, IDCANCEL);
  ExpectBackOnTheSummaryPage(setup);
  Leave(setup, 10);  // the diskette was not given

  EXPECT_EQ("one", ReadFileBytes("C:\\CANCELVA\\ONE.EXE"));  // nothing is undone
  EXPECT_FALSE(FileExists("C:\\CANCELVA\\INSTALL.LOG"));
}

TEST(SetupProgram, LeavingOnTheFirstPageEndsWithTheCancelCode) {
  const std::string medium =
      MakeMedium("leave", "[APP]\r\nNAME=Leavia\r\nVERSION=1.0\r\nINSTALLDIR=C:\\LEAVIA\r\n");
  SetupSession setup(medium);
  Leave(setup, 1);
  EXPECT_FALSE(DirectoryExists("C:\\LEAVIA"));
}

// With /LOG the wizard's run is told as the unattended one is, with the boxes it
// showed; a retry that completes gives 0.
TEST(SetupProgram, AnInteractiveRunWritesTheRunLogWhenAskedAndEndsWithItsLastRunsCode) {
  const ScratchFolder app("C:\\RETRIA");
  const std::string medium =
      MakeMedium("run-log",
                 "[APP]\r\nNAME=Retria\r\nVERSION=1.0\r\nINSTALLDIR=C:\\RETRIA\r\n"
                 "[FILES]\r\nFILE1=ONE.RAR,<INSTALLDIR>\r\n");
  const std::string runLog = ScratchDir("interactive-run-log") + "run.log";
  SetupSession setup(medium, SetupSession::CommandArguments{"/log=\"" + runLog + "\""});
  setup.GoTo(kSummary);
  ui::Click(setup.Next());
  const ui::MessageBoxInfo prompt = ui::WaitForMessageBox(setup.Id());
  ui::AnswerMessageBox(prompt, IDCANCEL);
  ExpectBackOnTheSummaryPage(setup);
  WriteArchive(medium + "ONE.RAR", {{"ONE.EXE", "one"}});
  setup.PressAndWaitFor(setup.Next(), kCompleted);
  ui::Click(setup.Cancel());  // "확인"
  EXPECT_EQ(0u, setup.Program().WaitForExit());

  const std::vector<std::string> log = FileLines(runLog);
  ASSERT_GE(log.size(), 4u);
  EXPECT_EQ("명령줄: \"" + medium + "SETUP.EXE\" /log=\"" + runLog + "\"", log[1]);
  const auto at = [&](const std::string& line) {
    return std::find(log.begin(), log.end(), line) - log.begin();
  };
  const auto disk = at("메시지 [Disk]: 다음 디스켓을 넣으신 후 확인을 누루세요.");
  const auto extraction = at("압축 풀기: " + medium + "ONE.RAR -> C:\\RETRIA: 항목 1개, 완료");
  EXPECT_LT(disk, extraction) << Joined(log, "\n");
  EXPECT_LT(extraction, at("복사: " + medium + "Halvex.exe -> C:\\RETRIA\\Halvex.exe: 완료"));
  // The library went to the system directory in both runs, and to the install directory.
  EXPECT_EQ(3, std::count_if(log.begin(), log.end(), [&](const std::string& line) {
              return line.find("복사: " + medium + "UNRAR.DLL -> ") == 0;
            }));
  EXPECT_EQ("종료 코드: 0", log.back());
}

TEST(SetupProgram, ASilentAbortBringsTheWizardBackAndLeavingWritesNoLog) {
  const std::string medium =
      MakeMedium("abort",
                 "[APP]\r\nNAME=Abortia\r\nVERSION=1.0\r\nINSTALLDIR=C:\\ABORTIA\r\n"
                 "[BDE]\r\nFILE=ENGINE.RAR\r\nPATH=C:\\ABORTIA-BDE\r\n"
                 "[FILES]\r\nFILE1=PROG.RAR,<INSTALLDIR>\r\n"
                 "[ICONS]\r\nICON1=Programs,Abortia,<INSTALLDIR>\\PROG.EXE\r\n");
  WriteArchive(medium + "ENGINE.RAR", {{"IDAPI32.DLL", "engine"}});
  WriteArchive(medium + "PROG.RAR", {{"PROG.EXE", "program"}});
  // The engine's dBASE settings cannot be written: the run ends without a word.
  ReadOnlyKey dbaseSettings(kDbaseInitKey);

  SetupSession setup(medium);
  setup.GoTo(kSummary);
  ui::Click(setup.Next());
  ui::WaitUntil([&] { return FileExists("C:\\ABORTIA-BDE\\IDAPI32.DLL"); }, "the engine files");
  ExpectBackOnTheSummaryPage(setup);
  Leave(setup, 12);  // the engine's settings were not written

  EXPECT_FALSE(DirectoryExists("C:\\ABORTIA"));  // the run stopped before the FILES table
  EXPECT_FALSE(FileExists("C:\\ABORTIA\\INSTALL.LOG"));
}

// A real install by setup.exe, then Halvex.exe from the install directory.
TEST(SetupProgram, HalvexRemovesWhatTheInstallLoggedAndNothingElse) {
  const std::string title = "펠모라 2.0";
  const std::string app = "C:\\펠모라";
  const std::string uninstallKey = kUninstallKeys + title;
  const std::string productKey = "Software\\Korvane\\펠모라\\2.0";
  const std::string medium = MakeMedium(
      "round-trip",
      "[APP]\r\nNAME=펠모라\r\nVERSION=2.0\r\nCOMPANY=Korvane\r\nINSTALLDIR=" + app +
          "\r\nUNINSTALL=펠모라 제거\r\n"
          "[BDE]\r\nFILE=Paradox.RAR\r\nPATH=C:\\펠모라-BDE\r\n"
          "[FILES]\r\nFILE1=PROG.RAR,<INSTALLDIR>\r\nFILE2=DATA.RAR,<INSTALLDIR>\\자료\r\n"
          "[ICONS]\r\nICON1=Programs,펠모라,<INSTALLDIR>\\PROG.EXE\r\n"
          "ICON2=Desktop,펠모라,<INSTALLDIR>\\PROG.EXE\r\n");
  WriteArchive(medium + "Paradox.RAR", {{"IDAPI32.DLL", "engine"}});
  WriteArchive(medium + "PROG.RAR", {{"PROG.EXE", "program"}, {"도움말\\읽기.TXT", "help"}});
  WriteArchive(medium + "DATA.RAR", {{"표본.DAT", "sample"}, {"B.DAT", "b"}});
  WriteFileBytes(medium + "Dorcel.exe", "settings tool");
  // The product registers for removal itself; setup only logs the key.
  SetRawValue(HKEY_LOCAL_MACHINE, uninstallKey, "DisplayName", REG_SZ, StringValue(title).Data);
  SetRawValue(HKEY_LOCAL_MACHINE, uninstallKey + "\\설정", "UninstallString", REG_SZ,
              StringValue(app + "\\Halvex.exe").Data);

  {
    SetupSession setup(medium);
    InstallThroughTheWizard(setup);
    ui::Click(setup.Cancel());
    ASSERT_EQ(0u, setup.Program().WaitForExit());
  }
  const std::vector<std::string> log = FileLines(app + "\\INSTALL.LOG");
  const std::vector<std::string> files = Payloads(log, "FILE:");
  const std::vector<std::string> links = Payloads(log, "ICON:");
  const std::vector<std::string> dirs = Payloads(log, "DIR:");
  ASSERT_EQ(6u, files.size());  // four archive entries, the log itself, the lock file
  ASSERT_EQ(4u, links.size());  // two table entries, the uninstaller, the settings tool
  ASSERT_EQ((std::vector<std::string>{app, app + "\\자료", ProgramsFolder() + "\\" + title}), dirs);
  ASSERT_EQ(std::vector<std::string>{uninstallKey}, Payloads(log, "REG:"));
  for (const std::string& link : links) ASSERT_TRUE(FileExists(link)) << link;

  Uninstall(app);

  for (const std::string& file : files) EXPECT_FALSE(FileExists(file)) << file;
  for (const std::string& link : links) EXPECT_FALSE(FileExists(link)) << link;
  EXPECT_FALSE(DirectoryExists(dirs[1]));
  EXPECT_FALSE(DirectoryExists(dirs[2]));
  EXPECT_FALSE(KeyExists(HKEY_LOCAL_MACHINE, uninstallKey));
  // What the log does not name stays: the companions copied whole, the directory
  // that extraction made, the engine files, and so the install directory.
  for (const char* kept : {"\\Halvex.exe", "\\Dorcel.exe", "\\UNRAR.DLL", "\\Paradox.RAR"}) {
    EXPECT_TRUE(FileExists(app + kept)) << kept;
  }
  EXPECT_TRUE(DirectoryExists(app + "\\도움말"));
  EXPECT_TRUE(FileExists("C:\\펠모라-BDE\\IDAPI32.DLL"));
  RawValue installDir;
  EXPECT_TRUE(QueryValue(HKEY_LOCAL_MACHINE, productKey, "InstallDir", installDir));
  EXPECT_EQ(StringValue(app), installDir);
}

namespace {

const char kFailedScript[] =
    "[APP]\r\nNAME=Brokara\r\nVERSION=1.0\r\nINSTALLDIR=C:\\BROKARA\r\n"
    "[FILES]\r\nFILE1=PROG.RAR,<INSTALLDIR>\r\n"
    "[ICONS]\r\nICON1=Programs,Brokara,<INSTALLDIR>\\PROG.EXE\r\n";

// Next on the summary page with an archive that cannot be extracted: the error box,
// then the wizard back on its summary page; leaving writes no log.
void ExpectTheRunToStopAtTheArchive(const std::string& medium) {
  SetupSession setup(medium);
  setup.GoTo(kSummary);
  ui::Click(setup.Next());
  const ui::MessageBoxInfo box = ui::WaitForMessageBox(setup.Id());
  EXPECT_EQ("오류", box.Caption);
  EXPECT_EQ(medium + "PROG.RAR 파일의 압축을 풀 수 없습니다.", box.Text);
  ASSERT_EQ(1u, box.Buttons.size());
  EXPECT_TRUE(box.HasIcon);
  ui::AnswerMessageBox(box, IDOK);
  ExpectBackOnTheSummaryPage(setup);
  Leave(setup, 11);  // the archive could not be extracted
  EXPECT_FALSE(FileExists("C:\\BROKARA\\INSTALL.LOG"));
}

void SetReadOnly(const std::string& path, bool readOnly) {
  SetFileAttributesA(path.c_str(), readOnly ? FILE_ATTRIBUTE_READONLY : FILE_ATTRIBUTE_NORMAL);
}

bool IsReadOnly(const std::string& path) {
  const DWORD attributes = GetFileAttributesA(path.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY);
}

std::string SystemDirectory() {
  char buffer[MAX_PATH] = {};
  GetSystemDirectoryA(buffer, MAX_PATH);
  return buffer;
}

}  // namespace

TEST(SetupProgram, AnArchiveThatIsNotOneStopsTheRunWithABox) {
  const ScratchFolder app("C:\\BROKARA");
  const std::string medium = MakeMedium("zip-archive", kFailedScript);
  WriteFileBytes(medium + "PROG.RAR", std::string("PK\x03\x04\x14\x00 a zip archive", 21));
  ExpectTheRunToStopAtTheArchive(medium);
}

TEST(SetupProgram, AnEntryThatFailsItsChecksumStopsTheRunWithABox) {
  const ScratchFolder app("C:\\BROKARA");
  const std::string medium = MakeMedium("damaged-entry", kFailedScript);
  const RarWriterEntry damaged = EntryWithBadDataChecksum("DATA.DBF", "table");
  RarWriter archive;
  archive.AddFile("PROG.EXE", "program").Add(damaged);
  ASSERT_TRUE(archive.Save(medium + "PROG.RAR"));
  ExpectTheRunToStopAtTheArchive(medium);
  EXPECT_EQ("program", ReadFileBytes("C:\\BROKARA\\PROG.EXE"));  // nothing is undone
}

TEST(SetupProgram, NextAgainAfterTheDiskettePromptLogsEachLineOnce) {
  const ScratchFolder app("C:\\RETRIA");
  const std::string medium = MakeMedium(
      "retry",
      "[APP]\r\nNAME=Retria\r\nVERSION=1.0\r\nINSTALLDIR=C:\\RETRIA\r\n"
      "[FILES]\r\nFILE1=DISK1.RAR,<INSTALLDIR>\r\nFILE2=DISK2.RAR,<INSTALLDIR>\\TWO\r\n");
  WriteArchive(medium + "DISK1.RAR", {{"ONE.EXE", "one"}});

  SetupSession setup(medium);
  setup.GoTo(kSummary);
  ui::Click(setup.Next());
  ui::AnswerMessageBox(ui::WaitForMessageBox(setup.Id()), IDCANCEL);
  ExpectBackOnTheSummaryPage(setup);
  WriteArchive(medium + "DISK2.RAR", {{"TWO.EXE", "two"}});  // the diskette is in
  setup.PressAndWaitFor(setup.Next(), kCompleted);
  ui::Click(setup.Cancel());  // "확인"
  EXPECT_EQ(0u, setup.Program().WaitForExit());

  EXPECT_EQ(
      "FILE:C:\\RETRIA\\ONE.EXE\r\n"
      "DIR:C:\\RETRIA\r\n"
      "FILE:C:\\RETRIA\\TWO\\TWO.EXE\r\n"
      "DIR:C:\\RETRIA\\TWO\r\n"
      "FILE:C:\\RETRIA\\INSTALL.LOG\r\n"
      "FILE:C:\\RETRIA\\Korvane.lck\r\n",
      ReadFileBytes("C:\\RETRIA\\INSTALL.LOG"));
}

// A medium pressed from read-only sources (a CD-ROM), installed twice, the second
// time with a newer archive library, then uninstalled.
TEST(SetupProgram, ReadOnlyFilesInstallTwiceAndUninstallCompletely) {
  const ScratchFolder folder("C:\\ROMARA");
  const std::string& app = folder.Path();
  const std::string script =
      "[APP]\r\nNAME=Romara\r\nVERSION=1.0\r\nINSTALLDIR=" + app +
      "\r\nUNINSTALL=Remove\r\nUNINSTALLENTRY=Yes\r\n"
      "[FILES]\r\nFILE1=PROG.RAR,<INSTALLDIR>\r\nFILE2=README.TXT,<INSTALLDIR>,COPY\r\n"
      "[ICONS]\r\nICON1=Programs,Romara,<INSTALLDIR>\\PROG.EXE\r\n";
  RarWriterEntry locked;
  locked.Name = "DATA\\LOCKED.DBF";
  locked.Data = "read-only data";
  locked.Attributes = FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_ARCHIVE;
  RarWriter archive;
  archive.AddFile("PROG.EXE", "program").Add(locked);
  const std::string library = ReadFileBytes(KitOutputPath("UNRAR.DLL"));
  const std::string newerLibrary = library + std::string(512, 'N');  // data after the image

  for (int round = 0; round < 2; ++round) {
    const std::string medium = MakeMedium("read-only-" + std::to_string(round), script);
    ASSERT_TRUE(archive.Save(medium + "PROG.RAR"));
    WriteFileBytes(medium + "README.TXT", "readme");
    if (round == 1) WriteFileBytes(medium + "UNRAR.DLL", newerLibrary);
    for (const char* file : {"setup.exe", "UNRAR.DLL", "Halvex.exe", "PROG.RAR", "README.TXT"}) {
      SetReadOnly(medium + file, true);
    }
    {
      SetupSession setup(medium);
      InstallThroughTheWizard(setup);
      ui::Click(setup.Cancel());
      ASSERT_EQ(0u, setup.Program().WaitForExit());
    }
    const std::string expected = round == 0 ? library : newerLibrary;
    for (const std::string& copy : {app + "\\UNRAR.DLL", SystemDirectory() + "\\UNRAR.DLL"}) {
      EXPECT_EQ(expected, ReadFileBytes(copy)) << copy << " round " << round;
      EXPECT_FALSE(IsReadOnly(copy)) << copy;
    }
    for (const char* copy : {"\\Halvex.exe", "\\README.TXT"}) {
      EXPECT_FALSE(IsReadOnly(app + copy)) << copy;
    }
    EXPECT_TRUE(IsReadOnly(app + "\\DATA\\LOCKED.DBF"));  // as the archive stores it
    for (const char* file : {"setup.exe", "UNRAR.DLL", "Halvex.exe", "PROG.RAR", "README.TXT"}) {
      SetReadOnly(medium + file, false);
    }
  }

  const std::vector<std::string> files = Payloads(FileLines(app + "\\INSTALL.LOG"), "FILE:");
  ASSERT_EQ(4u, files.size());  // two entries, the log itself, the lock file
  const std::string entry = kUninstallKeys + std::string("Romara 1.0");  // in Apps & features
  RawValue uninstall;
  ASSERT_TRUE(QueryValue(HKEY_LOCAL_MACHINE, entry, "UninstallString", uninstall));
  EXPECT_EQ(StringValue("\"" + app + "\\HALVEX.EXE\""), uninstall);
  Uninstall(app);
  EXPECT_FALSE(KeyExists(HKEY_LOCAL_MACHINE, entry));
  for (const std::string& file : files) EXPECT_FALSE(FileExists(file)) << file;
}

// Stored names that reach outside the install directory: the log names each file
// where the library put it, and Halvex removes them all.
TEST(SetupProgram, UnsafeStoredNamesAreLoggedWhereTheyLandedAndRemoved) {
  const ScratchFolder above("C:\\UNSAFA");
  const std::string app = above.Path() + "\\APP";
  MakeDirectories(above.Path());
  WriteFileBytes("C:\\UNSAFA\\UP.TXT", "outside");  // a file of the same name above
  const std::string medium =
      MakeMedium("unsafe-names", "[APP]\r\nNAME=Unsafa\r\nVERSION=1.0\r\nINSTALLDIR=" + app +
                                     "\r\n[FILES]\r\nFILE1=NAMES.RAR,<INSTALLDIR>\r\n");
  WriteArchive(medium + "NAMES.RAR", {{"\\C:\\X.TXT", "1"},
                                      {".\\C:\\Y.TXT", "2"},
                                      {"\\\\srv\\share\\C:\\Z.TXT", "3"},
                                      {"..\\UP.TXT", "4"},
                                      {"SUB\\..\\..\\S.TXT", "5"},
                                      {".profile", "6"},
                                      {"v1..2\\B.TXT", "7"}});
  {
    SetupSession setup(medium);
    InstallThroughTheWizard(setup);
    ui::Click(setup.Cancel());
    ASSERT_EQ(0u, setup.Program().WaitForExit());
  }
  const std::vector<std::string> names = {"X.TXT", "Y.TXT",    "Z.TXT",       "UP.TXT",
                                          "S.TXT", ".profile", "v1..2\\B.TXT"};
  std::vector<std::string> expected;
  for (const std::string& name : names) expected.push_back(app + "\\" + name);
  expected.push_back(app + "\\INSTALL.LOG");
  expected.push_back(app + "\\Korvane.lck");
  const std::vector<std::string> files = Payloads(FileLines(app + "\\INSTALL.LOG"), "FILE:");
  ASSERT_EQ(expected, files);
  for (std::size_t i = 0; i < names.size(); ++i) {
    EXPECT_EQ(std::to_string(i + 1), ReadFileBytes(expected[i])) << names[i];
  }
  Uninstall(app);
  for (const std::string& file : files) EXPECT_FALSE(FileExists(file)) << file;
  EXPECT_EQ("outside", ReadFileBytes("C:\\UNSAFA\\UP.TXT"));
  EXPECT_FALSE(FileExists("C:\\X.TXT"));
}

// UNINSTALLALL=YES, the machine's shell folders and <PROGRAMFILES>: Halvex removes all
// that setup put down and made but the engine, except a file added after the install,
// which keeps its directories; the box names them, and Halvex itself waits for the restart.
TEST(SetupProgram, ALogNamingEverythingLeavesOnlyWhatWasAddedAndWhatWaitsForTheRestart) {
  char programFiles[MAX_PATH] = {};
  ASSERT_TRUE(SUCCEEDED(SHGetFolderPathA(nullptr, CSIDL_PROGRAM_FILES, nullptr, 0, programFiles)));
  const std::string parent = std::string(programFiles) + "\\펠모라사";
  const std::string app = parent + "\\펠모라";
  const std::string productKey = "Software\\펠모라사\\펠모라\\3.0";
  RemoveTree(parent);
  const std::string medium = MakeMedium(
      "everything",
      "[APP]\r\nNAME=펠모라\r\nVERSION=3.0\r\nCOMPANY=펠모라사\r\n"
      "INSTALLDIR=<ProgramFiles>\\펠모라사\\펠모라\r\nUNINSTALL=펠모라 제거\r\nuninstallall=Yes\r\n"
      "[BDE]\r\nFILE=Paradox.RAR\r\nPATH=C:\\펠모라-BDE3\r\n"
      "[FILES]\r\nFILE1=PROG.RAR,<INSTALLDIR>\r\nFILE2=DATA.RAR,<INSTALLDIR>\\자료\r\n"
      "FILE3=LICENSE.TXT,<INSTALLDIR>,COPY\r\n"
      "[ICONS]\r\nICON1=Common Programs,펠모라,<INSTALLDIR>\\PROG.EXE\r\n"
      "ICON2=Common Desktop,펠모라,<INSTALLDIR>\\PROG.EXE\r\n");
  WriteArchive(medium + "Paradox.RAR", {{"IDAPI32.DLL", "engine"}});
  WriteArchive(medium + "PROG.RAR", {{"PROG.EXE", "program"}, {"도움말\\읽기.TXT", "help"}});
  WriteArchive(medium + "DATA.RAR", {{"표본.DAT", "sample"}});
  WriteFileBytes(medium + "Dorcel.exe", "settings tool");
  WriteFileBytes(medium + "LICENSE.TXT", "licence");
  DeleteRawValue(HKEY_LOCAL_MACHINE, kSessionManager, kPending);
  {
    SetupSession setup(medium);
    InstallThroughTheWizard(setup);
    ui::Click(setup.Cancel());
    ASSERT_EQ(0u, setup.Program().WaitForExit());
  }
  const std::vector<std::string> log = FileLines(app + "\\INSTALL.LOG");
  ASSERT_FALSE(log.empty());
  EXPECT_EQ(std::vector<std::string>{productKey}, Payloads(log, "KEY:"));
  const std::vector<std::string> links = Payloads(log, "ICON:");
  ASSERT_EQ(4u, links.size());
  WriteFileBytes(app + "\\자료\\MINE.TXT", "added after the install");

  ui::Process halvex = ui::Process::Start("\"" + app + "\\Halvex.exe\"", app);
  ui::MessageBoxInfo box = ui::WaitForMessageBox(halvex.Id());
  ui::AnswerMessageBox(box, IDYES);
  ui::WaitForWindowGone(box.Window);
  box = ui::WaitForMessageBox(halvex.Id());
  EXPECT_EQ(
      "프로그램 삭제를 완료 했습니다.\r\n\r\n다음 폴더에는 다른 파일이 남아 있어 지우지 "
      "않았습니다:\r\n" +
          app + "\\자료\r\n" + app + "\r\n" + parent,
      box.Text);
  ui::AnswerMessageBox(box, IDOK);
  EXPECT_EQ(0u, halvex.WaitForExit());

  for (const std::string& link : links) EXPECT_FALSE(FileExists(link)) << link;
  for (const char* gone : {"\\PROG.EXE", "\\도움말", "\\자료\\표본.DAT", "\\Dorcel.exe",
                           "\\UNRAR.DLL", "\\Paradox.RAR", "\\LICENSE.TXT", "\\INSTALL.LOG"}) {
    EXPECT_EQ(INVALID_FILE_ATTRIBUTES, GetFileAttributesA((app + gone).c_str())) << gone;
  }
  EXPECT_EQ("added after the install", ReadFileBytes(app + "\\자료\\MINE.TXT"));
  EXPECT_TRUE(FileExists(app + "\\Halvex.exe"));  // until the restart
  RawValue pending;
  ASSERT_TRUE(QueryValue(HKEY_LOCAL_MACHINE, kSessionManager, kPending, pending));
  EXPECT_EQ(std::string("\\??\\") + app + "\\Halvex.exe",
            pending.Data.substr(0, pending.Data.find('\0')));
  EXPECT_FALSE(KeyExists(HKEY_LOCAL_MACHINE, "Software\\펠모라사"));
  EXPECT_TRUE(FileExists("C:\\펠모라-BDE3\\IDAPI32.DLL"));  // the engine is shared
  EXPECT_TRUE(FileExists(SystemDirectory() + "\\UNRAR.DLL"));

  // Installed again before that restart: the new Halvex.exe is not handed to it.
  {
    SetupSession setup(medium);
    InstallThroughTheWizard(setup);
    ui::Click(setup.Cancel());
    ASSERT_EQ(0u, setup.Program().WaitForExit());
  }
  pending = {};
  QueryValue(HKEY_LOCAL_MACHINE, kSessionManager, kPending, pending);
  EXPECT_EQ(std::string::npos, pending.Data.find("Halvex.exe")) << pending.Data;
  EXPECT_TRUE(FileExists(app + "\\Halvex.exe"));
  DeleteRawValue(HKEY_LOCAL_MACHINE, kSessionManager, kPending);
  RemoveTree(parent);
}
