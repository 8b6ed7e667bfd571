// kitcheck.exe run like a distributor runs it, on media made here: the sample
// product's medium (its predicted log against the log setup.exe then writes), a
// medium with each kind of problem, a read-only medium, and bad arguments.
#include "rar_writer/rar_writer.h"
#include "setup/support/install_test_support.h"
#include "setup/support/setup_session.h"
#include "support/registry_support.h"
#include "support/scopes.h"
#include "support/test_support.h"
#include "testing/console_program.h"
#include "testing/ui_driver.h"
#include "win/file_system.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <functional>
#include <map>
#include <string>
#include <vector>

namespace {

namespace ui = ui_driver;

const std::string kSampleScriptPath = "tools/sample/SETUP.INI";
// The kit's programs as built here are not signed: the sample's only problems.
const char kOnlyUnsigned[] =
    "문제:\r\n"
    "  경고: setup.exe: 서명되지 않음: 관리자 권한 요청에 '알 수 없는 게시자'로 표시됩니다\r\n"
    "  경고: Halvex.exe: 서명되지 않음: 관리자 권한 요청에 '알 수 없는 게시자'로 표시됩니다\r\n"
    "  경고: Dorcel.exe: 서명되지 않음: 관리자 권한 요청에 '알 수 없는 게시자'로 표시됩니다\r\n"
    "\r\n결과: 오류 0개, 경고 3개";

const char kSampleInstallDir[] = "INSTALLDIR=<PROGRAMFILES>\\Korvane\\별빛 가계부";

bool Has(const std::string& text, const std::string& part) {
  return text.find(part) != std::string::npos;
}

// A script for the sample medium whose Korean is only syllables that are valid UTF-8
// as well (in code page 949 here); name is the [APP] NAME line's value.
std::string ScriptNamed(const std::string& name) {
  return "[APP]\r\nNAME=" + name +
         "\r\nVERSION=1.0\r\nCOMPANY=Korvane\r\nINSTALLDIR=<PROGRAMFILES>\\체크키트\r\n"
         "UNINSTALL=Remove\r\nUNINSTALLENTRY=YES\r\n[BDE]\r\nFILE=Paradox.RAR\r\n"
         "DATE=2024-03-01\r\n[FILES]\r\nFILE1=PROGRAM.RAR,<INSTALLDIR>\r\n"
         "FILE2=DATA.RAR,<INSTALLDIR>\\DATA\r\n[ICONS]\r\n"
         "ICON1=Common Programs,체크키트,<INSTALLDIR>\\BYEOLBIT.EXE\r\n";
}

class Kitcheck : public ::testing::Test {
 protected:
  void SetUp() override {
    const std::string name = ::testing::UnitTest::GetInstance()->current_test_info()->name();
    medium_ = ScratchDir("kitcheck-" + name);
    for (const char* file : {"setup.exe", "UNRAR.DLL", "Halvex.exe", "Dorcel.exe"}) {
      ASSERT_TRUE(CopyFileA(KitOutputPath(file).c_str(), (medium_ + file).c_str(), FALSE));
    }
    script_ = ReadFileBytes(SourceTreePath(kSampleScriptPath));
    ASSERT_FALSE(script_.empty());
    WriteFileBytes(medium_ + "SETUP.INI", script_);
    WriteArchive(medium_ + "PROGRAM.RAR",
                 {{"BYEOLBIT.EXE", "program"}, {"도움말\\읽어보기.TXT", "help"}});
    WriteArchive(medium_ + "DATA.RAR", {{"표본자료.DAT", "sample"}, {"2024.DAT", "2024"}});
    WriteArchive(medium_ + "Paradox.RAR", {{"IDAPI32.DLL", "engine"}});
  }

