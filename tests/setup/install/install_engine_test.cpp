// The install engine, run in the test process on a real progress window with the
// stand-in UNRAR.DLL: the engine branch, the overwrite decision, the FILES table,
// the disk prompt, shortcuts and registration, stored names, and the silent abort.
#include "rar_writer/rar_writer.h"
#include "setup/support/install_test_support.h"

#include "support/registry_support.h"
#include "support/test_support.h"

#include "setup/date_settings.h"
#include "setup/install_actions.h"
#include "setup/install_engine.h"
#include "setup/install_settings.h"
#include "setup/support/setup_globals.h"
#include "setup/windows/progress_window.h"
#include "support/scopes.h"
#include "text/text.h"
#include "ui/application.h"
#include "win/com_ptr.h"
#include "win/errors.h"
#include "win/file_system.h"

#include <gtest/gtest.h>

#include <objbase.h>

#include <algorithm>
#include <memory>

namespace {

const char kEngineLibraryKey[] = "SOFTWARE\\Borland\\BLW32";
const char kEngineKey[] = "SOFTWARE\\Borland\\Database Engine";
const char kDbaseInitKey[] = "SOFTWARE\\Borland\\Database Engine\\Settings\\DRIVERS\\DBASE\\INIT";
const char kParadoxInitKey[] =
    "SOFTWARE\\Borland\\Database Engine\\Settings\\DRIVERS\\PARADOX\\INIT";
const char kSystemInitKey[] = "SOFTWARE\\Borland\\Database Engine\\Settings\\SYSTEM\\INIT";
const char kUninstallLine[] = "REG:Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\";

std::string SystemDirectory() {
  char buffer[MAX_PATH] = {};
  GetSystemDirectoryA(buffer, MAX_PATH);
  return buffer;
}

std::string CurrentDirectory() {
  char buffer[MAX_PATH] = {};
  GetCurrentDirectoryA(MAX_PATH, buffer);
  return buffer;
}

std::string Value(const char* key, const std::string& name) {
  RawValue value;
  if (!QueryValue(HKEY_LOCAL_MACHINE, key, name, value)) return "<missing>";
  return value.Data.substr(0, value.Data.find('\0'));
}

class InstallRun : public ::testing::Test {
 protected:
  ComApartment com;  // the shortcuts of a run are COM objects
  SetupGlobalsScope globals;
  CurrentDirectoryScope startDirectory;  // a completed run changes it

  void SetUp() override {
    SetStartupDateSettings();
    root = ScratchDir(std::string("engine-") +
                      ::testing::UnitTest::GetInstance()->current_test_info()->name());
    medium = root + "MEDIUM\\";
    app = root + "APP";
    engine = root + "BDE";
    MakeDirectories(medium);
    TInstallSettings& s = InstallSettings;
    s.SourceDir = medium;
    s.ProductName = "Pelmora";
    s.ProductVersion = "1.0";
    s.ProductTitle = "Pelmora 1.0";
    s.CompanyName = "Korvane";
    s.InstallDir = app;
    s.DbEngineDir = engine;
    s.DbEngineConfigFile = "IDAPI32.CFG";
    s.DbEngineDate = "96-05-01";
    s.ParadoxLangDriver = "korea";
    s.DbaseLangDriver = "DB949KO0";
    s.DbEngineOverwrite = "FALSE";
    form = std::make_unique<TfmInstall>(Application);
    form->FormCreate();
  }
  void TearDown() override { form.reset(); }

  void AddFile(unsigned slot, const std::string& source, const std::string& dest,
               const std::string& mode) {
    InstallSettings.FileEntries[slot - 1] = {source, dest, mode};
    InstallSettings.FileCount = std::max(InstallSettings.FileCount, slot);
  }
  void AddIcon(unsigned slot, const IconEntry& icon) {
    InstallSettings.IconEntries[slot - 1] = icon;
    InstallSettings.IconCount = std::max(InstallSettings.IconCount, slot);
  }
  // The engine archive, with one file that is not yet installed anywhere.
  void ShipEngine(const std::string& idapi = "new engine") {
    WriteArchive(medium + "ENGINE.RAR", {{"IDAPI32.DLL", idapi}, {"LANGDRV\\KOREA.LD", "ld"}});
    InstallSettings.DbEngineArchive = "ENGINE.RAR";
  }
  void InstallEngine(const std::string& content, const SYSTEMTIME& written) {
    MakeDirectories(engine);
    WriteFileBytes(engine + "\\IDAPI32.DLL", content);
    SetLastWriteTime(engine + "\\IDAPI32.DLL", written);
  }

  bool Run() { return RunInstall(form->Progress()); }
  // A run that stops at an archive it cannot extract: the box that names it, OK.
  void ExpectRunToStopAt(const std::string& archive) {
    BoxAnswers answers({IDOK});
    EXPECT_FALSE(Run());
    ASSERT_EQ("", answers.Finish());
    ASSERT_EQ(1u, answers.Boxes().size());
    EXPECT_EQ(medium + archive + " 파일의 압축을 풀 수 없습니다.", answers.Boxes()[0].Text);
  }
  const std::vector<std::string>& Lines() const { return form->InstallLog->Lines(); }

  std::string root, medium, app, engine;
  std::unique_ptr<TfmInstall> form;
};

}  // namespace

