// kitcheck.exe run like a distributor runs it, on media made here: the sample
// product's medium (its predicted log against the log setup.exe then writes), a
// medium with each kind of problem, a read-only medium, and bad arguments.
#include "rar_writer/rar_writer.h"
#include "setup/support/install_test_support.h"
#include "setup/support/setup_session.h"
#include "shared/file_system.h"
#include "support/registry_support.h"
#include "support/scopes.h"
#include "support/test_support.h"
#include "testing/console_program.h"
#include "testing/ui_driver.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <functional>
#include <map>
#include <string>
#include <vector>

namespace {

namespace ui = ui_driver;

const std::string kSampleScriptPath = "tools/sample/SETUP.INI";

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

  std::string medium_;
  std::string script_;
};

bool Has(const std::string& text, const std::string& part) {
  return text.find(part) != std::string::npos;
}

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
        DirectoryExists("C:\\Program Files\\별빛 가계부"),
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
  const std::string app = "C:\\Program Files\\별빛 가계부";
  const ScratchFolder installed(app);
  const std::string predicted = medium_ + "PREDICTED.LOG";
  const ConsoleRun run = Check("--log \"" + predicted + "\"");
  EXPECT_EQ(0u, run.ExitCode) << run.Output;
  EXPECT_TRUE(Has(run.Output, "문제:\r\n  없음\r\n")) << run.Output;
  EXPECT_TRUE(Has(run.Output, "압축 라이브러리: " + medium_ + "UNRAR.DLL\r\n"));
  EXPECT_TRUE(Has(run.Output, "압축 풀기: " + medium_ + "PROGRAM.RAR -> " + app + " (2개 항목)"));
  EXPECT_TRUE(Has(run.Output, "프로그램 목록(앱 및 기능)에 항목"));
  EXPECT_FALSE(FileExists(app + "\\BYEOLBIT.EXE"));  // nothing was installed
  const std::string log = ReadFileBytes(predicted);
  ASSERT_FALSE(log.empty());

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
  struct Case {
    const char* What;
    std::function<void()> Make;
    unsigned Exit;
    std::string Line;
  };
  const std::string zip = std::string("PK\x03\x04", 4) + " not a rar archive";
  const std::vector<Case> cases = {
      {"no script", [&] { DeleteFileA((medium_ + "SETUP.INI").c_str()); }, 1,
       "  오류: SETUP.INI: 파일이 없습니다."},
      {"UTF-8 with a mark",
       [&] { WriteFileBytes(medium_ + "SETUP.INI", "\xEF\xBB\xBF[APP]\r\nNAME=\xEB\xB3\x84\r\n"); },
       1, "  오류: SETUP.INI: UTF-8(바이트 순서 표시 포함)로 저장되어 있습니다."},
      {"UTF-8",
       [&] { WriteFileBytes(medium_ + "SETUP.INI", "[APP]\r\nNAME=\xEB\xB3\x84\xEB\xB9\x9B\r\n"); },
       1, "  오류: SETUP.INI: UTF-8로 저장되어 있습니다."},
      {"not code page 949",
       [&] { WriteFileBytes(medium_ + "SETUP.INI", "[APP]\r\nNAME=A\r\nVERSION=\xB0\x20\r\n"); }, 1,
       "  오류: SETUP.INI: 3번째 줄이 코드 페이지 949 텍스트가 아닙니다."},
      {"no UNRAR.DLL", [&] { DeleteFileA((medium_ + "UNRAR.DLL").c_str()); }, 1,
       "  오류: UNRAR.DLL: setup.exe 옆에 없습니다."},
      {"a gap in FILES", [&] { ChangeScript("FILE1=PROGRAM.RAR,<INSTALLDIR>", ""); }, 1,
       "  오류: [FILES] FILE1: 번호가 비어 있습니다."},
      {"a gap in ICONS",
       [&] { ChangeScript("ICON1=Programs,별빛 가계부,<INSTALLDIR>\\BYEOLBIT.EXE", ""); }, 0,
       "  경고: [ICONS] ICON1: 번호가 비어 있습니다."},
      {"a key above 10", [&] { AddToSection("[FILES]", "FILE11=DATA.RAR,<INSTALLDIR>"); }, 0,
       "  경고: [FILES] FILE11: 10보다 큰 번호는 setup이 읽지 않습니다."},
      {"no engine archive", [&] { DeleteFileA((medium_ + "Paradox.RAR").c_str()); }, 1,
       "  오류: [BDE] FILE: Paradox.RAR 파일이 매체에 없습니다."},
      {"no CRW archive", [&] { ChangeScript("FILE=", "FILE=CRW.RAR"); }, 1,
       "  오류: [CRW] FILE: CRW.RAR 파일이 매체에 없습니다."},
      {"no FILES archive", [&] { DeleteFileA((medium_ + "DATA.RAR").c_str()); }, 0,
       "  경고: [FILES] FILE2: DATA.RAR 파일이 매체에 없습니다."},
      {"not an archive", [&] { WriteFileBytes(medium_ + "DATA.RAR", zip); }, 1,
       "  오류: [FILES] FILE2 DATA.RAR: 압축 파일을 열 수 없습니다 (라이브러리 코드 13)."},
      {"an encrypted entry",
       [&] {
         RarWriterEntry secret;
         secret.name = "SECRET.DAT";
         secret.data = "scrambled";
         secret.encrypted = true;
         ASSERT_TRUE(RarWriter().Add(secret).Save(medium_ + "DATA.RAR"));
       },
       1,
       "  오류: [FILES] FILE2 DATA.RAR: 항목 SECRET.DAT 을(를) 검사할 수 없습니다 (라이브러리 코드 "
       "22)."},
      {"a name the rules change",
       [&] {
         WriteArchive(medium_ + "DATA.RAR", {{"..\\..\\WINDOWS\\X.DAT", "x"}});
       },
       0,
       "  경고: [FILES] FILE2 DATA.RAR: 항목 이름 ..\\..\\WINDOWS\\X.DAT 은(는) WINDOWS\\X.DAT "
       "(으)로 풀립니다."},
      {"a path of 260 bytes",
       [&] {
         ChangeScript("INSTALLDIR=C:\\Program Files\\별빛 가계부",
                      "INSTALLDIR=C:\\Program Files\\" + std::string(240, 'L'));
       },
       1, "바이트입니다. 260바이트 이상인 경로는 setup이 만들 수 없습니다."},
      {"no Halvex.exe", [&] { DeleteFileA((medium_ + "Halvex.exe").c_str()); }, 0,
       "  경고: [APP] UNINSTALL: Halvex.exe이(가) 매체에 없어"},
      {"no Dorcel.exe", [&] { DeleteFileA((medium_ + "Dorcel.exe").c_str()); }, 0,
       "  경고: [BDE] FILE: Dorcel.exe이(가) 매체에 없습니다."},
      {"an unknown mode",
       [&] {
         ChangeScript("FILE2=DATA.RAR,<INSTALLDIR>\\자료",
                      "FILE2=DATA.RAR,<INSTALLDIR>\\자료,FAST");
       },
       0, "  경고: [FILES] FILE2: 알 수 없는 방식 FAST"},
      {"a shortcut to nothing",
       [&] {
         ChangeScript("ICON2=Desktop,별빛 가계부,<INSTALLDIR>\\BYEOLBIT.EXE",
                      "ICON2=Desktop,별빛 가계부,<INSTALLDIR>\\NOWHERE.EXE");
       },
       0,
       "  경고: [ICONS] ICON2: 대상 C:\\Program Files\\별빛 가계부\\NOWHERE.EXE 을(를) 설치하는"},
      {"no title",
       [&] {
         ChangeScript("NAME=별빛 가계부", "");
         ChangeScript("VERSION=1.0", "");
       },
       1, "  오류: [APP] NAME, VERSION: 제품 이름이 비어 있습니다."},
      {"outside Program Files",
       [&] { ChangeScript("INSTALLDIR=C:\\Program Files\\별빛 가계부", "INSTALLDIR=C:\\별빛"); }, 0,
       "  경고: [APP] INSTALLDIR: C:\\별빛 은(는) Program Files 폴더 밖에 있습니다."},
  };
  for (const Case& c : cases) {
    SetUp();  // a fresh sample medium for every case
    c.Make();
    const ConsoleRun run = Check();
    EXPECT_EQ(c.Exit, run.ExitCode) << c.What << "\n" << run.Output;
    EXPECT_TRUE(Has(run.Output, c.Line)) << c.What << "\n" << run.Output;
  }
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
  for (const std::string& arguments : {std::string("\"C:\\no such medium\""), std::string("--log"),
                                       std::string("--fast"), std::string("A B")}) {
    const ConsoleRun run =
        RunConsoleProgram("\"" + KitOutputPath("kitcheck.exe") + "\" " + arguments);
    EXPECT_EQ(2u, run.ExitCode) << arguments;
    EXPECT_FALSE(run.Errors.empty()) << arguments;
    EXPECT_TRUE(run.Output.empty()) << arguments;
  }
}