  // kitcheck from the kit's folder on the medium, with arguments after the medium.
  // (A "\" before a closing quote would escape it: the medium goes without one.)
  ConsoleRun Check(const std::string& more = std::string()) {
    const std::string dir = medium_.substr(0, medium_.size() - 1);
    return RunConsoleProgram("\"" + KitOutputPath("kitcheck.exe") + "\" \"" + dir + "\"" +
                             (more.empty() ? std::string() : " " + more));
  }
  // The sample script with one line replaced (or removed when replacement is empty).
  void ChangeScript(const std::string& line, const std::string& replacement) {
    std::string text = ReadFileBytes(medium_ + "SETUP.INI");
    const auto at = text.find(line + "\r\n");
    ASSERT_NE(std::string::npos, at) << line;
    text.replace(at, line.size() + 2, replacement.empty() ? "" : replacement + "\r\n");
    WriteFileBytes(medium_ + "SETUP.INI", text);
  }
  void AddToSection(const std::string& section, const std::string& line) {
    ChangeScript(section, section + "\r\n" + line);
  }

  struct Case {
    const char* What;
    std::function<void()> Make;
    unsigned Exit;
    std::vector<std::string> Lines;  // each somewhere in the report
  };
  void RunCases(const std::vector<Case>& cases) {
    for (const Case& c : cases) {
      SetUp();  // a fresh sample medium for every case
      c.Make();
      const ConsoleRun run = Check();
      EXPECT_EQ(c.Exit, run.ExitCode) << c.What << "\n" << run.Output;
      for (const std::string& line : c.Lines) {
        EXPECT_TRUE(Has(run.Output, line)) << c.What << "\n" << line << "\n" << run.Output;
      }
    }
  }

  std::string medium_;
  std::string script_;
};

}  // namespace

// Before the sample is installed by the next test: nothing of it is on the machine.
TEST_F(Kitcheck, AReadOnlyMediumAndTheMachineStayAsTheyWere) {
  const auto snapshot = [&] {
    std::map<std::string, std::string> files;
    WIN32_FIND_DATAA found;
    FindHandle search(FindFirstFileA((medium_ + "*").c_str(), &found));
    do {
      files[found.cFileName] = std::to_string(found.nFileSizeLow) + "/" +
                               std::to_string(found.ftLastWriteTime.dwLowDateTime) + "/" +
                               std::to_string(found.dwFileAttributes);
    } while (search && FindNextFileA(search.Get(), &found));
    return files;
  };
  WIN32_FIND_DATAA found;
  FindHandle search(FindFirstFileA((medium_ + "*").c_str(), &found));
  do {
    if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) {
      SetFileAttributesA((medium_ + found.cFileName).c_str(), FILE_ATTRIBUTE_READONLY);
    }
  } while (FindNextFileA(search.Get(), &found));
  // What an install would change on the machine, before and after the check.
  const auto machine = [] {
    return std::vector<bool>{
        KeyExists(HKEY_LOCAL_MACHINE, "Software\\Korvane\\별빛 가계부"),
        KeyExists(HKEY_LOCAL_MACHINE,
                  "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\별빛 가계부 1.0"),
        DirectoryExists(ProgramsFolder() + "\\별빛 가계부"),
        DirectoryExists("C:\\Program Files\\Korvane"),
        FileExists("C:\\Program Files\\Borland\\Common Files\\BDE\\IDAPI32.DLL")};
  };
  const auto before = snapshot();
  const std::vector<bool> machineBefore = machine();
  const ConsoleRun run = Check();
  EXPECT_EQ(0u, run.ExitCode) << run.Output;
  EXPECT_EQ(before, snapshot());
  EXPECT_EQ(machineBefore, machine());
}