TEST_F(InstallRun, TheEngineAndCrwArchivesPutDownSharedFilesWithoutLogLines) {
  ShipEngine();
  WriteArchive(medium + "CRW.RAR", {{"KITCRW01.DLL", "crw"}});
  WriteArchive(medium + "PROG.RAR", {{"PROG.EXE", "prog"}});
  WriteFileBytes(medium + "UNRAR.DLL", "library");
  InstallSettings.CrwArchive = "CRW.RAR";
  InstallSettings.ParadoxLangDriver = "kor2";
  InstallSettings.DbaseLangDriver = "DB949XX0";
  AddFile(1, "PROG.RAR", "<WINSYSDIR>", "COPY");
  AddFile(2, "PROG.RAR", "<INSTALLDIR>", "");
  MakeDirectories(app);

  EXPECT_TRUE(Run());
  EXPECT_TRUE(InstallDone);
  EXPECT_FALSE(NoFileLog);
  EXPECT_FALSE(form->Visible());
  EXPECT_EQ(app, CurrentDirectory());

  const std::string sys = SystemDirectory();
  EXPECT_EQ("new engine", ReadFileBytes(engine + "\\IDAPI32.DLL"));
  EXPECT_EQ("ld", ReadFileBytes(engine + "\\LANGDRV\\KOREA.LD"));
  EXPECT_FALSE(DirectoryExists(engine + "_2"));
  EXPECT_EQ("crw", ReadFileBytes(sys + "\\KITCRW01.DLL"));
  EXPECT_EQ("library", ReadFileBytes(sys + "\\UNRAR.DLL"));
  EXPECT_EQ(ReadFileBytes(medium + "PROG.RAR"), ReadFileBytes(sys + "\\PROG.RAR"));
  EXPECT_EQ(ReadFileBytes(medium + "ENGINE.RAR"), ReadFileBytes(app + "\\ENGINE.RAR"));
  EXPECT_EQ("library", ReadFileBytes(app + "\\UNRAR.DLL"));
  // The first FILES entry is a copy: its line names the CRW archive's target.
  EXPECT_EQ((std::vector<std::string>{"DIR:" + sys, "FILE:" + app + "\\PROG.EXE", "DIR:" + app}),
            Lines());

  // The fixed configuration, adjusted to the script's drivers and directory.
  EXPECT_EQ(engine, Value(kEngineLibraryKey, "BLAPIPATH"));
  EXPECT_EQ(engine + "\\USA.BLL", Value(kEngineLibraryKey, "LOCALE_LIB1"));
  EXPECT_EQ(engine + "\\FAREAST.BLL", Value(kEngineLibraryKey, "LOCALE_LIB6"));
  EXPECT_EQ(engine + "\\IDAPI32.CFG", Value(kEngineKey, "CONFIGFILE01"));
  EXPECT_EQ(engine, Value(kEngineKey, "DLLPATH"));
  EXPECT_EQ("WIN32", Value(kEngineKey, "SaveConfig"));
  EXPECT_EQ("DB949XX0", Value(kDbaseInitKey, "LANGDRIVER"));
  EXPECT_EQ("kor2", Value(kParadoxInitKey, "LANGDRIVER"));
  EXPECT_EQ("kor2", Value(kSystemInitKey, "LANGDRIVER"));
  EXPECT_EQ("PARADOX", Value(kSystemInitKey, "DEFAULT DRIVER"));
}

TEST_F(InstallRun, AnEngineDirectoryWithoutBackupBecomesTheBackup) {
  ShipEngine();
  InstallEngine("old engine", MakeSystemTime(2030, 1, 1));
  WriteFileBytes(engine + "\\OLD.DLL", "old");

  EXPECT_TRUE(Run());
  EXPECT_EQ("old engine", ReadFileBytes(engine + "_2\\IDAPI32.DLL"));
  EXPECT_EQ("old", ReadFileBytes(engine + "_2\\OLD.DLL"));
  EXPECT_EQ("new engine", ReadFileBytes(engine + "\\IDAPI32.DLL"));
  EXPECT_FALSE(FileExists(engine + "\\OLD.DLL"));
  EXPECT_TRUE(Lines().empty());
}

TEST_F(InstallRun, WithABackupPresentTheEngineFilesGoToTheTrashAndTheRestStays) {
  ShipEngine();
  MakeDirectories(engine + "_2");
  WriteFileBytes(engine + "_2\\KEEP.DLL", "older backup");
  InstallEngine("old engine", MakeSystemTime(2030, 1, 1));
  WriteFileBytes(engine + "\\ENGTRASH.DLL", "old");
  MakeDirectories(engine + "\\SUB");
  WriteFileBytes(engine + "\\SUB\\S.CFG", "sub");

  EXPECT_TRUE(Run());
  EXPECT_EQ("older backup", ReadFileBytes(engine + "_2\\KEEP.DLL"));
  EXPECT_FALSE(FileExists(engine + "_2\\IDAPI32.DLL"));
  EXPECT_FALSE(FileExists(engine + "\\ENGTRASH.DLL"));
  EXPECT_EQ("sub", ReadFileBytes(engine + "\\SUB\\S.CFG"));
  // The installed engine went away first, so the shipped one is written.
  EXPECT_EQ("new engine", ReadFileBytes(engine + "\\IDAPI32.DLL"));
  EXPECT_EQ("ld", ReadFileBytes(engine + "\\LANGDRV\\KOREA.LD"));
}

