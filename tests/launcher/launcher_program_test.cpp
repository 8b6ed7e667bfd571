// Launchers started as a customer starts a download: one-file media made here (a
// probe in place of setup.exe), each copied alone into a downloads folder and started
// there. Damaged downloads, the folder setup runs in and what it holds, the arguments
// and exit code passed on, a declined administrator prompt and the progress window
// (through the seams of seamed_launcher.exe), and libraries planted beside it.
#include "launcher/access_lists.h"
#include "launcher/one_file_maker.h"
#include "support/test_support.h"
#include "testing/message_box_flags.h"
#include "testing/ui_driver.h"

#include "win/handles.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <map>
#include <stdexcept>
#include <string>
#include <vector>

namespace ui = ui_driver;

namespace {

constexpr DWORD kDamaged = 100, kNoFolder = 101, kDeclined = 103, kCannotStart = 104;
constexpr char kDamagedText[] = "설치 파일이 손상되었습니다. 다시 내려받아 주십시오.";
constexpr char kProgressClass[] = "KitLauncherProgress";

std::string RealLauncher() { return ReadFileBytes(KitOutputPath("launcher.exe")); }
std::string SeamedLauncher() {
  return ReadFileBytes(BuildTreePath("tests/launcher/seamed_launcher.exe"));
}

// The medium: the probe as setup.exe, and beside it what a medium holds.
std::string ProbeMedium() {
  return MakePayload({{"setup.exe", ReadFileBytes(BuildTreePath("tests/launcher/setup_probe.exe"))},
                      {"SETUP.INI", "[APP]\r\nNAME=별빛 가계부\r\nVERSION=1.0\r\n"},
                      {"UNRAR.DLL", PatternBytes(70000, 5)},
                      {"별빛.RAR", PatternBytes(300000, 9)}});
}

// Environment variables for the programs started while it lives.
class Environment {
 public:
  explicit Environment(const std::map<std::string, std::string>& values) : values_(values) {
    for (const auto& [name, value] : values) SetEnvironmentVariableA(name.c_str(), value.c_str());
  }
  ~Environment() {
    for (const auto& entry : values_) SetEnvironmentVariableA(entry.first.c_str(), nullptr);
  }
  Environment(const Environment&) = delete;
  Environment& operator=(const Environment&) = delete;

 private:
  std::map<std::string, std::string> values_;
};

struct Started {
  ObjectHandle Process;
  DWORD Id = 0;
  DWORD Wait() const {
    if (WaitForSingleObject(Process.Get(), 120000) != WAIT_OBJECT_0) {
      TerminateProcess(Process.Get(), 99);
      throw std::runtime_error("the launcher did not end");
    }
    DWORD code = 0;
    GetExitCodeProcess(Process.Get(), &code);
    return code;
  }
};

Started Start(const std::string& program, const std::string& arguments, const std::string& dir) {
  STARTUPINFOA startup = {};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION info = {};
  std::string line = "\"" + program + "\" " + arguments;
  if (!CreateProcessA(nullptr, &line[0], nullptr, nullptr, FALSE, 0, nullptr, dir.c_str(), &startup,
                      &info)) {
    throw std::runtime_error("cannot start " + line);
  }
  CloseHandle(info.hThread);
  return {ObjectHandle(info.hProcess), info.dwProcessId};
}

std::vector<std::string> Entries(const std::string& dir) {
  std::vector<std::string> names;
  WIN32_FIND_DATAA found;
  FindHandle find(FindFirstFileA((dir + "*").c_str(), &found));
  if (!find) return names;
  do {
    if (std::string(found.cFileName) != "." && std::string(found.cFileName) != "..") {
      names.push_back(found.cFileName);
    }
  } while (FindNextFileA(find.Get(), &found));
  return names;
}

std::string TempPath() {
  char path[MAX_PATH + 1] = {};
  return std::string(path, GetTempPathA(sizeof path, path));
}

std::map<std::string, std::string> ReadReport(const std::string& path) {
  std::map<std::string, std::string> report;
  std::string text = ReadFileBytes(path);
  std::size_t at = 0;
  while (at < text.size()) {
    const std::size_t end = text.find('\n', at);
    const std::string line = text.substr(at, end - at);
    const std::size_t equals = line.find('=');
    if (equals != std::string::npos) report[line.substr(0, equals)] = line.substr(equals + 1);
    at = end == std::string::npos ? text.size() : end + 1;
  }
  return report;
}

class LauncherProgram : public ::testing::Test {
 protected:
  void SetUp() override {
    downloads_ = ScratchDir("launcher-downloads");
    work_ = ScratchDir("launcher-work");
    tempBefore_ = Entries(TempPath());
  }