TEST_F(Kitcheck, TheSampleMediumPassesAndItsLogIsTheOneSetupWrites) {
  const std::string parent = "C:\\Program Files\\Korvane";
  const std::string app = parent + "\\별빛 가계부";
  const ScratchFolder installed(parent);
  const std::string predicted = medium_ + "PREDICTED.LOG";
  const ConsoleRun run = Check("--log \"" + predicted + "\"");
  EXPECT_EQ(0u, run.ExitCode) << run.Output;
  EXPECT_TRUE(Has(run.Output, kOnlyUnsigned)) << run.Output;
  EXPECT_TRUE(Has(run.Output, "압축 라이브러리: " + medium_ + "UNRAR.DLL\r\n"));
  EXPECT_TRUE(Has(run.Output, "압축 풀기: " + medium_ + "PROGRAM.RAR -> " + app + " (2개 항목)"));
  EXPECT_TRUE(Has(run.Output, "프로그램 목록(앱 및 기능)에 항목"));
  EXPECT_FALSE(FileExists(app + "\\BYEOLBIT.EXE"));  // nothing was installed
  const std::string log = ReadFileBytes(predicted);
  ASSERT_FALSE(log.empty());
  // UNINSTALLALL=YES: before the REG: line, what setup puts down whole, the directories
  // the run makes (deepest first, the parent it makes too) and the product key.
  EXPECT_TRUE(Has(log, "FILE:" + app + "\\Halvex.exe\r\nFILE:" + app + "\\Dorcel.exe\r\nFILE:" +
                           app + "\\Paradox.RAR\r\nFILE:" + app + "\\UNRAR.DLL\r\nDIR:" + app +
                           "\\도움말\r\nDIR:" + app + "\\자료\r\nDIR:" + app + "\r\nDIR:" + parent +
                           "\r\nKEY:Software\\Korvane\\별빛 가계부\\1.0\r\nREG:"))
      << log;

  {
    SetupSession setup(medium_);
    setup.GoTo(kSummary);
    setup.PressAndWaitFor(setup.Next(), kCompleted);
    ui::Click(setup.Cancel());
    ASSERT_EQ(0u, setup.Program().WaitForExit());
  }
  EXPECT_EQ(log, ReadFileBytes(app + "\\INSTALL.LOG"));
}