TEST_F(InstallRun, WhenTheEngineCannotBeSetAsideTheDateDecidesAboutItsFiles) {
  ShipEngine();
  WriteFileBytes(engine + "_2", "a file in the backup's place");  // the rename fails
  InstallEngine("installed", MakeSystemTime(2020, 1, 2, 10, 0, 0));
  InstallSettings.DbEngineDate = "2020-01-02";
  EXPECT_TRUE(Run());
  EXPECT_EQ("installed", ReadFileBytes(engine + "\\IDAPI32.DLL"));
  EXPECT_EQ("ld", ReadFileBytes(engine + "\\LANGDRV\\KOREA.LD"));  // missing ones are added

  InstallSettings.DbEngineDate = "2020-01-03";
  EXPECT_TRUE(Run());
  EXPECT_EQ("new engine", ReadFileBytes(engine + "\\IDAPI32.DLL"));
}

TEST_F(InstallRun, ADateThatDoesNotConvertEndsTheRunWithTheSilentAbort) {
  ShipEngine();
  WriteFileBytes(engine + "_2", "a file in the backup's place");
  InstallEngine("installed", MakeSystemTime(2020, 1, 2));
  InstallSettings.DbEngineDate = "1996-13-45";
  WriteFileBytes(medium + "UNRAR.DLL", "library");
  WriteArchive(medium + "PROG.RAR", {{"PROG.EXE", "prog"}});
  AddFile(1, "PROG.RAR", "<INSTALLDIR>", "");

  EXPECT_THROW(Run(), EAbort);
  EXPECT_FALSE(InstallDone);
  EXPECT_FALSE(NoFileLog);
  EXPECT_TRUE(form->Visible());  // left as it was
  EXPECT_EQ(startDirectory.Previous(), CurrentDirectory());
  EXPECT_EQ("library", ReadFileBytes(SystemDirectory() + "\\UNRAR.DLL"));  // nothing undone
  EXPECT_EQ("installed", ReadFileBytes(engine + "\\IDAPI32.DLL"));
  EXPECT_FALSE(DirectoryExists(app));
  EXPECT_TRUE(Lines().empty());
  form->Hide();
}

TEST_F(InstallRun, EachFilesEntryFollowsItsModeAndLeavesOneDirectoryLine) {
  WriteArchive(medium + "A.RAR", {{"A1.TXT", "a1"}, {"SUB\\A2.TXT", "a2"}});
  WriteArchive(medium + "B.RAR", {{"B1.TXT", "new"}, {"B2.TXT", "b2"}});
  WriteArchive(medium + "C.RAR", {{"C.TXT", "c"}});
  WriteArchive(medium + "D.RAR", {{"D.TXT", "d"}});
  WriteArchive(medium + "E.rar", {{"E.TXT", "e"}});
  WriteArchive(medium + "F.Rar", {{"F.TXT", "f"}});
  WriteFileBytes(medium + "NOTES.TXT", "notes");
  WriteFileBytes(medium + "README.TXT", "readme");
  MakeDirectories(app + "\\B");
  MakeDirectories(app + "\\C");
  WriteFileBytes(app + "\\B\\B1.TXT", "old");
  AddFile(1, "A.RAR", "<INSTALLDIR>", "");
  AddFile(2, "B.RAR", "<INSTALLDIR>\\B", "FAILIFEXISTS");
  AddFile(3, "C.RAR", "<INSTALLDIR>\\C", "COPY");
  AddFile(4, "D.RAR", "<INSTALLDIR>\\D", "SOMETIMES");
  AddFile(5, "E.rar", "<INSTALLDIR>\\E", "");
  AddFile(6, "F.Rar", "<INSTALLDIR>\\F", "FAILIFEXISTS");
  AddFile(7, "NOTES.TXT", "<INSTALLDIR>\\N", "FAILIFEXISTS");
  AddFile(8, "README.TXT", "<INSTALLDIR>", "COPY");

  EXPECT_TRUE(Run());
  EXPECT_EQ((std::vector<std::string>{
                "FILE:" + app + "\\A1.TXT", "FILE:" + app + "\\SUB\\A2.TXT", "DIR:" + app,
                "FILE:" + app + "\\B\\B2.TXT", "DIR:" + app + "\\B",
                "DIR:" + app + "\\B",  // a copy names the last extraction's target
                "DIR:" + app + "\\B",  // so does an unknown mode
                "FILE:" + app + "\\E\\E.TXT", "DIR:" + app + "\\E", "FILE:" + app + "\\F\\F.TXT",
                "DIR:" + app + "\\F", "DIR:" + app + "\\F", "DIR:" + app + "\\F"}),
            Lines());
  EXPECT_EQ("old", ReadFileBytes(app + "\\B\\B1.TXT"));
  EXPECT_EQ(ReadFileBytes(medium + "C.RAR"), ReadFileBytes(app + "\\C\\C.RAR"));
  EXPECT_FALSE(FileExists(app + "\\C\\C.TXT"));
  EXPECT_FALSE(DirectoryExists(app + "\\D"));
  EXPECT_FALSE(DirectoryExists(app + "\\N"));
  EXPECT_EQ("readme", ReadFileBytes(app + "\\README.TXT"));
}

