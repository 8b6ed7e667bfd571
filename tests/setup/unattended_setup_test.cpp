// setup.exe, Halvex.exe and Dorcel.exe run with no one at the screen, under Xvfb so
// that any window would really appear: the exit code of each outcome, its line in the
// run log, and the windows each process made, counted through the programs' seam.
// The first case installs the sample medium (tools/sample-medium.sh, made by this
// test's script and named in KIT_SAMPLE_MEDIUM).
#include "setup/support/install_test_support.h"
#include "support/registry_support.h"
#include "support/scopes.h"
#include "support/test_support.h"
#include "testing/extraction_hold.h"
#include "testing/ui_driver.h"
#include "win/file_system.h"
#include "win/window_count_seam.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <cstdlib>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

namespace {

namespace ui = ui_driver;

const char kScript[] =
    "[APP]\r\nNAME=Pelmora\r\nVERSION=1.0\r\nCOMPANY=Korvane\r\nINSTALLDIR=C:\\KORVANE\r\n"
    "UNINSTALL=Remove\r\nUNINSTALLENTRY=YES\r\n"
    "[FILES]\r\nFILE1=PROG.RAR,<INSTALLDIR>\r\n"
    "[ICONS]\r\nICON1=Programs,Pelmora,<INSTALLDIR>\\PROG.EXE\r\n";
const char kUninstallKey[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\";
const char kDbaseInitKey[] = "SOFTWARE\\Borland\\Database Engine\\Settings\\DRIVERS\\DBASE\\INIT";

// The windows the programs started while it lives make, through the programs' seam.
class WindowCount {
 public:
  explicit WindowCount(const std::string& name)
      : path_(ScratchDir("windows-" + name) + "windows.txt") {
    SetEnvironmentVariableA(kWindowCountVariable, path_.c_str());
  }
  ~WindowCount() { SetEnvironmentVariableA(kWindowCountVariable, nullptr); }
  WindowCount(const WindowCount&) = delete;
  WindowCount& operator=(const WindowCount&) = delete;

  // The window classes, one per top-level window made, in their order.
  std::vector<std::string> Classes() const {
    return FileExists(path_) ? FileLines(path_) : std::vector<std::string>();
  }

 private:
  std::string path_;
};

std::string MakeMedium(const std::string& name, const std::string& script) {
  const std::string medium = ScratchDir("medium-" + name);
  for (const char* file : {"setup.exe", "UNRAR.DLL", "Halvex.exe"}) {
    if (!CopyFileA(KitOutputPath(file).c_str(), (medium + file).c_str(), FALSE)) {
      throw std::runtime_error(std::string("cannot put ") + file + " on the medium");
    }
  }
  if (!script.empty()) WriteFileBytes(medium + "SETUP.INI", script);
  return medium;
}

// Runs a program to its end; a window that waited would end the wait with an error.
DWORD RunProgram(const std::string& program, const std::string& arguments,
                 const std::string& workingDirectory) {
  ui::Process process = ui::Process::Start("\"" + program + "\" " + arguments, workingDirectory);
  return process.WaitForExit();
}

DWORD RunSetup(const std::string& medium, const std::string& arguments,
               const std::string& workingDirectory = std::string()) {
  return RunProgram(medium + "setup.exe", arguments,
                    workingDirectory.empty() ? medium : workingDirectory);
}

// kitcheck's prediction of the install log for an install into dir.
std::string PredictedLog(const std::string& medium, const std::string& dir) {
  const std::string predicted = ScratchDir("predicted") + "INSTALL.LOG";
  const std::string mediumDir = medium.substr(0, medium.size() - 1);  // no "\" before a quote
  const DWORD code = RunProgram(
      KitOutputPath("kitcheck.exe"),
      "\"" + mediumDir + "\" --dir \"" + dir + "\" --log \"" + predicted + "\"", mediumDir);
  EXPECT_NE(2u, code) << "kitcheck could not run";
  return ReadFileBytes(predicted);
}

bool Contains(const std::vector<std::string>& lines, const std::string& line) {
  for (const std::string& l : lines) {
    if (l == line) return true;
  }
  return false;
}

// The run log's lines that start with prefix.
std::vector<std::string> LinesStartingWith(const std::vector<std::string>& lines,
                                           const std::string& prefix) {
  std::vector<std::string> found;
  for (const std::string& line : lines) {
    if (line.compare(0, prefix.size(), prefix) == 0) found.push_back(line);
  }
  return found;
}

// One unattended run that must fail: its code, its run log, no window made.
struct FailedRun {
  DWORD Code;
  std::vector<std::string> Log;
};

FailedRun RunFailing(const std::string& name, const std::string& medium,
                     const std::string& mode = "/VERYSILENT") {
  const std::string runLog = ScratchDir("runlog-" + name) + "run.log";
  WindowCount windows(name);
  const DWORD code = RunSetup(medium, mode + " /LOG=\"" + runLog + "\"");
  EXPECT_EQ(std::vector<std::string>(), windows.Classes()) << name;
  return {code, FileLines(runLog)};
}

}  // namespace

TEST(UnattendedSetup, TheSampleMediumInstallsVerySilentlyAsPredictedAndHalvexRemovesIt) {
  const char* unixMedium = std::getenv("KIT_SAMPLE_MEDIUM");
  ASSERT_NE(nullptr, unixMedium) << "the test's script names the sample medium";
  const std::string medium = WindowsPathOfUnix(unixMedium) + "\\";
  const std::string dir = "C:\\Program Files\\별빛 가계부 2";
  const ScratchFolder app(dir);
  const std::string predicted = PredictedLog(medium, dir);
  ASSERT_FALSE(predicted.empty());
  const std::string runLog = ScratchDir("sample-run") + "설치 기록.txt";

  {
    WindowCount windows("sample-setup");
    EXPECT_EQ(0u, RunSetup(medium, "/VERYSILENT /DIR=\"" + dir + "\" /LOG=\"" + runLog + "\""));
    EXPECT_EQ(std::vector<std::string>(), windows.Classes());
  }
  EXPECT_EQ(predicted, ReadFileBytes(dir + "\\INSTALL.LOG"));
  const std::vector<std::string> log = FileLines(runLog);
  ASSERT_GE(log.size(), 3u);
  EXPECT_EQ(0u, log[0].find("설치 키트 "));
  EXPECT_EQ("명령줄: \"" + medium + "setup.exe\" /VERYSILENT /DIR=\"" + dir + "\" /LOG=\"" +
                runLog + "\"",
            log[1]);
  EXPECT_TRUE(Contains(log, "매체: " + medium));
  EXPECT_TRUE(Contains(log, "설치 디렉토리: " + dir));
  // Each FILES archive with its entries: the program and its help text (and the help
  // text's directory), the data.
  EXPECT_TRUE(Contains(log, "압축 풀기: " + medium + "PROGRAM.RAR -> " + dir + ": 항목 3개, 완료"))
      << Joined(log, "\n");
  EXPECT_EQ(1u, LinesStartingWith(log, "압축 풀기: " + medium + "DATA.RAR -> " + dir).size());
  EXPECT_EQ(1u, LinesStartingWith(log, "엔진 설정: 완료").size());
  EXPECT_EQ(4u, LinesStartingWith(log, "바로 가기: ").size());
  EXPECT_TRUE(Contains(log, "등록: 완료"));
  EXPECT_EQ("종료 코드: 0", log.back());

  const std::string entry = kUninstallKey + std::string("별빛 가계부 1.0");
  RawValue quiet;
  ASSERT_TRUE(QueryValue(HKEY_LOCAL_MACHINE, entry, "QuietUninstallString", quiet));
  EXPECT_EQ(StringValue("\"" + dir + "\\HALVEX.EXE\" /SILENT"), quiet);
  {
    WindowCount windows("sample-halvex");
    EXPECT_EQ(0u, RunProgram(dir + "\\Halvex.exe", "/SILENT", dir));
    EXPECT_EQ(std::vector<std::string>(), windows.Classes());
  }
  EXPECT_FALSE(FileExists(dir + "\\BYEOLBIT.EXE"));
  EXPECT_FALSE(FileExists(dir + "\\INSTALL.LOG"));
  EXPECT_FALSE(KeyExists(HKEY_LOCAL_MACHINE, entry));
}

TEST(UnattendedSetup, SilentShowsTheProgressWindowOnlyAndInstallsAsTheWizardWould) {
  const std::string medium = MakeMedium("silent", kScript);
  WriteArchive(medium + "PROG.RAR", {{"PROG.EXE", "program"}, {"DATA\\A.DBF", "table"}});
  const std::string dir = "C:\\kit-tests\\펠모라 설치";
  const ScratchFolder app(dir);
  const std::string predicted = PredictedLog(medium, dir);
  {
    WindowCount windows("silent");
    // A trailing "\" is an ordinary character, not an escape of the quote.
    EXPECT_EQ(0u, RunSetup(medium, "/silent /Dir=\"" + dir + "\\\""));
    EXPECT_EQ(std::vector<std::string>{"TfmInstall"}, windows.Classes());
  }
  EXPECT_EQ("program", ReadFileBytes(dir + "\\PROG.EXE"));
  EXPECT_EQ(predicted, ReadFileBytes(dir + "\\INSTALL.LOG"));
}

TEST(UnattendedSetup, RelativeDirAndLogAreTakenFromTheCurrentDirectory) {
  const std::string medium = MakeMedium("relative", kScript);
  WriteArchive(medium + "PROG.RAR", {{"PROG.EXE", "program"}});
  const std::string current = ScratchDir("current");
  EXPECT_EQ(0u, RunSetup(medium, "/Q /DIR=app /LOG=run.log", current));
  EXPECT_EQ("program", ReadFileBytes(current + "app\\PROG.EXE"));
  EXPECT_TRUE(FileExists(current + "app\\INSTALL.LOG"));
  EXPECT_TRUE(Contains(FileLines(current + "run.log"), "설치 디렉토리: " + current + "app"));

  // The path macros as in INSTALLDIR; <INSTALLDIR> is the script's.
  const ScratchFolder app("C:\\KORVANE-2");
  EXPECT_EQ(0u, RunSetup(medium, "/Q /DIR=\"<installdir>-2\"", current));
  EXPECT_EQ("program", ReadFileBytes("C:\\KORVANE-2\\PROG.EXE"));
}

// A starter may give the program's path with its blanks unquoted: still no argument.
TEST(UnattendedSetup, AnUnquotedProgramPathWithBlanksIsNoArgument) {
  const ScratchFolder app("C:\\KORVANE");
  const std::string medium = MakeMedium("with blanks", kScript);
  WriteArchive(medium + "PROG.RAR", {{"PROG.EXE", "program"}});
  ui::Process setup = ui::Process::Start(medium + "setup.exe /VERYSILENT", medium);
  EXPECT_EQ(0u, setup.WaitForExit());
  EXPECT_EQ("program", ReadFileBytes("C:\\KORVANE\\PROG.EXE"));
}

// The run log is written as the run goes: a run killed halfway leaves its steps so far.
TEST(UnattendedSetup, AKilledRunLeavesTheRunLogSoFar) {
  const ScratchFolder app("C:\\KORVANE");
  const std::string medium = MakeMedium("killed", kScript);
  WriteArchive(medium + "PROG.RAR", {{"BIG.DAT", PatternBytes(2 << 20)}});
  const std::string runLog = ScratchDir("killed-run") + "run.log";
  ExtractionHold hold;
  ui::Process setup =
      ui::Process::Start("\"" + medium + "setup.exe\" /VERYSILENT /LOG=\"" + runLog + "\"", medium);
  ui::WaitUntil([&] { return hold.Held(); }, "the held extraction");
  setup.Kill();
  const std::vector<std::string> log = FileLines(runLog);
  EXPECT_TRUE(Contains(log, "설치 디렉토리: C:\\KORVANE")) << Joined(log, "\n");
  EXPECT_EQ(1u, LinesStartingWith(log, "복사: " + medium + "UNRAR.DLL -> ").size());
  EXPECT_TRUE(LinesStartingWith(log, "압축 풀기: ").empty());  // still extracting
  EXPECT_TRUE(LinesStartingWith(log, "종료 코드: ").empty());
}

TEST(UnattendedSetup, EachFailureHasItsCodeAndItsLineAndNoWindowWaits) {
  const ScratchFolder app("C:\\KORVANE");
  {  // the archive is not in the medium folder: the next diskette would be needed
    const std::string medium = MakeMedium("diskette", kScript);
    const FailedRun run = RunFailing("diskette", medium);
    EXPECT_EQ(10u, run.Code);
    EXPECT_TRUE(Contains(run.Log, "메시지 [Disk]: 다음 디스켓을 넣으신 후 확인을 누루세요."));
    EXPECT_EQ("종료 코드: 10", run.Log.back());
  }
  {  // not an archive at all
    const std::string medium = MakeMedium("extraction", kScript);
    WriteFileBytes(medium + "PROG.RAR", "no archive");
    const FailedRun run = RunFailing("extraction", medium, "/S");
    EXPECT_EQ(11u, run.Code);
    EXPECT_TRUE(
        Contains(run.Log, "메시지 [오류]: " + medium + "PROG.RAR 파일의 압축을 풀 수 없습니다."));
    EXPECT_TRUE(
        Contains(run.Log, "압축 풀기: " + medium + "PROG.RAR -> C:\\KORVANE: 항목 0개, 실패"));
  }
  {  // the install log cannot be written: a directory holds its name
    const std::string medium = MakeMedium("install-log", kScript);
    WriteArchive(medium + "PROG.RAR", {{"PROG.EXE", "program"}});
    MakeDirectories("C:\\KORVANE\\INSTALL.LOG");
    const FailedRun run = RunFailing("install-log", medium, "/QUIET");
    EXPECT_EQ(13u, run.Code);
    EXPECT_TRUE(
        Contains(run.Log, "메시지 [오류]: C:\\KORVANE\\INSTALL.LOG 파일을 저장할 수 없습니다."));
    RemoveTree("C:\\KORVANE\\INSTALL.LOG");
  }
  {  // no script
    const std::string medium = MakeMedium("no-script", "");
    const FailedRun run = RunFailing("no-script", medium);
    EXPECT_EQ(14u, run.Code);
    EXPECT_TRUE(Contains(run.Log, "메시지 [오류]: " + medium + "SETUP.INI 파일이 없습니다."));
  }
  {  // a script without a title
    const std::string medium = MakeMedium("no-title", "[APP]\r\nINSTALLDIR=C:\\KORVANE\r\n");
    const FailedRun run = RunFailing("no-title", medium, "/SILENT");
    EXPECT_EQ(15u, run.Code);
    EXPECT_EQ(
        1u,
        LinesStartingWith(run.Log, "메시지 [오류]: " + medium + "SETUP.INI에 제품 이름").size());
  }
  {  // an unknown switch, with a silent one: no usage box
    DeleteFileA("C:\\KORVANE\\PROG.EXE");
    const std::string medium = MakeMedium("unknown", kScript);
    const FailedRun run = RunFailing("unknown", medium, "/VERYSILENT /NORESTART");
    EXPECT_EQ(2u, run.Code);
    EXPECT_TRUE(Contains(run.Log, "알 수 없는 인자: /NORESTART"));
    EXPECT_FALSE(FileExists("C:\\KORVANE\\PROG.EXE"));
  }
}

TEST(UnattendedSetup, TheEngineFailuresHaveCodesOfTheirOwn) {
  const ScratchFolder app("C:\\KORVANE");
  const std::string engineDir = "C:\\kit-tests\\engine";
  const std::string script = std::string(kScript) +
                             "[BDE]\r\nFILE=Paradox.RAR\r\nPATH=" + engineDir +
                             "\r\nDATE=2024-02-30\r\n";
  const std::string medium = MakeMedium("engine", script);
  WriteArchive(medium + "PROG.RAR", {{"PROG.EXE", "program"}});
  WriteArchive(medium + "Paradox.RAR", {{"IDAPI32.DLL", "engine"}});
  {  // the engine settings cannot be written: the silent stop
    const ScratchFolder engine(engineDir);
    MakeKeyReadOnly(HKEY_LOCAL_MACHINE, kDbaseInitKey);
    const FailedRun run = RunFailing("engine-settings", medium);
    MakeKeyWritable(HKEY_LOCAL_MACHINE, kDbaseInitKey);
    EXPECT_EQ(12u, run.Code);
    EXPECT_TRUE(Contains(run.Log, "엔진 설정: 실패"));
    EXPECT_FALSE(FileExists("C:\\KORVANE\\PROG.EXE"));
  }
  {  // an engine is installed and stays where it is (a backup exists, its file is in
     // use), so the date that is no date is needed
    const ScratchFolder engine(engineDir);
    const ScratchFolder backup(engineDir + "_2");
    MakeDirectories(engineDir);
    MakeDirectories(engineDir + "_2");
    WriteFileBytes(engineDir + "\\IDAPI32.DLL", "installed engine");
    FileHandle inUse(CreateFileA((engineDir + "\\IDAPI32.DLL").c_str(), GENERIC_READ,
                                 FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr));
    ASSERT_TRUE(inUse.Valid());
    const FailedRun run = RunFailing("engine-date", medium);
    EXPECT_EQ(16u, run.Code);
    EXPECT_TRUE(Contains(run.Log, "엔진 파일 날짜 비교: 실패"));
  }
}

TEST(UnattendedSetup, UsageBoxForHelpAndForAnUnknownSwitch) {
  const std::string medium = MakeMedium("usage", kScript);
  for (const auto& [arguments, code] :
       std::vector<std::pair<std::string, DWORD>>{{"/?", 0}, {"/DIR=", 2}, {"/install", 2}}) {
    WindowCount windows("usage");
    ui::Process setup = ui::Process::Start("\"" + medium + "setup.exe\" " + arguments, medium);
    const ui::MessageBoxInfo box = ui::WaitForMessageBox(setup.Id());
    EXPECT_EQ("설치 마법사 사용법", box.Caption) << arguments;
    EXPECT_EQ(0u, box.Text.find("사용법: setup.exe [/SILENT | /VERYSILENT]")) << box.Text;
    ui::AnswerMessageBox(box, IDOK);
    EXPECT_EQ(code, setup.WaitForExit()) << arguments;
    // The seam sees the box: the wizard never started.
    const std::vector<std::string> classes = windows.Classes();
    EXPECT_TRUE(Contains(classes, "#32770")) << arguments;
    EXPECT_FALSE(Contains(classes, "TfmWizad")) << arguments;
  }
}

TEST(UnattendedSetup, HalvexSilentWithoutALogOrWithAnUnknownSwitchEndsWithItsCodeAndNoWindow) {
  const std::string dir = ScratchDir("halvex-alone");
  ASSERT_TRUE(CopyFileA(KitOutputPath("Halvex.exe").c_str(), (dir + "Halvex.exe").c_str(), FALSE));
  {
    WindowCount windows("halvex-alone");
    EXPECT_EQ(10u, RunProgram(dir + "Halvex.exe", "/Silent", dir));
    EXPECT_EQ(std::vector<std::string>(), windows.Classes());
  }
  WindowCount windows("halvex-bad");
  EXPECT_EQ(2u, RunProgram(dir + "Halvex.exe", "/SILENT /ALL", dir));
  EXPECT_EQ(std::vector<std::string>(), windows.Classes());
}