TEST_F(Kitcheck, EachProblemIsNamedOnALineOfItsOwn) {
  const std::vector<Case> cases = {
      {"no script",
       [&] { DeleteFileA((medium_ + "SETUP.INI").c_str()); },
       1,
       {"  오류: SETUP.INI: 파일이 없습니다."}},
      {"no UNRAR.DLL",
       [&] { DeleteFileA((medium_ + "UNRAR.DLL").c_str()); },
       1,
       {"  오류: UNRAR.DLL: setup.exe 옆에 없습니다."}},
      {"a gap in FILES",
       [&] { ChangeScript("FILE1=PROGRAM.RAR,<INSTALLDIR>", ""); },
       1,
       {"  오류: [FILES] FILE1: 번호가 비어 있습니다."}},
      {"a gap in ICONS",
       [&] { ChangeScript("ICON1=Common Programs,별빛 가계부,<INSTALLDIR>\\BYEOLBIT.EXE", ""); },
       0,
       {"  경고: [ICONS] ICON1: 번호가 비어 있습니다."}},
      {"no engine archive",
       [&] { DeleteFileA((medium_ + "Paradox.RAR").c_str()); },
       1,
       {"  오류: [BDE] FILE: Paradox.RAR 파일이 매체에 없습니다."}},
      {"no CRW archive",
       [&] { ChangeScript("FILE=", "FILE=CRW.RAR"); },
       1,
       {"  오류: [CRW] FILE: CRW.RAR 파일이 매체에 없습니다."}},
      {"no FILES archive",
       [&] { DeleteFileA((medium_ + "DATA.RAR").c_str()); },
       0,
       {"  경고: [FILES] FILE2: DATA.RAR 파일이 매체에 없습니다."}},
      {"not an archive",
       [&] { WriteFileBytes(medium_ + "DATA.RAR", "no archive at all"); },
       1,
       {"  오류: [FILES] FILE2 DATA.RAR: 압축 파일을 열 수 없습니다 (라이브러리 코드 13)."}},
      {"an encrypted entry",
       [&] {
         const RarWriterEntry secret = EncryptedEntry("SECRET.DAT", "scrambled");
         ASSERT_TRUE(RarWriter().Add(secret).Save(medium_ + "DATA.RAR"));
       },
       1,
       {"  오류: [FILES] FILE2 DATA.RAR: 항목 SECRET.DAT 을(를) 검사할 수 없습니다 (라이브러리 "
        "코드 "
        "22)."}},
      {"a name the rules change",
       [&] {
         WriteArchive(medium_ + "DATA.RAR", {{"..\\..\\WINDOWS\\X.DAT", "x"}});
       },
       0,
       {"  경고: [FILES] FILE2 DATA.RAR: 항목 이름 ..\\..\\WINDOWS\\X.DAT 은(는) WINDOWS\\X.DAT "
        "(으)로 풀립니다."}},
      {"no Dorcel.exe",
       [&] { DeleteFileA((medium_ + "Dorcel.exe").c_str()); },
       0,
       {"  경고: [BDE] FILE: Dorcel.exe이(가) 매체에 없습니다."}},
      {"an unknown mode",
       [&] {
         ChangeScript("FILE2=DATA.RAR,<INSTALLDIR>\\자료",
                      "FILE2=DATA.RAR,<INSTALLDIR>\\자료,FAST");
       },
       0,
       {"  경고: [FILES] FILE2: 알 수 없는 방식 FAST"}},
      {"a shortcut to nothing",
       [&] {
         ChangeScript("ICON2=Common Desktop,별빛 가계부,<INSTALLDIR>\\BYEOLBIT.EXE",
                      "ICON2=Common Desktop,별빛 가계부,<INSTALLDIR>\\NOWHERE.EXE");
       },
       0,
       {"  경고: [ICONS] ICON2: 대상 C:\\Program Files\\Korvane\\별빛 가계부\\NOWHERE.EXE 을(를) "
        "설치하는"}},
      {"no title",
       [&] {
         ChangeScript("NAME=별빛 가계부", "");
         ChangeScript("VERSION=1.0", "");
       },
       1,
       {"  오류: [APP] NAME, VERSION: 제품 이름이 비어 있습니다."}},
      {"a literal Program Files folder, both forms inside it",
       [&] { ChangeScript(kSampleInstallDir, "INSTALLDIR=c:\\program files\\별빛"); },
       0,
       {"  경고: [APP] INSTALLDIR: c:\\program files\\별빛: 64비트 Windows에서 32비트 프로그램의 "
        "Program Files 폴더는 C:\\Program Files (x86)입니다. <PROGRAMFILES>를 쓰십시오.",
        "결과: 오류 0개, 경고 4개"}},
      {"the other form of the Program Files folder",
       [&] { ChangeScript(kSampleInstallDir, "INSTALLDIR=C:\\Program Files (x86)\\별빛"); },
       0,
       {"  경고: [APP] INSTALLDIR: C:\\Program Files (x86)\\별빛: 64비트",
        "결과: 오류 0개, 경고 4개"}},
      {"shortcuts only in the user's folders",
       [&] {
         ChangeScript("ICON1=Common Programs,별빛 가계부,<INSTALLDIR>\\BYEOLBIT.EXE",
                      "ICON1=Programs,별빛 가계부,<INSTALLDIR>\\BYEOLBIT.EXE");
         ChangeScript("ICON2=Common Desktop,별빛 가계부,<INSTALLDIR>\\BYEOLBIT.EXE",
                      "ICON2=Desktop,별빛 가계부,<INSTALLDIR>\\BYEOLBIT.EXE");
       },
       0,
       {"  경고: [ICONS]: 관리자 권한으로 설치하면 설치한 계정에만 바로 가기가 생깁니다. ",
        "결과: 오류 0개, 경고 4개"}},
      {"one common folder is enough",
       [&] {
         ChangeScript("ICON2=Common Desktop,별빛 가계부,<INSTALLDIR>\\BYEOLBIT.EXE",
                      "ICON2=Desktop,별빛 가계부,<INSTALLDIR>\\BYEOLBIT.EXE");
       },
       0,
       {kOnlyUnsigned}},
      {"outside Program Files",
       [&] { ChangeScript(kSampleInstallDir, "INSTALLDIR=C:\\별빛"); },
       0,
       {"  경고: [APP] INSTALLDIR: C:\\별빛 은(는) Program Files 폴더 밖에 있습니다."}},
  };
  RunCases(cases);
}

