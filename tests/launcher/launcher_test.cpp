// The launcher's parts in this process: its reading of the command line, its check of
// a payload, the temporary folder with its access list, the writing and proving of
// the files, the run log's line and the fallback for systems that cannot restrict the
// library search.
#include "launcher/access_lists.h"
#include "launcher/command_line.h"
#include "launcher/extraction.h"
#include "launcher/failure_report.h"
#include "launcher/library_search.h"
#include "launcher/one_file_maker.h"
#include "launcher/payload_file.h"
#include "launcher/progress_window.h"
#include "launcher/temporary_folder.h"
#include "support/scopes.h"
#include "support/test_support.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <string>
#include <vector>

namespace {

std::wstring Wide(const std::string& cp949) {
  std::wstring wide(cp949.size(), L'\0');
  wide.resize(MultiByteToWideChar(949, 0, cp949.data(), static_cast<int>(cp949.size()), &wide[0],
                                  static_cast<int>(wide.size())));
  return wide;
}

std::string Narrow(const std::wstring& wide) {
  std::string text(wide.size() * 2, '\0');
  text.resize(WideCharToMultiByte(949, 0, wide.data(), static_cast<int>(wide.size()), &text[0],
                                  static_cast<int>(text.size()), nullptr, nullptr));
  return text;
}

struct Read {
  bool Silent;
  std::string Log;
  std::string Parameters;
};

Read ReadLine(const std::string& arguments) {
  LaunchOptions options;
  ReadArguments(Wide(arguments).c_str(), options);
  return {options.Silent, Narrow(options.LogFile.Text()), Narrow(options.Parameters.Text())};
}

TEST(LauncherCommandLine, SkipsTheProgramsOwnName) {
  EXPECT_STREQ(L"/S /DIR=x", ArgumentsOf(L"\"C:\\내 문서\\setup (1).exe\"  /S /DIR=x"));
  EXPECT_STREQ(L"/S", ArgumentsOf(L"OUT.EXE\t/S"));
  EXPECT_STREQ(L"", ArgumentsOf(L"\"C:\\OUT.EXE\""));
  EXPECT_STREQ(L"", ArgumentsOf(L""));
}

TEST(LauncherCommandLine, RecognisesEverySilentSwitchInAnyCaseAndNothingElse) {
  for (const char* line : {"/SILENT", "/silent", "/VerySilent", "/S", "/s", "/Q", "/q", "/QUIET",
                           "/quiet", "\"/SILENT\"", "/X /S /Y"}) {
    EXPECT_TRUE(ReadLine(line).Silent) << line;
  }
  for (const char* line : {"", "/SILENTLY", "/SS", "-S", "/S=1", "SILENT", "/DIR=/S", "/LOG=/Q"}) {
    EXPECT_FALSE(ReadLine(line).Silent) << line;
  }
}

TEST(LauncherCommandLine, MakesRelativePathsFullAgainstTheCurrentDirectory) {
  const std::string dir = ScratchDir("launcher-cmd");
  const CurrentDirectoryScope inside(dir);
  const Read read = ReadLine("/VERYSILENT /DIR=\"별빛 가계부\" /LOG=run.log");
  EXPECT_TRUE(read.Silent);
  EXPECT_EQ(dir + "run.log", read.Log);
  EXPECT_EQ("/VERYSILENT /DIR=\"" + dir + "별빛 가계부\" /LOG=\"" + dir + "run.log\"",
            read.Parameters);
  EXPECT_EQ("/dir=\"C:\\kit-tests\\up\"", ReadLine("/dir=..\\up").Parameters);  // as typed
  EXPECT_EQ("/DIR=\"" + dir + "a b\"", ReadLine("\"/DIR=a b\"").Parameters);
  EXPECT_EQ("/Log=\"" + dir + "x.log\"", ReadLine("/Log=\"x.log\"").Parameters);
}

TEST(LauncherCommandLine, KeepsFullPathsMacrosAndOtherArgumentsAsWritten) {
  EXPECT_EQ("/DIR=\"C:\\X\\\"", ReadLine("/DIR=\"C:\\X\\\"").Parameters);  // \" is no escape
  EXPECT_EQ("/DIR=\"D:/제품\"", ReadLine("/DIR=D:/제품").Parameters);
  EXPECT_EQ("/DIR=\"\\\\server\\share\\x\"", ReadLine("/DIR=\\\\server\\share\\x").Parameters);
  EXPECT_EQ("/DIR=\"<WINDIR>\\별빛\"", ReadLine("/DIR=\"<WINDIR>\\별빛\"").Parameters);
  const Read log = ReadLine("/LOG=\"C:\\logs\\설치 기록.txt\"");
  EXPECT_EQ("C:\\logs\\설치 기록.txt", log.Log);
  EXPECT_EQ("/X \"a  b\" 별빛 /?", ReadLine("  /X   \"a  b\"\t별빛 /?  ").Parameters);
  EXPECT_EQ("", ReadLine("").Log);
}

// A payload in a file of its own, after prefix bytes and followed by trailer bytes
// (as a signature follows it); the payload's offset is the prefix's length.
std::wstring PayloadFileAt(const std::string& name, const std::string& payload,
                           const std::string& prefix = "MZ-the-launcher",
                           const std::string& trailer = std::string(24, '\x5A')) {
  const std::string path = ScratchDir("launcher-payload") + name;
  WriteFileBytes(path, prefix + payload + trailer);
  return Wide(path);
}

const std::vector<PayloadFileSpec> kMedium = {
    {"setup.exe", "MZ setup"},
    {"SETUP.INI", "[APP]\r\nNAME=별빛 가계부\r\n"},
    {"별빛.RAR", PatternBytes(3 << 20, 3)},  // across several of the reader's blocks
    {"EMPTY.TXT", ""},
};

bool Checks(const std::string& payload, std::uint64_t offsetShift = 0) {
  PayloadFile file;
  ProgressWindow progress(INFINITE, true);
  return file.Open(PayloadFileAt("medium.exe", payload).c_str(), 15 + offsetShift) &&
         file.Check(progress);
}

TEST(LauncherPayload, ReadsTheMediumBehindTheLauncherWhateverFollows) {
  PayloadFile file;
  ProgressWindow progress(INFINITE, true);
  const std::string payload = MakePayload(kMedium);
  ASSERT_TRUE(file.Open(PayloadFileAt("medium.exe", payload).c_str(), 15));
  ASSERT_TRUE(file.Check(progress));
  ASSERT_EQ(4u, file.Count());
  EXPECT_EQ(Wide("별빛.RAR"), file.Name(2));
  EXPECT_EQ(3u << 20, file.Size(2));
  EXPECT_EQ(0u, file.Size(3));
  std::string data;
  const unsigned char* piece = nullptr;
  std::size_t got = 0;
  ASSERT_TRUE(file.StartData());
  while (file.NextData(100000, piece, got)) data.append(reinterpret_cast<const char*>(piece), got);
  std::string expected;
  for (const PayloadFileSpec& file : kMedium) expected += file.Data;
  EXPECT_TRUE(data == expected);
}

TEST(LauncherPayload, RefusesEveryDamagedOrIncompleteDownload) {
  const std::string payload = MakePayload(kMedium);
  ASSERT_TRUE(Checks(payload));
  for (std::size_t cut : {std::size_t{0}, std::size_t{31}, std::size_t{60}, payload.size() - 1}) {
    PayloadFile file;
    ProgressWindow progress(INFINITE, true);
    const bool read =
        file.Open(PayloadFileAt("cut.exe", payload.substr(0, cut), "MZ-the-launcher", "").c_str(),
                  15) &&
        file.Check(progress);
    EXPECT_FALSE(read) << "cut at " << cut;
  }
  for (std::size_t at :
       {std::size_t{12}, std::size_t{40}, payload.size() / 2, payload.size() - 1}) {
    std::string altered = payload;
    altered[at] ^= 0x10;
    EXPECT_FALSE(Checks(altered)) << "byte " << at << " altered";
  }
  EXPECT_FALSE(Checks(payload, 1));  // not where the launcher's sections end
}

// The payload of these files, its checksum right: only the names or sizes are wrong.
bool ChecksSealed(const std::vector<PayloadFileSpec>& files) { return Checks(MakePayload(files)); }

TEST(LauncherPayload, RefusesNamesThatWouldLeaveOrMisuseTheFolder) {
  const PayloadFileSpec setup = {"setup.exe", "MZ"};
  for (const char* name : {"..\\UNRAR.DLL", "C:\\x.dll", "sub\\x", "CON", "nul.txt", "a:b", "x.",
                           "a?", "A\xB0", "LPT1"}) {
    EXPECT_FALSE(ChecksSealed({setup, {name, "x"}})) << name;
  }
  EXPECT_FALSE(ChecksSealed({setup, {std::string("a\0b", 3), "x"}}));
  EXPECT_FALSE(ChecksSealed({setup, {"UNRAR.DLL", "1"}, {"unrar.dll", "2"}}));
  EXPECT_FALSE(ChecksSealed({setup, {"ａ.TXT", "1"}, {"Ａ.TXT", "2"}}));  // full-width letters
  EXPECT_FALSE(ChecksSealed({{"SETUP.INI", "x"}}));                       // no setup.exe
  EXPECT_TRUE(ChecksSealed({{"SETUP.EXE", "MZ"}, {"별빛.RAR", "1"}, {"별빛2.RAR", "2"}}));
}

TEST(LauncherPayload, RefusesSizesThatDoNotAddUpToTheData) {
  std::string payload = MakePayload({{"setup.exe", "MZ setup"}, {"A", "12345"}});
  // The first entry's size (after its 2-byte name length and 9-byte name) one larger.
  std::string larger = payload;
  larger[32 + 2 + 9] += 1;
  Reseal(larger);
  EXPECT_FALSE(Checks(larger));
  std::string count = payload;  // one file fewer than the index holds
  count[12] = 1;
  Reseal(count);
  EXPECT_FALSE(Checks(count));
}

std::string TempPath() {
  char path[MAX_PATH + 1] = {};
  return std::string(path, GetTempPathA(sizeof path, path));
}

TEST(LauncherFolder, IsNewUnguessableAndOpenOnlyToTheUserAdministratorsAndSystem) {
  TemporaryFolder first, second;
  ASSERT_TRUE(first.Create());
  ASSERT_TRUE(second.Create());
  const std::string path = Narrow(first.Path().Text());
  EXPECT_NE(path, Narrow(second.Path().Text()));
  ASSERT_EQ(TempPath().size() + 20, path.size()) << path;
  EXPECT_EQ(TempPath() + "kit", path.substr(0, TempPath().size() + 3));
  EXPECT_EQ(path.size() - 1, path.find_first_not_of("0123456789abcdef", TempPath().size() + 3))
      << path.substr(TempPath().size() + 3, 16) << " is not 16 hexadecimal digits";

  // Made with this list, protected (P): nothing inherited from the temporary folder.
  const std::string user = UserSid();
  EXPECT_EQ("D:P(A;OICI;FA;;;" + user + ")(A;OICI;FA;;;BA)(A;OICI;FA;;;SY)",
            Narrow(FolderSecurity().Text()));
  // Read back, it grants no one else anything and holds nothing inherited (Wine keeps
  // no lists: it shows the folder's Unix mode, which grants the group and others
  // nothing, where a folder made without the list shows an entry for everyone).
  const std::string readBack = AccessList(path.substr(0, path.size() - 1));
  EXPECT_EQ("", ForeignEntries(readBack, user)) << readBack;
  const std::string plain = ScratchDir("launcher-plain-folder");
  EXPECT_NE("", ForeignEntries(AccessList(plain.substr(0, plain.size() - 1)), user));

  // Held without delete sharing: the folder cannot be renamed away.
  EXPECT_FALSE(
      MoveFileA(path.substr(0, path.size() - 1).c_str(), (TempPath() + "kit-moved").c_str()));
  EXPECT_TRUE(first.Remove());
  EXPECT_EQ(INVALID_FILE_ATTRIBUTES, GetFileAttributesA(path.c_str()));
}

TEST(LauncherFolder, RemovesEverythingInItAlsoWhatSetupLeft) {
  TemporaryFolder folder;
  ASSERT_TRUE(folder.Create());
  const std::string path = Narrow(folder.Path().Text());
  MakeDirectories(path + "a\\b\\c");
  WriteFileBytes(path + "a\\b\\c\\deep.txt", "x");
  WriteFileBytes(path + "a\\readonly.txt", "x");
  SetFileAttributesA((path + "a\\readonly.txt").c_str(), FILE_ATTRIBUTE_READONLY);
  WriteFileBytes(path + "top.txt", "x");
  EXPECT_TRUE(folder.Remove());
  EXPECT_EQ(INVALID_FILE_ATTRIBUTES, GetFileAttributesA(path.c_str()));
  EXPECT_TRUE(folder.Remove());  // again: nothing left to do
}

TEST(LauncherExtraction, WritesEveryFileAndHoldsItAgainstChange) {
  PayloadFile payload;
  ProgressWindow progress(INFINITE, true);
  ASSERT_TRUE(payload.Open(PayloadFileAt("medium.exe", MakePayload(kMedium)).c_str(), 15));
  ASSERT_TRUE(payload.Check(progress));
  TemporaryFolder folder;
  ASSERT_TRUE(folder.Create());
  ASSERT_TRUE(ExtractPayload(payload, folder, progress));
  const std::string path = Narrow(folder.Path().Text());
  for (const PayloadFileSpec& entry : kMedium) {
    const std::string file = path + entry.Name;
    EXPECT_TRUE(ReadFileBytes(file) == entry.Data) << entry.Name;  // others may read it
    EXPECT_EQ(INVALID_HANDLE_VALUE,
              CreateFileA(file.c_str(), GENERIC_WRITE,
                          FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                          OPEN_EXISTING, 0, nullptr))
        << entry.Name;
    EXPECT_EQ(static_cast<DWORD>(ERROR_SHARING_VIOLATION), GetLastError()) << entry.Name;
    EXPECT_FALSE(DeleteFileA(file.c_str())) << entry.Name;
    EXPECT_FALSE(MoveFileA(file.c_str(), (path + "moved").c_str())) << entry.Name;
  }
  EXPECT_TRUE(folder.Remove());
  EXPECT_EQ(INVALID_FILE_ATTRIBUTES, GetFileAttributesA(path.c_str()));
}

TEST(LauncherExtraction, FailsOnAFileThatDoesNotReadBackAsItsEntrySays) {
  // A file's own checksum wrong while the payload's is right: only reading it back
  // after writing finds it.
  std::string payload = MakePayload({{"setup.exe", "MZ"}, {"A.DAT", "abc"}});
  payload[32 + (2 + 9 + 12) + 2 + 5 + 8] ^= 1;
  Reseal(payload);
  PayloadFile file;
  ProgressWindow progress(INFINITE, true);
  ASSERT_TRUE(file.Open(PayloadFileAt("medium.exe", payload).c_str(), 15));
  ASSERT_TRUE(file.Check(progress));
  TemporaryFolder folder;
  ASSERT_TRUE(folder.Create());
  EXPECT_FALSE(ExtractPayload(file, folder, progress));
  EXPECT_TRUE(folder.Remove());
}

TEST(LauncherRunLog, AppendsTheLineInCodePage949) {
  const std::string log = ScratchDir("launcher-log") + "실행 기록.txt";
  ASSERT_TRUE(AppendLogLine(Wide(log).c_str(), "설치 파일이 손상되었습니다.", 100));
  ASSERT_TRUE(AppendLogLine(Wide(log).c_str(), "두 번째", 4294967295u));
  EXPECT_EQ("설치 파일이 손상되었습니다. (종료 코드 100)\r\n두 번째 (종료 코드 4294967295)\r\n",
            ReadFileBytes(log));
  EXPECT_FALSE(AppendLogLine(L"C:\\kit-tests\\no such folder\\x.log", "x", 1));
}

TEST(LauncherLibrarySearch, ThePreloadedLibrariesComeFromTheSystemDirectory) {
  PreloadSystemLibraries();
  char system[MAX_PATH] = {};
  const std::string systemDir(system, GetSystemDirectoryA(system, MAX_PATH));
  for (const char* name : {"dwmapi.dll", "uxtheme.dll", "version.dll", "userenv.dll"}) {
    const HMODULE module = GetModuleHandleA(name);
    ASSERT_NE(nullptr, module) << name;
    char path[MAX_PATH] = {};
    GetModuleFileNameA(module, path, MAX_PATH);
    EXPECT_EQ(0, lstrcmpiA((systemDir + "\\" + name).c_str(), path)) << path;
  }
}

}  // namespace
