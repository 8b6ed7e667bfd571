// Whole runs of a setup-like program (install_host.exe) driven from outside: the
// typical installation end to end, cancelling at the disk prompt, and a registry
// failure that ends the run with the silent abort.
#include "setup/support/install_test_support.h"

#include "support/registry_support.h"
#include "support/test_support.h"
#include "testing/ui_driver.h"

#include "support/scopes.h"
#include "win/com_ptr.h"
#include "win/file_system.h"

#include <gtest/gtest.h>

#include <windows.h>
#include <shlobj.h>

namespace {

namespace ui = ui_driver;

const char kDbaseInitKey[] = "SOFTWARE\\Borland\\Database Engine\\Settings\\DRIVERS\\DBASE\\INIT";

std::string LinkTarget(const std::string& path) {
  ComPtr<IShellLinkA> link;
  ComPtr<IPersistFile> file;
  if (FAILED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkA,
                              link.ReceiveVoid())) ||
      FAILED(link.QueryInterface(IID_IPersistFile, file))) {
    return "<no shell link object>";
  }
  wchar_t wide[MAX_PATH];
  MultiByteToWideChar(CP_ACP, 0, path.c_str(), -1, wide, MAX_PATH);
  if (FAILED(file->Load(wide, STGM_READ))) return "<cannot load>";
  char target[MAX_PATH] = {};
  link->GetPath(target, MAX_PATH, nullptr, SLGP_RAWPATH);
  return target;
}

std::string Value(const std::string& key, const std::string& name) {
  RawValue value;
  if (!QueryValue(HKEY_LOCAL_MACHINE, key, name, value)) return "<missing>";
  return value.Data.substr(0, value.Data.find('\0'));
}

std::string WithoutTrailingBackslash(std::string path) {
  if (!path.empty() && path.back() == '\\') path.pop_back();
  return path;
}

class WholeRun : public ::testing::Test {
 protected:
  ComApartment com;  // the tests read shortcuts back

  void SetUp() override {
    medium = ScratchDir(std::string("run-") +
                        ::testing::UnitTest::GetInstance()->current_test_info()->name());
    CopyFileA(BuildTreePath("tests/setup/install/install_host.exe").c_str(),
              (medium + "setup.exe").c_str(), FALSE);
    CopyFileA(KitOutputPath("UNRAR.DLL").c_str(), (medium + "UNRAR.DLL").c_str(), FALSE);
  }
  // Starts the program in the medium, which is then its working directory.
  ui::Process Start() { return ui::Process::Start("\"" + medium + "setup.exe\"", medium); }

  // Waits for the program's end; any message box on the way is a failure (and the
  // program is ended, as nobody would answer the box).
  static DWORD ExitCodeWithoutBoxes(ui::Process& program) {
    for (int i = 0; i < 1200 && program.Running(); ++i) {
      if (ui::FindWindowOf({program.Id(), "#32770", std::nullopt, true})) {
        ADD_FAILURE() << "unexpected message box";
        program.Kill();
        break;
      }
      Sleep(50);
    }
    return program.WaitForExit();
  }

  std::string HostDirectory() const { return ReadFileBytes(medium + "HOST-CWD.TXT"); }

  std::string medium;
};

}  // namespace

TEST_F(WholeRun, TheTypicalInstallationEndToEnd) {
  const ScratchFolder app("C:\\KORVANE");
  DeleteKeyTree(HKEY_LOCAL_MACHINE, "Software\\Korvane");
  const std::string programs = ProgramsFolder();
  RemoveTree(programs + "\\Pelmora 1.0");
  WriteFileBytes(medium + "SETUP.INI",
                 "[APP]\r\nNAME=Pelmora\r\nVERSION=1.0\r\nCOMPANY=Korvane\r\n"
                 "INSTALLDIR=C:\\KORVANE\r\nUNINSTALL=Remove\r\n"
                 "[FILES]\r\nFILE1=PROG.RAR,<INSTALLDIR>\r\n"
                 "[ICONS]\r\nICON1=Programs,Pelmora,<INSTALLDIR>\\PROG.EXE\r\n");
  WriteArchive(medium + "PROG.RAR", {{"PROG.EXE", "program"}, {"DATA\\A.DBF", "table"}});
  WriteFileBytes(medium + "Halvex.exe", "uninstaller");

  ui::Process setup = Start();
  EXPECT_EQ(0u, ExitCodeWithoutBoxes(setup));

  const std::string group = programs + "\\Pelmora 1.0";
  EXPECT_EQ(std::string("FILE:C:\\KORVANE\\PROG.EXE\r\n"
                        "FILE:C:\\KORVANE\\DATA\\A.DBF\r\n"
                        "DIR:C:\\KORVANE\r\n") +
                "ICON:" + group + "\\Pelmora.LNK\r\n" + "ICON:" + group + "\\Remove.LNK\r\n" +
                "DIR:" + group + "\r\n" +
                "REG:Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Pelmora 1.0\r\n"
                "FILE:C:\\KORVANE\\INSTALL.LOG\r\n"
                "FILE:C:\\KORVANE\\Korvane.lck\r\n",
            ReadFileBytes("C:\\KORVANE\\INSTALL.LOG"));
  EXPECT_EQ("program", ReadFileBytes("C:\\KORVANE\\PROG.EXE"));
  EXPECT_EQ("table", ReadFileBytes("C:\\KORVANE\\DATA\\A.DBF"));
  EXPECT_EQ("uninstaller", ReadFileBytes("C:\\KORVANE\\Halvex.exe"));
  const std::string library = ReadFileBytes(medium + "UNRAR.DLL");
  EXPECT_EQ(library, ReadFileBytes("C:\\KORVANE\\UNRAR.DLL"));
  char system[MAX_PATH] = {};
  GetSystemDirectoryA(system, MAX_PATH);
  EXPECT_EQ(library, ReadFileBytes(std::string(system) + "\\UNRAR.DLL"));
  EXPECT_EQ("C:\\KORVANE\\PROG.EXE", LinkTarget(group + "\\Pelmora.LNK"));
  EXPECT_EQ("C:\\KORVANE\\HALVEX.EXE", LinkTarget(group + "\\Remove.LNK"));
  EXPECT_EQ("C:\\KORVANE", Value("Software\\Korvane\\Pelmora\\1.0", "InstallDir"));
  EXPECT_EQ(TodayText(), Value("Software\\Korvane\\Pelmora\\1.0", "InstallDate"));
  EXPECT_EQ("C:\\KORVANE", HostDirectory());
}