TEST_F(InstallRun, TheDiskPromptAsksUntilTheNextArchiveIsThere) {
  AddFile(1, "DISK2.RAR", "<INSTALLDIR>", "");
  BoxAnswers answers({IDOK, IDOK}, [&](int index) {
    if (index == 1) WriteArchive(medium + "DISK2.RAR", {{"TWO.TXT", "two"}});
  });
  EXPECT_TRUE(Run());
  ASSERT_EQ("", answers.Finish());
  ASSERT_EQ(2u, answers.Boxes().size());
  const ui_driver::MessageBoxInfo& box = answers.Boxes()[0];
  EXPECT_EQ("Disk", box.Caption);
  EXPECT_EQ("다음 디스켓을 넣으신 후 확인을 누루세요.", box.Text);
  ASSERT_EQ(2u, box.Buttons.size());
  EXPECT_EQ(IDOK, box.Buttons[0].Id);
  EXPECT_EQ(IDCANCEL, box.Buttons[1].Id);
  EXPECT_EQ(LoadIcon(nullptr, IDI_QUESTION), answers.Icons()[0]);
  EXPECT_EQ("two", ReadFileBytes(app + "\\TWO.TXT"));
  EXPECT_EQ((std::vector<std::string>{"FILE:" + app + "\\TWO.TXT", "DIR:" + app}), Lines());
  EXPECT_TRUE(InstallDone);
}

TEST_F(InstallRun, CancelAtAGapInTheTableEndsTheRunKeepingWhatWasDone) {
  WriteArchive(medium + "DISK1.RAR", {{"ONE.TXT", "one"}});
  WriteArchive(medium + "DISK3.RAR", {{"THREE.TXT", "three"}});
  WriteFileBytes(medium + "Halvex.exe", "uninstaller");
  AddFile(1, "DISK1.RAR", "<INSTALLDIR>", "");
  AddFile(3, "DISK3.RAR", "<INSTALLDIR>", "");  // slot 2 is empty: no file is named ""
  BoxAnswers answers({IDOK, IDCANCEL});
  EXPECT_FALSE(Run());
  ASSERT_EQ("", answers.Finish());
  EXPECT_EQ(2u, answers.Boxes().size());
  EXPECT_FALSE(InstallDone);
  EXPECT_FALSE(form->Visible());
  EXPECT_EQ(startDirectory.Previous(), CurrentDirectory());
  EXPECT_EQ("one", ReadFileBytes(app + "\\ONE.TXT"));
  EXPECT_FALSE(FileExists(app + "\\THREE.TXT"));
  EXPECT_FALSE(FileExists(app + "\\Halvex.exe"));
  EXPECT_EQ((std::vector<std::string>{"FILE:" + app + "\\ONE.TXT", "DIR:" + app}), Lines());
}

TEST_F(InstallRun, ShortcutsGoIntoTheGroupOrTheirFolderAndEndWithRegistration) {
  TInstallSettings& s = InstallSettings;
  s.ProductName = "Lnkvara";
  s.ProductTitle = "Lnkvara 1.0";
  s.UninstallLinkName = "Remove";
  ShipEngine();
  WriteFileBytes(medium + "Halvex.exe", "uninstaller");
  WriteFileBytes(medium + "Dorcel.exe", "settings tool");
  WriteFileBytes(medium + "TUTIL32.DLL", "tools");
  WriteArchive(medium + "PROG.RAR", {{"PROG.EXE", "prog"}});
  AddFile(1, "PROG.RAR", "<INSTALLDIR>", "");
  AddIcon(1, {"Programs", "Lnkvara", "<INSTALLDIR>\\PROG.EXE", "/data <INSTALLDIR>"});
  AddIcon(2, {"Desktop", "Lnkvara", "<INSTALLDIR>\\PROG.EXE", ""});
  AddIcon(3, {"programs", "Help", "<INSTALLDIR>\\HELP.TXT", ""});

  EXPECT_TRUE(Run());
  const std::string group = ProgramsFolder() + "\\Lnkvara 1.0";
  std::string desktop;
  {
    RawValue value;
    QueryValue(HKEY_CURRENT_USER,
               "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders", "Desktop",
               value);
    desktop = value.Data.substr(0, value.Data.find('\0'));
  }
  EXPECT_EQ((std::vector<std::string>{
                "FILE:" + app + "\\PROG.EXE", "DIR:" + app, "ICON:" + group + "\\Lnkvara.LNK",
                "ICON:" + desktop + "\\Lnkvara.LNK", "ICON:" + group + "\\Help.LNK",
                "ICON:" + group + "\\Remove.LNK", "ICON:" + group + "\\환경설정.LNK",
                "DIR:" + group, kUninstallLine + std::string("Lnkvara 1.0")}),
            Lines());
  for (const std::string& line : Lines()) {
    if (StartsWith(line, "ICON:")) {
      EXPECT_TRUE(FileExists(line.substr(5))) << line;
    }
  }
  EXPECT_EQ("uninstaller", ReadFileBytes(app + "\\Halvex.exe"));
  EXPECT_EQ("settings tool", ReadFileBytes(app + "\\Dorcel.exe"));
  EXPECT_EQ("tools", ReadFileBytes(app + "\\TUTIL32.DLL"));
  EXPECT_EQ(app, Value("Software\\Korvane\\Lnkvara\\1.0", "InstallDir"));
}

TEST_F(InstallRun, WithoutShortcutsThereIsNoRegistrationAtAll) {
  InstallSettings.ProductName = "Nolinka";
  InstallSettings.ProductTitle = "Nolinka 1.0";
  InstallSettings.UninstallLinkName = "Remove";
  WriteFileBytes(medium + "Halvex.exe", "uninstaller");
  MakeDirectories(app);
  EXPECT_TRUE(Run());
  EXPECT_TRUE(Lines().empty());
  EXPECT_EQ("uninstaller", ReadFileBytes(app + "\\Halvex.exe"));
  EXPECT_FALSE(DirectoryExists(ProgramsFolder() + "\\Nolinka 1.0"));
  EXPECT_FALSE(KeyExists(HKEY_LOCAL_MACHINE, "Software\\Korvane\\Nolinka"));
  EXPECT_EQ(app, CurrentDirectory());
}