TEST_F(Kitcheck, TheScriptIsJudgedByWhatSetupReadsFromIt) {
  const std::string marked =
      "  오류: SETUP.INI: UTF-8(바이트 순서 표시 포함)로 저장되어 있습니다. ";
  const std::string ignored = ": setup이 읽지 않는 키입니다. setup은 ";
  const std::vector<Case> cases = {
      {"code page 949 that is valid UTF-8 too",
       [&] { WriteFileBytes(medium_ + "SETUP.INI", ScriptNamed("체크키트")); },
       0,
       {kOnlyUnsigned}},
      {"valid both ways, neither reading plainly meant",
       [&] { WriteFileBytes(medium_ + "SETUP.INI", ScriptNamed("Caf\xC3\xA9")); },
       0,
       {"  경고: SETUP.INI: 코드 페이지 949로도 UTF-8로도 읽을 수 있습니다. 2번째 줄은 코드 "
        "페이지 949로(setup이 읽는 대로) \"NAME=Caf\xC3\xA9\", UTF-8로 \"NAME=Caf?\"입니다."}},
      {"UTF-8",
       [&] { WriteFileBytes(medium_ + "SETUP.INI", "[APP]\r\nNAME=\xEB\xB3\x84\xEB\xB9\x9B\r\n"); },
       1,
       {"  오류: SETUP.INI: UTF-8로 저장되어 있습니다. 한글이 모두 깨집니다."}},
      {"not code page 949",
       [&] { WriteFileBytes(medium_ + "SETUP.INI", "[APP]\r\nNAME=A\r\nVERSION=\xB0\x20\r\n"); },
       1,
       {"  오류: SETUP.INI: 3번째 줄이 코드 페이지 949 텍스트가 아닙니다."}},
      {"a mark before [APP]",
       [&] { WriteFileBytes(medium_ + "SETUP.INI", "\xEF\xBB\xBF[APP]\r\nNAME=\xEB\xB3\x84\r\n"); },
       1,
       {marked + "Windows는 표시를 첫 줄에 붙여 읽어 [APP] 섹션을 찾지 못하므로 제품 이름, 제목, "
                 "설치 디렉토리가 비게 됩니다. 다른 값의 한글도 모두 깨집니다. 코드 페이지 "
                 "949로 저장하십시오."}},
      {"a mark before [FILES]",
       [&] {
         WriteFileBytes(medium_ + "SETUP.INI",
                        "\xEF\xBB\xBF[FILES]\r\nFILE1=DATA.RAR,C:\\D\r\n[APP]\r\nNAME=A\r\n");
       },
       1,
       {marked + "Windows는 표시를 첫 줄에 붙여 읽어 [FILES] 섹션을 찾지 못하므로 그 섹션의 키를 "
                 "모두 잃습니다. 코드 페이지 949로 저장하십시오."}},
      {"a mark before a comment",
       [&] { WriteFileBytes(medium_ + "SETUP.INI", "\xEF\xBB\xBF" + script_); },
       1,
       {marked + "한글이 모두 깨집니다. 코드 페이지 949로 저장하십시오."}},
      {"FILE01 for FILE1",
       [&] { ChangeScript("FILE1=PROGRAM.RAR,<INSTALLDIR>", "FILE01=PROGRAM.RAR,<INSTALLDIR>"); },
       1,
       {"  경고: [FILES] FILE01" + ignored + "FILE1부터 FILE10까지, 앞에 0 없는 번호만 읽습니다.",
        "  오류: [FILES] FILE1: 번호가 비어 있습니다."}},
      {"a key above 10",
       [&] { AddToSection("[FILES]", "FILE11=DATA.RAR,<INSTALLDIR>"); },
       0,
       {"  경고: [FILES] FILE11" + ignored + "FILE1부터 FILE10까지"}},
      {"ICON0",
       [&] { AddToSection("[ICONS]", "ICON0=Desktop,A,<INSTALLDIR>\\BYEOLBIT.EXE"); },
       0,
       {"  경고: [ICONS] ICON0" + ignored + "ICON1부터 ICON10까지"}},
      {"a key twice",
       [&] { AddToSection("[FILES]", "FILE1=PROGRAM.RAR,<INSTALLDIR>"); },
       0,
       {"  경고: [FILES] FILE1: 같은 키가 앞에 있어 setup이 읽지 않습니다."}},
  };
  RunCases(cases);
}