TEST_F(WholeRun, CancelAtTheDiskPromptKeepsTheFirstArchiveAndWritesNoLog) {
  const std::string app = medium + "APP";
  WriteFileBytes(medium + "SETUP.INI",
                 "[APP]\r\nNAME=Cancelva\r\nVERSION=1.0\r\nCOMPANY=Korvane\r\n"
                 "INSTALLDIR=" +
                     app +
                     "\r\n"
                     "[FILES]\r\nFILE1=DISK1.RAR,<INSTALLDIR>\r\nFILE2=DISK2.RAR,<INSTALLDIR>\r\n"
                     "[ICONS]\r\nICON1=Programs,Cancelva,<INSTALLDIR>\\ONE.EXE\r\n");
  WriteArchive(medium + "DISK1.RAR", {{"ONE.EXE", "one"}});
  MakeDirectories(app);
  WriteFileBytes(app + "\\INSTALL.LOG", "FILE:C:\\EARLIER.TXT\r\n");

  ui::Process setup = Start();
  const ui::MessageBoxInfo box = ui::WaitForMessageBox(setup.Id());
  EXPECT_EQ("Disk", box.Caption);
  const HWND progress = ui::FindWindowOf({setup.Id(), "TfmInstall", {"설치"}});
  EXPECT_NE(nullptr, progress);
  EXPECT_EQ(GetWindow(progress, GW_OWNER), box.Owner);  // the application's window
  ui::AnswerMessageBox(box, IDCANCEL);
  ui::WaitForWindowGone(box.Window);
  EXPECT_EQ(1u, ExitCodeWithoutBoxes(setup));

  EXPECT_EQ("one", ReadFileBytes(app + "\\ONE.EXE"));
  EXPECT_EQ("FILE:C:\\EARLIER.TXT\r\n", ReadFileBytes(app + "\\INSTALL.LOG"));
  EXPECT_EQ(WithoutTrailingBackslash(medium), HostDirectory());
  EXPECT_FALSE(DirectoryExists(ProgramsFolder() + "\\Cancelva 1.0"));
}

TEST_F(WholeRun, ARegistryFailureEndsTheRunSilentlyAndNothingIsUndone) {
  const std::string app = medium + "APP";
  const std::string engine = medium + "BDE";
  WriteFileBytes(medium + "SETUP.INI",
                 "[APP]\r\nNAME=Abortia\r\nVERSION=1.0\r\nCOMPANY=Korvane\r\n"
                 "INSTALLDIR=" +
                     app +
                     "\r\n"
                     "[BDE]\r\nFILE=ENGINE.RAR\r\nPATH=" +
                     engine +
                     "\r\n"
                     "[FILES]\r\nFILE1=PROG.RAR,<INSTALLDIR>\r\n"
                     "[ICONS]\r\nICON1=Programs,Abortia,<INSTALLDIR>\\PROG.EXE\r\n");
  WriteArchive(medium + "ENGINE.RAR", {{"IDAPI32.DLL", "engine"}});
  WriteArchive(medium + "PROG.RAR", {{"PROG.EXE", "program"}});
  MakeKeyReadOnly(HKEY_LOCAL_MACHINE, kDbaseInitKey);

  ui::Process setup = Start();
  const DWORD exitCode = ExitCodeWithoutBoxes(setup);
  MakeKeyWritable(HKEY_LOCAL_MACHINE, kDbaseInitKey);

  EXPECT_EQ(2u, exitCode);  // the run raised and its caller saw no result
  EXPECT_EQ("engine", ReadFileBytes(engine + "\\IDAPI32.DLL"));
  // The fixed configuration up to the failed write stays; the adjustment never came.
  EXPECT_EQ("C:\\Program Files\\Borland\\Common Files\\BDE",
            Value("SOFTWARE\\Borland\\BLW32", "BLAPIPATH"));
  EXPECT_FALSE(DirectoryExists(app));  // the FILES table was never reached
  EXPECT_FALSE(FileExists(app + "\\INSTALL.LOG"));
  EXPECT_EQ(WithoutTrailingBackslash(medium), HostDirectory());
  EXPECT_FALSE(DirectoryExists(ProgramsFolder() + "\\Abortia 1.0"));
}