TEST_F(InstallRun, AProductKeyThatCannotBeOpenedIsPassedOver) {
  InstallSettings.ProductName = "Lockedra";
  InstallSettings.ProductTitle = "Lockedra 1.0";
  const char productKey[] = "Software\\Korvane\\Lockedra\\1.0";
  MakeKeyReadOnly(HKEY_LOCAL_MACHINE, productKey);
  MakeDirectories(app);
  AddIcon(1, {"Programs", "Lockedra", "<INSTALLDIR>\\PROG.EXE", ""});
  const bool done = Run();
  MakeKeyWritable(HKEY_LOCAL_MACHINE, productKey);
  EXPECT_TRUE(done);
  EXPECT_TRUE(InstallDone);
  EXPECT_EQ("<missing>", Value(productKey, "InstallDir"));
  EXPECT_EQ(kUninstallLine + std::string("Lockedra 1.0"), Lines().back());
}

TEST_F(InstallRun, StoredNamesReachingOutsideTheTargetAreLoggedWhereTheyLanded) {
  WriteArchive(medium + "ESCAPE.RAR", {{"..\\..\\ESCAPE1.TXT", "1"},
                                       {"C:\\ESCAPE2.TXT", "2"},
                                       {"SUB\\..\\..\\ESCAPE3.TXT", "3"},
                                       {"/ESCAPE4.TXT", "4"},
                                       {"\\\\SERVER\\SHARE\\ESCAPE5.TXT", "5"}});
  AddFile(1, "ESCAPE.RAR", "<INSTALLDIR>\\IN", "");
  EXPECT_TRUE(Run());
  ASSERT_EQ(6u, Lines().size());
  for (int i = 0; i < 5; ++i) {
    const std::string name = "ESCAPE" + std::to_string(i + 1) + ".TXT";
    EXPECT_EQ("FILE:" + app + "\\IN\\" + name, Lines()[i]);
    EXPECT_EQ(std::to_string(i + 1), ReadFileBytes(app + "\\IN\\" + name));
    EXPECT_FALSE(FileExists(app + "\\" + name));
    EXPECT_FALSE(FileExists(root + name));
    EXPECT_FALSE(FileExists("C:\\" + name));
  }
}

namespace {

// The engine without a window: what it asks of the progress window, answered here.
class FakeProgress : public TInstallProgress {
 public:
  void ShowProgress() override { ++Shown; }
  void HideProgress() override { ++Hidden; }
  bool Extract(const std::string& archive, const std::string& targetDir,
               bool failIfExists) override {
    return Rar.ExtractArchive(archive, targetDir, failIfExists);
  }
  TRAR& Archive() override { return Rar; }
  TShellFileOperation& FileOperation() override { return Fop; }
  TInstallLog& Log() override { return Lines; }
  void ProcessMessages() override {}
  int AskUser(const std::string&, const std::string&, UINT) override {
    ++Asked;
    return 0;  // what a message box answers when it cannot be shown
  }

  TRAR Rar;
  TShellFileOperation Fop;
  TInstallLog Lines;
  int Shown = 0, Hidden = 0, Asked = 0;
};

}  // namespace

TEST_F(InstallRun, ADiskPromptThatCannotBeShownEndsTheRunInsteadOfAskingForever) {
  AddFile(1, "MISSING.RAR", "<INSTALLDIR>", "");
  FakeProgress progress;
  EXPECT_FALSE(RunInstall(progress));
  EXPECT_EQ(1, progress.Asked);
  EXPECT_EQ(1, progress.Shown);
  EXPECT_EQ(1, progress.Hidden);
  EXPECT_FALSE(InstallDone);
}

namespace {

// Actions that do nothing, except raise at the step named.
class FailingActions final : public TInstallActions {
 public:
  explicit FailingActions(std::string failAt) : failAt_(std::move(failAt)) {}
  void CopyWholeFile(const std::string&, const std::string&) override {}
  void SetEngineAside(TShellFileOperation&) override {}
  bool EngineFailIfExists() override { return Step("date"), false; }
  void ConfigureEngine() override { Step("engine"); }
  std::string MakeShortcut(const std::string&, const std::string& linkName, const std::string&,
                           const std::string&) override {
    Step("shortcut");
    return linkName;
  }
  void Register(TInstallLog&, bool) override {}
  void EnterInstallDirectory() override {}

 private:
  void Step(const char* name) const {
    if (failAt_ == name) throw Exception(std::string("failed: ") + name);
  }
  std::string failAt_;
};

}  // namespace

TEST_F(InstallRun, EachWayARunEndsIsItsOutcome) {
  ShipEngine();
  WriteArchive(medium + "PROG.RAR", {{"PROG.EXE", "prog"}});
  AddFile(1, "PROG.RAR", "<INSTALLDIR>", "");
  AddIcon(1, {"Programs", "Pelmora", "<INSTALLDIR>\\PROG.EXE", ""});
  for (const auto& [failAt, outcome] : std::vector<std::pair<std::string, InstallOutcome>>{
           {"date", InstallOutcome::EngineDateInvalid},
           {"engine", InstallOutcome::EngineNotWritten},
           {"shortcut", InstallOutcome::Stopped},
           {"", InstallOutcome::Completed}}) {
    FakeProgress progress;
    FailingActions actions(failAt);
    EXPECT_EQ(outcome, RunInstallFor(progress, actions)) << failAt;
    // A step that raised leaves the window to the caller.
    EXPECT_EQ(outcome == InstallOutcome::Completed ? 1 : 0, progress.Hidden) << failAt;
    EXPECT_EQ(outcome == InstallOutcome::Completed, InstallDone) << failAt;
  }
  // The wizard's run keeps the silent abort for every outcome it does not tell.
  FakeProgress progress;
  FailingActions actions("engine");
  EXPECT_THROW(RunInstall(progress, actions), EAbort);

  AddFile(2, "MISSING.RAR", "<INSTALLDIR>", "");
  FakeProgress prompted;
  FailingActions none("");
  EXPECT_EQ(InstallOutcome::DisketteMissing, RunInstallFor(prompted, none));
  EXPECT_EQ(1, prompted.Asked);
}