  // The medium saved alone in the downloads folder.
  std::string Save(const std::string& bytes, const std::string& name = "별빛 가계부 설치.exe") {
    WriteFileBytes(downloads_ + name, bytes);
    return downloads_ + name;
  }

  // Nothing was left in the temporary folder.
  void ExpectTempAsBefore() { EXPECT_EQ(tempBefore_, Entries(TempPath())); }

  std::string WindowLog() { return ReadFileBytes(work_ + "windows.txt"); }

  std::string downloads_;
  std::string work_;
  std::vector<std::string> tempBefore_;
};

// Answers the launcher's box and gives its exit code.
DWORD AnswerTheBox(const Started& launcher, const std::string& text) {
  const ui::MessageBoxInfo box = ui::WaitForMessageBox(launcher.Id);
  EXPECT_EQ("오류", box.Caption);
  EXPECT_EQ(text, box.Text);
  EXPECT_EQ(static_cast<UINT>(MB_OK | MB_ICONSTOP), ShownFlags(box));
  ui::AnswerMessageBox(box, IDOK);
  return launcher.Wait();
}

TEST_F(LauncherProgram, ADamagedDownloadSaysSoAndWritesNothing) {
  const std::string whole = OneFile(RealLauncher(), ProbeMedium());
  std::string altered = whole;
  altered[whole.size() - 1000] ^= 0x01;
  const std::vector<std::pair<std::string, std::string>> downloads = {
      {"cut short", whole.substr(0, whole.size() - 1)},
      {"one byte altered", altered},
      {"no payload at all", RealLauncher().substr(0, SectionsEndOf(RealLauncher()))}};
  for (const auto& [what, bytes] : downloads) {
    SCOPED_TRACE(what);
    const Started launcher = Start(Save(bytes), "", downloads_);
    EXPECT_EQ(kDamaged, AnswerTheBox(launcher, kDamagedText));
    ExpectTempAsBefore();
  }
}

TEST_F(LauncherProgram, ASilentDamagedRunShowsNoWindowAndWritesTheRunLog) {
  std::string bytes = OneFile(SeamedLauncher(), ProbeMedium());
  bytes.resize(bytes.size() - 10);
  const Environment environment(
      {{"KIT_TEST_WINDOW_LOG", work_ + "windows.txt"}, {"KIT_TEST_PROGRESS_DELAY", "0"}});
  EXPECT_EQ(kDamaged, Start(Save(bytes), "/VERYSILENT /LOG=\"설치 기록.txt\"", downloads_).Wait());
  EXPECT_EQ("", WindowLog());
  EXPECT_EQ(std::string(kDamagedText) + " (종료 코드 100)\r\n",
            ReadFileBytes(downloads_ + "설치 기록.txt"));
  ExpectTempAsBefore();
}

TEST_F(LauncherProgram, SetupRunsInAProtectedFolderWithTheArgumentsAndEndsTheRun) {
  const Environment environment({{"KIT_TEST_WINDOW_LOG", work_ + "windows.txt"},
                                 {"KIT_PROBE_REPORT", work_ + "report.txt"},
                                 {"KIT_PROBE_EXIT", "7"}});  // a failed setup
  const std::string program = Save(OneFile(SeamedLauncher(), ProbeMedium()));
  const Started launcher =
      Start(program, "/DIR=\"별빛 가계부\" /LOG=run.log \"a  b\" /X", downloads_);
  EXPECT_EQ(7u, launcher.Wait());  // setup's own code
  std::map<std::string, std::string> report = ReadReport(work_ + "report.txt");
  const std::string folder = report["directory"];
  ASSERT_EQ(TempPath() + "kit", folder.substr(0, TempPath().size() + 3)) << folder;
  EXPECT_EQ(folder + "\\setup.exe", report["program"]);
  EXPECT_EQ("\"" + folder + "\\setup.exe\" /DIR=\"" + downloads_ + "별빛 가계부\" /LOG=\"" +
                downloads_ + "run.log\" \"a  b\" /X",
            report["command"]);
  EXPECT_EQ("setup.exe,SETUP.INI,UNRAR.DLL,별빛.RAR", report["files"]);
  // Its access list read back grants no one else anything (Wine keeps no lists and
  // shows the folder's Unix mode: none for the group and others).
  EXPECT_EQ("", ForeignEntries(report["folder_security"], UserSid())) << report["folder_security"];
  // Nothing of the launcher's could be changed, removed or moved while setup ran.
  EXPECT_EQ(std::to_string(ERROR_SHARING_VIOLATION), report["write_open"]);
  EXPECT_NE("0", report["delete"]);
  EXPECT_NE("0", report["rename_file"]);
  EXPECT_NE("0", report["rename_folder"]);
  EXPECT_EQ("0", report["progress_window"]);
  EXPECT_EQ("", WindowLog());  // no delay passed: the launcher showed nothing at all
  EXPECT_EQ(INVALID_FILE_ATTRIBUTES, GetFileAttributesA(folder.c_str()));
  ExpectTempAsBefore();
  EXPECT_EQ((std::vector<std::string>{"별빛 가계부 설치.exe"}), Entries(downloads_));
}

TEST_F(LauncherProgram, TheRealLauncherRunsSetupAndPassesItsCodeOn) {
  const Environment environment(
      {{"KIT_PROBE_REPORT", work_ + "report.txt"}, {"KIT_PROBE_EXIT", "0"}});
  EXPECT_EQ(0u, Start(Save(OneFile(RealLauncher(), ProbeMedium())), "/S", downloads_).Wait());
  std::map<std::string, std::string> report = ReadReport(work_ + "report.txt");
  EXPECT_NE(std::string::npos, report["command"].find("\\setup.exe\" /S")) << report["command"];
  ExpectTempAsBefore();
}

TEST_F(LauncherProgram, ADeclinedAdministratorPromptEndsQuietly) {
  const Environment environment({{"KIT_TEST_WINDOW_LOG", work_ + "windows.txt"},
                                 {"KIT_PROBE_REPORT", work_ + "report.txt"},
                                 {"KIT_TEST_DECLINE", "1"}});
  const std::string program = Save(OneFile(SeamedLauncher(), ProbeMedium()));
  EXPECT_EQ(kDeclined, Start(program, "/LOG=run.log", downloads_).Wait());
  EXPECT_EQ("", WindowLog());
  EXPECT_EQ(INVALID_FILE_ATTRIBUTES, GetFileAttributesA((work_ + "report.txt").c_str()));
  EXPECT_EQ("관리자 권한 요청이 거절되어 설치를 시작하지 않았습니다. (종료 코드 103)\r\n",
            ReadFileBytes(downloads_ + "run.log"));
  ExpectTempAsBefore();
}

TEST_F(LauncherProgram, TheProgressWindowComesAfterItsDelayAndNeverInASilentRun) {
  const Environment environment({{"KIT_TEST_WINDOW_LOG", work_ + "windows.txt"},
                                 {"KIT_PROBE_REPORT", work_ + "report.txt"},
                                 {"KIT_TEST_PROGRESS_DELAY", "0"}});
  const std::string program = Save(OneFile(SeamedLauncher(), ProbeMedium()));
  EXPECT_EQ(0u, Start(program, "", downloads_).Wait());
  EXPECT_EQ(0u, WindowLog().find(std::string(kProgressClass) + "\r\n")) << WindowLog();
  EXPECT_EQ("0", ReadReport(work_ + "report.txt")["progress_window"]);  // gone before setup

  DeleteFileA((work_ + "windows.txt").c_str());
  for (const char* silent : {"/SILENT", "/verysilent", "/S", "/Q", "/QUIET"}) {
    EXPECT_EQ(0u, Start(program, silent, downloads_).Wait()) << silent;
    EXPECT_EQ("", WindowLog()) << silent;
  }
  ExpectTempAsBefore();
}

TEST_F(LauncherProgram, ASetupThatCannotStartAndAMissingTemporaryFolderAreReported) {
  const std::string noProgram = OneFile(
      RealLauncher(), MakePayload({{"setup.exe", "this is no program"}, {"UNRAR.DLL", "x"}}));
  const Started launcher = Start(Save(noProgram), "", downloads_);
  EXPECT_EQ(kCannotStart, AnswerTheBox(launcher, "설치 프로그램을 시작할 수 없습니다."));
  ExpectTempAsBefore();

  const Environment environment(
      {{"TMP", "C:\\kit-tests\\no such folder"}, {"TEMP", "C:\\kit-tests\\no such folder"}});
  const Started withoutTemp = Start(Save(OneFile(RealLauncher(), ProbeMedium())), "", downloads_);
  EXPECT_EQ(kNoFolder,
            AnswerTheBox(withoutTemp, "임시 폴더를 만들 수 없어 설치를 시작하지 못했습니다."));
}

TEST_F(LauncherProgram, LibrariesPlantedBesideItAreNeverLoaded) {
  // Wine searches as Windows does for these, which its own libraries never load by name.
  const std::vector<std::string> planted = {"dwmapi.dll", "cryptbase.dll", "profapi.dll",
                                            "wldp.dll"};
  char overrides[512] = {};
  GetEnvironmentVariableA("WINEDLLOVERRIDES", overrides, sizeof overrides);
  const std::string markers = ScratchDir("launcher-markers");
  const Environment environment(
      {{"WINEDLLOVERRIDES", std::string(overrides) + ";dwmapi,cryptbase,profapi,wldp=n,b"},
       {"KIT_PLANT_MARKERS", markers},
       {"KIT_PROBE_REPORT", work_ + "report.txt"}});
  const std::string plant = ReadFileBytes(BuildTreePath("tests/launcher/plant_marker.dll"));
  for (const std::string& name : planted) WriteFileBytes(downloads_ + name, plant);
  const std::string loader = downloads_ + "plain_loader.exe";
  WriteFileBytes(loader, ReadFileBytes(BuildTreePath("tests/launcher/plain_loader.exe")));
  const std::string names = "dwmapi.dll cryptbase.dll profapi.dll wldp.dll";

  // A program that takes no care loads every one of them.
  EXPECT_EQ(0u, Start(loader, names, downloads_).Wait());
  const std::vector<std::string> loaded = Entries(markers);
  EXPECT_EQ(4u, loaded.size()) << Joined(loaded, ",");
  ScratchDir("launcher-markers");
  // After the launcher's first call, none is (Wine's own libraries never load these
  // names, so the launcher's run below cannot show it by itself).
  EXPECT_EQ(0u, Start(loader, "--restrict " + names, downloads_).Wait());
  EXPECT_EQ(std::vector<std::string>(), Entries(markers));
  // Loaded from the system directory first, as the launcher does where it cannot
  // restrict the search, one is not (of the four, Wine's system directory has only
  // dwmapi.dll; Windows has each from the version on that loads it).
  EXPECT_EQ(0u, Start(loader, "--preload dwmapi.dll", downloads_).Wait());
  EXPECT_EQ(std::vector<std::string>(), Entries(markers));

  // The launcher: a run of setup, and a damaged download with its box.
  const std::string medium = OneFile(RealLauncher(), ProbeMedium());
  EXPECT_EQ(0u, Start(Save(medium), "", downloads_).Wait());
  EXPECT_EQ(std::vector<std::string>(), Entries(markers));
  const Started damaged = Start(Save(medium.substr(0, medium.size() - 1)), "", downloads_);
  EXPECT_EQ(kDamaged, AnswerTheBox(damaged, kDamagedText));
  EXPECT_EQ(std::vector<std::string>(), Entries(markers));
}

}  // namespace