TEST_F(Kitcheck, PathsArchivesAndTheUninstallEntryNameWhatFollows) {
  const std::string longDir = "C:\\Program Files\\" + std::string(240, 'L');
  const std::string longName = std::string(240, 'D') + ".DAT";
  std::string korean;
  for (int i = 0; i < 120; ++i) korean += "가";
  const std::string notRar = "  오류: [FILES] FILE2 DATA.RAR: RAR 압축 파일이 아니라 ";
  const std::vector<Case> cases = {
      {"a Korean path of 276 bytes and 149 characters",
       [&] { ChangeScript(kSampleInstallDir, "INSTALLDIR=<PROGRAMFILES>\\" + korean); },
       0,
       {kOnlyUnsigned}},
      {"an install directory of 257 characters",
       [&] { ChangeScript(kSampleInstallDir, "INSTALLDIR=" + longDir); },
       1,
       {"  오류: " + longDir +
            "\\Halvex.exe: 설치될 경로가 268자입니다. 260자 이상이면 setup이 파일을 복사하지 "
            "못합니다.",
        "  오류: " + longDir +
            "\\INSTALL.LOG: 설치될 경로가 269자입니다. 260자 이상이면 setup이 설치 기록을 쓰지 "
            "못해 Halvex가 아무것도 제거하지 못합니다.",
        "  경고: " + longDir +
            "\\BYEOLBIT.EXE: 설치될 경로가 270자입니다. 압축 라이브러리와 Halvex는 다루지만"}},
      {"a long shortcut name",
       [&] {
         ChangeScript(
             "ICON2=Common Desktop,별빛 가계부,<INSTALLDIR>\\BYEOLBIT.EXE",
             "ICON2=Common Desktop," + std::string(250, 'S') + ",<INSTALLDIR>\\BYEOLBIT.EXE");
       },
       1,
       {".LNK: 설치될 경로가 ", "자입니다. 260자 이상이면 setup이 바로 가기를 만들지 못합니다."}},
      {"a long extracted name",
       [&] {
         WriteArchive(medium_ + "DATA.RAR", {{longName, "x"}});
       },
       0,
       {"  경고: C:\\Program Files\\Korvane\\별빛 가계부\\자료\\" + longName + ": 설치될 경로가 "}},
      {"an Apps & features entry without Halvex.exe",
       [&] { DeleteFileA((medium_ + "Halvex.exe").c_str()); },
       1,
       {"  경고: [APP] UNINSTALL: Halvex.exe이(가) 매체에 없어",
        "  오류: [APP] UNINSTALLENTRY: Halvex.exe이(가) 매체에 없어 setup이 앱 및 기능 목록에 "
        "항목을 쓰지 않습니다. 프로그램을 제거할 방법이 없습니다."}},
      {"no Halvex.exe, no entry asked for",
       [&] {
         DeleteFileA((medium_ + "Halvex.exe").c_str());
         ChangeScript("UNINSTALLENTRY=YES", "");
       },
       0,
       {"  경고: [APP] UNINSTALL: Halvex.exe이(가) 매체에 없어"}},
      {"an Apps & features entry without shortcuts",
       [&] {
         ChangeScript("ICON1=Common Programs,별빛 가계부,<INSTALLDIR>\\BYEOLBIT.EXE", "");
         ChangeScript("ICON2=Common Desktop,별빛 가계부,<INSTALLDIR>\\BYEOLBIT.EXE", "");
       },
       1,
       {"  오류: [APP] UNINSTALLENTRY: [ICONS] 항목이 없어"}},
      {"a ZIP file",
       [&] {
         WriteFileBytes(medium_ + "DATA.RAR", std::string("PK\x03\x04\x14\0\0\0", 8) + "zip");
       },
       1,
       {notRar + "ZIP 파일입니다. setup은 이 파일의 압축을 풀 수 없습니다."}},
      {"a CAB file as the engine archive",
       [&] { WriteFileBytes(medium_ + "Paradox.RAR", std::string("MSCF\0\0\0\0rest", 12)); },
       1,
       {"  오류: [BDE] FILE Paradox.RAR: RAR 압축 파일이 아니라 CAB 파일입니다."}},
      {"a RAR 5 archive",
       [&] {
         WriteFileBytes(medium_ + "DATA.RAR", std::string("Rar!\x1A\x07\x01\x00", 8) + "rar 5");
       },
       1,
       {"  오류: [FILES] FILE2 DATA.RAR: RAR 5 형식의 압축 파일입니다. 이 압축 라이브러리는 "
        "RAR 5 형식을 열지 못합니다 (라이브러리 코드 13). RAR 4 형식으로 만드십시오"}},
  };
  RunCases(cases);
}