TEST_F(InstallRun, AnArchiveThatCannotBeExtractedEndsTheRunAndSaysSo) {
  WriteArchive(medium + "ONE.RAR", {{"ONE.TXT", "one"}});
  WriteFileBytes(medium + "PROG.RAR", std::string("PK\x03\x04 a zip archive", 19));
  WriteArchive(medium + "LATER.RAR", {{"LATER.TXT", "later"}});
  WriteFileBytes(medium + "Halvex.exe", "uninstaller");
  AddFile(1, "ONE.RAR", "<INSTALLDIR>", "");
  AddFile(2, "PROG.RAR", "<INSTALLDIR>", "");
  AddFile(3, "LATER.RAR", "<INSTALLDIR>", "");
  AddIcon(1, {"Programs", "Pelmora", "<INSTALLDIR>\\ONE.TXT", ""});

  BoxAnswers answers({IDOK});
  EXPECT_FALSE(Run());
  ASSERT_EQ("", answers.Finish());
  ASSERT_EQ(1u, answers.Boxes().size());
  const ui_driver::MessageBoxInfo& box = answers.Boxes()[0];
  EXPECT_EQ("오류", box.Caption);
  EXPECT_EQ(medium + "PROG.RAR 파일의 압축을 풀 수 없습니다.", box.Text);
  ASSERT_EQ(1u, box.Buttons.size());
  EXPECT_EQ(IDOK, box.Buttons[0].Id);
  EXPECT_EQ(LoadIcon(nullptr, IDI_HAND), answers.Icons()[0]);
  EXPECT_FALSE(InstallDone);
  EXPECT_FALSE(form->Visible());
  EXPECT_EQ(startDirectory.Previous(), CurrentDirectory());
  EXPECT_EQ("one", ReadFileBytes(app + "\\ONE.TXT"));  // nothing is undone
  EXPECT_FALSE(FileExists(app + "\\LATER.TXT"));
  EXPECT_FALSE(FileExists(app + "\\Halvex.exe"));
  EXPECT_EQ((std::vector<std::string>{"FILE:" + app + "\\ONE.TXT", "DIR:" + app}), Lines());
}

TEST_F(InstallRun, AnEntryThatFailsItsChecksumOrCannotBeWrittenEndsTheRun) {
  const RarWriterEntry damaged = EntryWithBadDataChecksum("DAMAGED.DAT", "broken");
  RarWriter writer;
  writer.AddFile("GOOD.DAT", "good").Add(damaged).AddFile("AFTER.DAT", "after");
  ASSERT_TRUE(writer.Save(medium + "DATA.RAR"));
  WriteArchive(medium + "BUSY.RAR", {{"BUSY.DAT", "new"}});
  AddFile(1, "DATA.RAR", "<INSTALLDIR>", "");
  ExpectRunToStopAt("DATA.RAR");
  EXPECT_EQ("after", ReadFileBytes(app + "\\AFTER.DAT"));  // the archive was read to its end

  // A target that cannot be written (here: a directory in its place) counts too.
  MakeDirectories(app + "\\BUSY.DAT");
  AddFile(1, "BUSY.RAR", "<INSTALLDIR>", "");
  ExpectRunToStopAt("BUSY.RAR");

  // Entries kept because they exist are no failure.
  RemoveTree(app + "\\BUSY.DAT");
  WriteFileBytes(app + "\\BUSY.DAT", "old");
  AddFile(1, "BUSY.RAR", "<INSTALLDIR>", "FAILIFEXISTS");
  EXPECT_TRUE(Run());
  EXPECT_EQ("old", ReadFileBytes(app + "\\BUSY.DAT"));
}

TEST_F(InstallRun, AnEngineOrCrwArchiveThatCannotBeExtractedStopsBeforeAnythingUsesIt) {
  WriteFileBytes(medium + "ENGINE.RAR", "not an archive");
  InstallSettings.DbEngineArchive = "ENGINE.RAR";
  InstallSettings.DbEngineDir = engine + "-broken";
  ExpectRunToStopAt("ENGINE.RAR");
  // The engine is not configured for files that are not there.
  EXPECT_NE(engine + "-broken", Value(kEngineLibraryKey, "BLAPIPATH"));
  EXPECT_FALSE(NoFileLog);

  InstallSettings.DbEngineArchive.clear();
  InstallSettings.CrwArchive = "CRW.RAR";  // not on the medium
  WriteArchive(medium + "PROG.RAR", {{"PROG.EXE", "prog"}});
  AddFile(1, "PROG.RAR", "<INSTALLDIR>", "");
  ExpectRunToStopAt("CRW.RAR");
  EXPECT_FALSE(DirectoryExists(app));
}

TEST_F(InstallRun, ReadOnlyCopiesAreReplacedAndComeOutWritable) {
  WriteFileBytes(medium + "README.TXT", "new readme");
  WriteFileBytes(medium + "TUTIL32.DLL", "new tools");
  MakeDirectories(app);
  WriteFileBytes(app + "\\README.TXT", "old readme");
  WriteFileBytes(app + "\\TUTIL32.DLL", "old tools");
  for (const char* name : {"\\README.TXT", "\\TUTIL32.DLL"}) {
    SetFileAttributesA((app + name).c_str(), FILE_ATTRIBUTE_READONLY);
    SetFileAttributesA((medium + name).c_str(), FILE_ATTRIBUTE_READONLY);  // a CD-ROM
  }
  AddFile(1, "README.TXT", "<INSTALLDIR>", "COPY");
  EXPECT_TRUE(Run());
  for (const char* name : {"\\README.TXT", "\\TUTIL32.DLL"}) {
    EXPECT_EQ(0u, GetFileAttributesA((app + name).c_str()) & FILE_ATTRIBUTE_READONLY) << name;
    SetFileAttributesA((medium + name).c_str(), FILE_ATTRIBUTE_NORMAL);
  }
  EXPECT_EQ("new readme", ReadFileBytes(app + "\\README.TXT"));
  EXPECT_EQ("new tools", ReadFileBytes(app + "\\TUTIL32.DLL"));
}

TEST_F(InstallRun, ASecondRunAfterACancelLogsEachLineOnce) {
  WriteArchive(medium + "DISK1.RAR", {{"ONE.TXT", "one"}});
  AddFile(1, "DISK1.RAR", "<INSTALLDIR>", "");
  AddFile(2, "DISK2.RAR", "<INSTALLDIR>\\TWO", "");
  AddFile(3, "DISK1.RAR", "<INSTALLDIR>", "COPY");
  {
    BoxAnswers answers({IDCANCEL});
    EXPECT_FALSE(Run());
    ASSERT_EQ("", answers.Finish());
  }
  WriteArchive(medium + "DISK2.RAR", {{"TWO.TXT", "two"}});
  EXPECT_TRUE(Run());
  EXPECT_EQ((std::vector<std::string>{"FILE:" + app + "\\ONE.TXT", "DIR:" + app,
                                      "FILE:" + app + "\\TWO\\TWO.TXT", "DIR:" + app + "\\TWO",
                                      "DIR:" + app + "\\TWO"}),  // a copy repeats the line
            Lines());
}

TEST_F(InstallRun, AnEntryInTheProgramListOnlyWhenTheScriptAsksAndHalvexCameAlong) {
  const std::string key = kUninstallLine + std::string("Entrada 1.0");
  const std::string keyPath = key.substr(4);  // without "REG:"
  TInstallSettings& s = InstallSettings;
  s.ProductName = "Entrada";
  s.ProductTitle = "Entrada 1.0";
  s.UninstallEntry = "yes";
  WriteArchive(medium + "PROG.RAR", {{"PROG.EXE", "prog"}});
  AddFile(1, "PROG.RAR", "<INSTALLDIR>", "");
  AddIcon(1, {"Desktop", "Entrada", "<INSTALLDIR>\\PROG.EXE", ""});
  DeleteKeyTree(HKEY_LOCAL_MACHINE, keyPath);

  EXPECT_TRUE(Run());  // no Halvex.exe on the medium: no entry
  EXPECT_FALSE(KeyExists(HKEY_LOCAL_MACHINE, keyPath));

  WriteFileBytes(medium + "Halvex.exe", "uninstaller");
  EXPECT_TRUE(Run());
  EXPECT_EQ(key, Lines().back());  // the very key the log names
  EXPECT_EQ("Entrada 1.0", Value(keyPath.c_str(), "DisplayName"));
  EXPECT_EQ("\"" + app + "\\HALVEX.EXE\"", Value(keyPath.c_str(), "UninstallString"));
  EXPECT_EQ("\"" + app + "\\HALVEX.EXE\" /SILENT", Value(keyPath.c_str(), "QuietUninstallString"));
  EXPECT_EQ("1.0", Value(keyPath.c_str(), "DisplayVersion"));
  EXPECT_EQ("Korvane", Value(keyPath.c_str(), "Publisher"));
  EXPECT_EQ(app, Value(keyPath.c_str(), "InstallLocation"));
  EXPECT_EQ(app + "\\PROG.EXE", Value(keyPath.c_str(), "DisplayIcon"));
  for (const char* flag : {"NoModify", "NoRepair"}) {
    RawValue value;
    ASSERT_TRUE(QueryValue(HKEY_LOCAL_MACHINE, keyPath, flag, value));
    EXPECT_EQ(static_cast<DWORD>(REG_DWORD), value.Type);
    EXPECT_EQ(std::string("\x01\0\0\0", 4), value.Data);
  }

  // Any other value, or a title that would name the Uninstall key or a nested one:
  // nothing under the Uninstall key.
  DeleteKeyTree(HKEY_LOCAL_MACHINE, keyPath);
  s.UninstallEntry = "TRUE";
  EXPECT_TRUE(Run());
  EXPECT_FALSE(KeyExists(HKEY_LOCAL_MACHINE, keyPath));
  s.UninstallEntry = "YES";
  for (const std::string& title : {std::string(), std::string("Entrada\\1.0")}) {
    s.ProductTitle = title;
    EXPECT_TRUE(Run());
    RawValue value;
    EXPECT_FALSE(QueryValue(HKEY_LOCAL_MACHINE, kUninstallLine + 4, "DisplayName", value));
    EXPECT_FALSE(KeyExists(HKEY_LOCAL_MACHINE, std::string(kUninstallLine + 4) + "Entrada"));
  }
}