TEST_F(Kitcheck, BesideTheMediumWithoutArgumentsAndWithoutAnyArchiveLibrary) {
  ASSERT_TRUE(
      CopyFileA(KitOutputPath("kitcheck.exe").c_str(), (medium_ + "kitcheck.exe").c_str(), FALSE));
  ConsoleRun run = RunConsoleProgram("\"" + medium_ + "kitcheck.exe\"", "C:\\");
  EXPECT_EQ(0u, run.ExitCode) << run.Output;
  EXPECT_TRUE(Has(run.Output, "설치 매체 검사: " + medium_ + "\r\n")) << run.Output;

  // No library on the medium nor beside kitcheck: the archives go unchecked, the rest not.
  DeleteFileA((medium_ + "UNRAR.DLL").c_str());
  ChangeScript("FILE1=PROGRAM.RAR,<INSTALLDIR>", "");
  run = RunConsoleProgram("\"" + medium_ + "kitcheck.exe\"", "C:\\");
  EXPECT_EQ(1u, run.ExitCode);
  EXPECT_TRUE(Has(run.Output, "압축 라이브러리: 없음")) << run.Output;
  EXPECT_TRUE(Has(run.Output, "  경고: UNRAR.DLL: 압축 라이브러리를 찾지 못해")) << run.Output;
  EXPECT_TRUE(Has(run.Output, "  오류: [FILES] FILE1: 번호가 비어 있습니다.")) << run.Output;
}

TEST_F(Kitcheck, BadArgumentsAndAMissingDirectoryCannotRun) {
  for (const std::string& arguments :
       {std::string("\"C:\\no such medium\""), std::string("--log"), std::string("--fast"),
        std::string("A B"), std::string("--dir"), std::string("--dir C:\\A --dir C:\\B")}) {
    const ConsoleRun run =
        RunConsoleProgram("\"" + KitOutputPath("kitcheck.exe") + "\" " + arguments);
    EXPECT_EQ(2u, run.ExitCode) << arguments;
    EXPECT_FALSE(run.Errors.empty()) << arguments;
    EXPECT_TRUE(run.Output.empty()) << arguments;
  }
}