namespace {

std::string MachineFolder(const char* name) {
  RawValue value;
  QueryValue(HKEY_LOCAL_MACHINE,
             "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders", name, value);
  return value.Data.substr(0, value.Data.find('\0'));
}

}  // namespace

TEST_F(InstallRun, ALogThatNamesEverythingListsWholeFilesMadeDirectoriesAndTheKey) {
  TInstallSettings& s = InstallSettings;
  s.ProductName = "Alloga";
  s.ProductTitle = "Alloga 1.0";
  s.UninstallLinkName = "Remove";
  s.UninstallAll = "yes";
  app = root + "PF\\Korvane\\APP";  // its parents are made by the run too
  s.InstallDir = app;
  ShipEngine();
  WriteFileBytes(medium + "Halvex.exe", "uninstaller");
  WriteFileBytes(medium + "TUTIL32.DLL", "tools");
  WriteFileBytes(medium + "LICENSE.TXT", "licence");
  WriteFileBytes(medium + "KITTEST.CFG", "shared");
  WriteArchive(medium + "PROG.RAR", {{"PROG.EXE", "prog"}, {"HELP\\A.TXT", "help"}});
  WriteArchive(medium + "DATA.RAR", {{"D.DAT", "data"}});
  AddFile(1, "PROG.RAR", "<INSTALLDIR>", "");
  AddFile(2, "LICENSE.TXT", "<INSTALLDIR>", "COPY");
  AddFile(3, "KITTEST.CFG", "<BDEDIR>", "COPY");     // shared: never named
  AddFile(4, "KITTEST.CFG", "<WINSYSDIR>", "COPY");  // neither
  AddFile(5, "DATA.RAR", "<INSTALLDIR>\\DATA", "");
  AddIcon(1, {"Common Programs", "Alloga", "<INSTALLDIR>\\PROG.EXE", ""});
  AddIcon(2, {"common desktop", "Alloga", "<INSTALLDIR>\\PROG.EXE", ""});

  EXPECT_TRUE(Run());
  DeleteFileA((SystemDirectory() + "\\KITTEST.CFG").c_str());
  const std::string group = MachineFolder("Common Programs") + "\\Alloga 1.0";
  const std::vector<std::string> expected = {
      "FILE:" + app + "\\PROG.EXE", "FILE:" + app + "\\HELP\\A.TXT", "DIR:" + app, "DIR:" + app,
      "DIR:" + app, "DIR:" + app, "FILE:" + app + "\\DATA\\D.DAT", "DIR:" + app + "\\DATA",
      "ICON:" + group + "\\Alloga.LNK", "ICON:" + MachineFolder("Common Desktop") + "\\Alloga.LNK",
      "ICON:" + group + "\\Remove.LNK", "ICON:" + group + "\\환경설정.LNK", "DIR:" + group,
      // The block: what was put down whole, the directories made, deepest first, the key.
      "FILE:" + app + "\\LICENSE.TXT", "FILE:" + app + "\\Halvex.exe",
      "FILE:" + app + "\\ENGINE.RAR", "FILE:" + app + "\\TUTIL32.DLL", "DIR:" + app + "\\HELP",
      "DIR:" + app + "\\DATA", "DIR:" + app, "DIR:" + root + "PF\\Korvane", "DIR:" + root + "PF",
      "KEY:Software\\Korvane\\Alloga\\1.0", kUninstallLine + std::string("Alloga 1.0")};
  EXPECT_EQ(expected, Lines());
  for (const std::string& line : Lines()) {
    if (StartsWith(line, "ICON:")) {
      EXPECT_TRUE(FileExists(line.substr(5))) << line;
    }
  }

  // Installed again over it, by a new setup: no directory is made, so none is named.
  form = std::make_unique<TfmInstall>(Application);
  form->FormCreate();
  EXPECT_TRUE(Run());
  DeleteFileA((SystemDirectory() + "\\KITTEST.CFG").c_str());
  std::vector<std::string> again = expected;
  again.erase(again.end() - 7, again.end() - 2);
  EXPECT_EQ(again, Lines());
  RemoveTree(group);
}

TEST_F(InstallRun, WithBothKindsOfGroupEachIsNamedAndTheCompanionsFollowTheLast) {
  InstallSettings.ProductName = "Bothra";
  InstallSettings.ProductTitle = "Bothra 1.0";
  InstallSettings.UninstallLinkName = "Remove";
  WriteFileBytes(medium + "Halvex.exe", "uninstaller");
  MakeDirectories(app);
  AddIcon(1, {"Common Programs", "One", "<INSTALLDIR>\\ONE.EXE", ""});
  AddIcon(2, {"Programs", "Two", "<INSTALLDIR>\\TWO.EXE", ""});
  EXPECT_TRUE(Run());
  const std::string common = MachineFolder("Common Programs") + "\\Bothra 1.0";
  const std::string own = ProgramsFolder() + "\\Bothra 1.0";
  // No UNINSTALLALL: nothing but today's lines.
  EXPECT_EQ((std::vector<std::string>{"ICON:" + common + "\\One.LNK", "ICON:" + own + "\\Two.LNK",
                                      "ICON:" + own + "\\Remove.LNK", "DIR:" + common, "DIR:" + own,
                                      kUninstallLine + std::string("Bothra 1.0")}),
            Lines());
  RemoveTree(common);
  RemoveTree(own);
}
