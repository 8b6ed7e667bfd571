// kitpack.exe itself: started as a process on folders made here, its archives read back
// and extracted through the stand-in archive library (bound through the import library).
#include "rar/unrar.h"
#include "support/test_support.h"
#include "win/file_system.h"
#include "win/handles.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>
#include <cstdint>
#include <functional>
#include <stdexcept>
#include <string>
#include <vector>

namespace {

constexpr char kUsage[] =
    "사용법: kitpack 압축파일.RAR 디렉토리\r\n"
    "       kitpack --one-file 매체디렉토리 [매체디렉토리...] 설치파일.EXE\r\n"
    "디렉토리의 파일과 하위 디렉토리를 모두 무압축(저장) 방식의 RAR 압축 파일로 묶습니다.\r\n"
    "--one-file: 검사를 통과한 매체의 파일을 실행 파일 하나로 묶습니다.\r\n";
constexpr DWORD kStoredAttributes = FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN |
                                    FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_ARCHIVE |
                                    FILE_ATTRIBUTE_DIRECTORY;
constexpr std::uint32_t kEarliestDosTime = 0x00210000;  // 1980-01-01 00:00:00

struct KitpackRun {
  DWORD ExitCode = 0;
  std::string Out;
  std::string Err;
};

// While it runs (its main thread given), before it ends.
using WhileRunning = std::function<void(HANDLE process, HANDLE thread)>;

// Runs kitpack.exe with the arguments and collects what it printed. A quoted argument
// must not end in a backslash: the run-time library reads \" as a quote inside it.
KitpackRun Kitpack(const std::string& arguments, const WhileRunning& whileRunning = nullptr) {
  const std::string dir = ScratchDir("kitpack-output");
  SECURITY_ATTRIBUTES inheritable{sizeof inheritable, nullptr, TRUE};
  auto create = [&](const char* name) {
    return FileHandle(CreateFileA((dir + name).c_str(), GENERIC_WRITE, FILE_SHARE_READ,
                                  &inheritable, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
  };
  FileHandle out = create("out.txt");
  FileHandle err = create("err.txt");
  STARTUPINFOA startup{};
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESTDHANDLES;
  startup.hStdOutput = out.Get();
  startup.hStdError = err.Get();
  std::string command = "\"" + KitOutputPath("kitpack.exe") + "\" " + arguments;
  PROCESS_INFORMATION started{};
  if (!CreateProcessA(nullptr, command.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr,
                      &startup, &started)) {
    throw std::runtime_error("cannot start " + command);
  }
  ObjectHandle process(started.hProcess);
  ObjectHandle thread(started.hThread);
  if (whileRunning) whileRunning(process.Get(), thread.Get());
  KitpackRun run;
  if (WaitForSingleObject(process.Get(), 60000) != WAIT_OBJECT_0) {
    TerminateProcess(process.Get(), 99);
    throw std::runtime_error("kitpack.exe did not end");
  }
  GetExitCodeProcess(process.Get(), &run.ExitCode);
  out.Reset();
  err.Reset();
  run.Out = ReadFileBytes(dir + "out.txt");
  run.Err = ReadFileBytes(dir + "err.txt");
  return run;
}

std::string Quoted(const std::string& path) { return "\"" + path + "\""; }

// The file's path on the Unix side, which Wine knows (wine_get_unix_file_name).
std::string UnixPathOf(const std::string& path) {
  using UnixFileName = char*(CDECL*)(const wchar_t*);
  const auto unixFileName = reinterpret_cast<UnixFileName>(reinterpret_cast<void*>(
      GetProcAddress(GetModuleHandleA("kernel32.dll"), "wine_get_unix_file_name")));
  wchar_t wide[MAX_PATH];
  MultiByteToWideChar(CP_ACP, 0, path.c_str(), -1, wide, MAX_PATH);
  char* found = unixFileName == nullptr ? nullptr : unixFileName(wide);
  if (found == nullptr) throw std::runtime_error("no Unix path for " + path);
  const std::string unixPath = found;
  HeapFree(GetProcessHeap(), 0, found);
  return unixPath;
}

// Runs a Unix program (Wine starts one given by its Z: path) and waits for it.
void RunUnix(const std::string& program, const std::string& arguments) {
  const std::string line = program + " " + arguments;  // UTF-8, as Unix paths are
  std::wstring command(line.size(), L'\0');
  command.resize(MultiByteToWideChar(CP_UTF8, 0, line.data(), static_cast<int>(line.size()),
                                     command.data(), static_cast<int>(command.size())));
  const std::wstring path = L"Z:" + command.substr(0, command.find(L' '));
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION started{};
  if (!CreateProcessW(path.c_str(), command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                      &startup, &started)) {
    throw std::runtime_error("cannot start " + program);
  }
  ObjectHandle process(started.hProcess);
  ObjectHandle thread(started.hThread);
  WaitForSingleObject(process.Get(), 60000);
}

// A Unix symbolic link at link (a Windows path) to target (written into it as given).
// Wine shows one to a directory as a reparse point but cannot make one itself
// (CreateSymbolicLinkW and FSCTL_SET_REPARSE_POINT make nothing).
void MakeUnixLink(const std::string& target, const std::string& link) {
  RunUnix("/bin/ln", "-sfn " + target + " " + UnixPathOf(link));
  ASSERT_NE(0u, GetFileAttributesA(link.c_str()) & FILE_ATTRIBUTE_REPARSE_POINT) << link;
}

HANDLE testSawCtrlC = nullptr;  // an event

// The test's own console control handler: it lives on.
BOOL WINAPI TestSeesCtrlC(DWORD) {
  SetEvent(testSawCtrlC);
  return TRUE;
}

// The temporary files kitpack writes its archives under, in dir.
std::vector<std::string> TemporaryFiles(const std::string& dir) {
  std::vector<std::string> names;
  WIN32_FIND_DATAA found;
  FindHandle find(FindFirstFileA((dir + "kpk*.tmp").c_str(), &found));
  if (find) {
    do names.push_back(found.cFileName);
    while (FindNextFileA(find.Get(), &found));
  }
  return names;
}

std::uint32_t DosTimeOf(const std::string& path) {
  WIN32_FILE_ATTRIBUTE_DATA data;
  FILETIME local;
  WORD date = 0;
  WORD time = 0;
  if (!GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &data) ||
      !FileTimeToLocalFileTime(&data.ftLastWriteTime, &local) ||
      !FileTimeToDosDateTime(&local, &date, &time)) {
    return 0;
  }
  return static_cast<std::uint32_t>(date) << 16 | time;
}

RarArchiveHandle OpenArchive(const std::string& path, unsigned mode) {
  std::string name = path;
  RAROpenArchiveData open{};
  open.ArcName = name.data();
  open.OpenMode = mode;
  return RarArchiveHandle(RAROpenArchive(&open));
}

// Every header of the archive, in order, as the library lists them.
std::vector<RARHeaderData> ListArchive(const std::string& path) {
  RarArchiveHandle archive = OpenArchive(path, rar_const::kOpenList);
  std::vector<RARHeaderData> headers;
  RARHeaderData header{};
  while (archive && RARReadHeader(archive.Get(), &header) == rar_code::kSuccess) {
    headers.push_back(header);
  }
  return headers;
}

std::vector<std::string> NamesOf(const std::vector<RARHeaderData>& headers) {
  std::vector<std::string> names;
  for (const RARHeaderData& header : headers) names.push_back(header.FileName);
  return names;
}

// Extracts every entry into dest: the code of each entry, then the end code.
std::vector<int> ExtractArchive(const std::string& path, std::string dest) {
  RarArchiveHandle archive = OpenArchive(path, rar_const::kOpenExtract);
  std::vector<int> codes;
  RARHeaderData header{};
  int code = rar_code::kOpenError;
  while (archive && (code = RARReadHeader(archive.Get(), &header)) == rar_code::kSuccess) {
    codes.push_back(RARProcessFile(archive.Get(), rar_const::kExtract, dest.data(), nullptr));
  }
  codes.push_back(code);
  return codes;
}

// The names in a directory, sorted, "." and ".." left out.
std::vector<std::string> DirectoryNames(const std::string& dir) {
  std::vector<std::string> names;
  WIN32_FIND_DATAA found;
  FindHandle find(FindFirstFileA((dir + "*").c_str(), &found));
  if (!find) return names;
  do {
    const std::string name = found.cFileName;
    if (name != "." && name != "..") names.push_back(name);
  } while (FindNextFileA(find.Get(), &found));
  std::sort(names.begin(), names.end());
  return names;
}

// The packed sample, in the order kitpack stores it: names sorted by their code page 949
// bytes within each directory, a directory after its contents.
const std::vector<std::string> kSampleOrder = {
    "숨김.TXT",   "옛날.TXT",     "읽기전용.TXT",     "자료\\문서\\읽어보기.TXT",
    "자료\\문서", "자료\\빈폴더", "자료\\큰파일.BIN", "자료",
    "漢字.TXT",
};

// A folder with nested Korean names, an empty directory, a read-only and a hidden file,
// one of 200,000 bytes, one with a hanja name and one older than the DOS dates.
void MakeSample(const std::string& folder) {
  MakeDirectories(folder + "자료\\문서");
  MakeDirectories(folder + "자료\\빈폴더");
  WriteFileBytes(folder + "자료\\문서\\읽어보기.TXT", "읽어 보십시오.\r\n");
  SetLastWriteTime(folder + "자료\\문서\\읽어보기.TXT", MakeSystemTime(2001, 2, 3, 4, 5, 7));
  WriteFileBytes(folder + "자료\\큰파일.BIN", PatternBytes(200000));
  WriteFileBytes(folder + "읽기전용.TXT", "read only");
  WriteFileBytes(folder + "숨김.TXT", "hidden");
  WriteFileBytes(folder + "漢字.TXT", "hanja");
  WriteFileBytes(folder + "옛날.TXT", "before 1980");
  SetLastWriteTime(folder + "옛날.TXT", MakeSystemTime(1975, 6, 1, 12, 0, 0));
  ASSERT_TRUE(SetFileAttributesA((folder + "읽기전용.TXT").c_str(), FILE_ATTRIBUTE_READONLY));
  ASSERT_TRUE(SetFileAttributesA((folder + "숨김.TXT").c_str(), FILE_ATTRIBUTE_HIDDEN));
}

}  // namespace

TEST(KitpackProgram, PacksAFolderThatExtractsAsItWas) {
  const std::string dir = ScratchDir("kitpack");
  const std::string folder = dir + "자료 원본\\";
  MakeSample(folder);
  const std::string archive = dir + "out\\PROGRAM.RAR";
  MakeDirectories(dir + "out");

  const KitpackRun run = Kitpack(Quoted(archive) + " " + Quoted(dir + "자료 원본"));
  EXPECT_EQ(0u, run.ExitCode) << run.Err;
  EXPECT_EQ(archive + ": 파일 6개, 디렉토리 3개, 200,047바이트를 담았습니다.\r\n", run.Out);
  EXPECT_EQ("", run.Err);
  EXPECT_EQ(std::vector<std::string>{"PROGRAM.RAR"}, DirectoryNames(dir + "out\\"));

  const std::vector<RARHeaderData> headers = ListArchive(archive);
  ASSERT_EQ(kSampleOrder, NamesOf(headers));
  for (const RARHeaderData& header : headers) {
    const std::string source = folder + header.FileName;
    const DWORD attributes = GetFileAttributesA(source.c_str());
    const bool directory = attributes & FILE_ATTRIBUTE_DIRECTORY;
    SCOPED_TRACE(header.FileName);
    EXPECT_EQ(directory ? 0xE0u : 0u, header.Flags & 0xE0u);
    EXPECT_EQ(attributes & kStoredAttributes, header.FileAttr);
    EXPECT_EQ(2u, header.HostOS);
    EXPECT_EQ(0x30u, header.Method);
    EXPECT_EQ(directory ? 0u : ReadFileBytes(source).size(), header.UnpSize);
    if (header.FileName != std::string("옛날.TXT")) {
      EXPECT_EQ(DosTimeOf(source), header.FileTime);
    }
  }
  // The sample's own marks, so the loop above compared something.
  EXPECT_EQ(FILE_ATTRIBUTE_READONLY, headers[2].FileAttr & FILE_ATTRIBUTE_READONLY);
  EXPECT_EQ(FILE_ATTRIBUTE_HIDDEN, headers[0].FileAttr & FILE_ATTRIBUTE_HIDDEN);
  EXPECT_EQ((21u << 25 | 2u << 21 | 3u << 16 | 4u << 11 | 5u << 5 | 3u), headers[3].FileTime);
  EXPECT_EQ(kEarliestDosTime, headers[1].FileTime);

  std::vector<int> codes(kSampleOrder.size(), rar_code::kSuccess);
  codes.push_back(rar_code::kEndArchive);
  ASSERT_EQ(codes, ExtractArchive(archive, dir + "extracted"));
  EXPECT_TRUE(DirectoryExists(dir + "extracted\\자료\\빈폴더"));
  for (const RARHeaderData& header : headers) {
    if (header.Flags & 0xE0u) continue;
    SCOPED_TRACE(header.FileName);
    const std::string source = folder + header.FileName;
    const std::string copy = dir + "extracted\\" + header.FileName;
    EXPECT_EQ(ReadFileBytes(source), ReadFileBytes(copy));
    EXPECT_EQ(header.FileTime, DosTimeOf(copy));
    EXPECT_EQ(GetFileAttributesA(source.c_str()) & kStoredAttributes,
              GetFileAttributesA(copy.c_str()) & kStoredAttributes);
  }
}

TEST(KitpackProgram, ReplacesAnOlderArchiveAndNeverPacksItself) {
  const std::string folder = ScratchDir("kitpack-self");
  WriteFileBytes(folder + "a.txt", "a");
  const std::string archive = folder + "SELF.RAR";
  WriteFileBytes(archive, "an older archive");
  char shortFolder[MAX_PATH];
  ASSERT_NE(0u, GetShortPathNameA(folder.c_str(), shortFolder, MAX_PATH));
  // The same file under other names: drive Z: reaches C: on the Unix side.
  for (const std::string& named :
       {archive, archive, "\\\\?\\" + archive, std::string(shortFolder) + "SELF.RAR",
        WindowsPathOfUnix(UnixPathOf(archive))}) {
    SCOPED_TRACE(named);
    const KitpackRun run = Kitpack(Quoted(named) + " " + Quoted(folder + "."));
    EXPECT_EQ(0u, run.ExitCode) << run.Err;
    EXPECT_EQ(named + ": 파일 1개, 디렉토리 0개, 1바이트를 담았습니다.\r\n", run.Out);
    EXPECT_EQ(std::vector<std::string>{"a.txt"}, NamesOf(ListArchive(archive)));
    EXPECT_EQ((std::vector<std::string>{"SELF.RAR", "a.txt"}), DirectoryNames(folder));
  }
}

TEST(KitpackProgram, LinksBelowTheFolderAreErrors) {
  const std::string dir = ScratchDir("kitpack-links");
  MakeDirectories(dir + "outside");
  WriteFileBytes(dir + "outside\\secret.txt", "not for the medium");
  MakeDirectories(dir + "loop\\sub");
  WriteFileBytes(dir + "loop\\a.txt", "a");
  MakeUnixLink("..", dir + "loop\\sub\\up");  // a link to a parent
  MakeDirectories(dir + "out");
  WriteFileBytes(dir + "out\\a.txt", "a");
  MakeUnixLink(UnixPathOf(dir + "outside"), dir + "out\\elsewhere");
  for (const std::string& link : {dir + "loop\\sub\\up", dir + "out\\elsewhere"}) {
    const std::string folder = link.substr(0, link.find('\\', dir.size()));
    const KitpackRun run = Kitpack(Quoted(dir + "LINKS.RAR") + " " + Quoted(folder));
    EXPECT_EQ(1u, run.ExitCode) << run.Out;
    EXPECT_EQ(link + ": 심볼릭 링크나 정션(재분석 지점)은 담을 수 없습니다.\r\n", run.Err);
    EXPECT_EQ((std::vector<std::string>{"loop", "out", "outside"}), DirectoryNames(dir));
    RunUnix("/bin/rm", UnixPathOf(link));
  }
}

TEST(KitpackProgram, CtrlCLeavesNoTemporaryFileBehind) {
  const std::string dir = ScratchDir("kitpack-interrupted");
  MakeDirectories(dir + "folder");
  {  // a gigabyte to read that takes no room: its blocks are not stored
    FileHandle big(CreateFileA((dir + "folder\\big.bin").c_str(), GENERIC_WRITE, 0, nullptr,
                               CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    LARGE_INTEGER size;
    size.QuadPart = 1LL << 30;
    ASSERT_TRUE(SetFilePointerEx(big.Get(), size, nullptr, FILE_BEGIN) && SetEndOfFile(big.Get()));
  }
  const std::string archive = dir + "OLD.RAR";
  WriteFileBytes(archive, "an older archive");
  // kitpack shares a console of the test's own, to which Ctrl+C is sent. The test keeps
  // it: without one, Wine gives each console program it starts a console host of its
  // own, which holds the output files it inherits for a while.
  FreeConsole();
  ASSERT_TRUE(AllocConsole());
  ObjectHandle seen(CreateEventA(nullptr, TRUE, FALSE, nullptr));
  testSawCtrlC = seen.Get();
  SetConsoleCtrlHandler(TestSeesCtrlC, TRUE);  // Ctrl+C reaches every program of the console
  bool interrupted = false;
  const KitpackRun run =
      Kitpack(Quoted(archive) + " " + Quoted(dir + "folder"), [&](HANDLE process, HANDLE thread) {
        // Held while packing, with a gigabyte still to go: the temporary file is there.
        for (int tries = 0; tries < 60000 && !interrupted; ++tries) {
          SuspendThread(thread);
          if (WaitForSingleObject(process, 0) == WAIT_TIMEOUT && !TemporaryFiles(dir).empty()) {
            interrupted = GenerateConsoleCtrlEvent(CTRL_C_EVENT, 0) != FALSE;
          }
          ResumeThread(thread);
          if (!interrupted) Sleep(1);
        }
        WaitForSingleObject(seen.Get(), 60000);
      });
  SetConsoleCtrlHandler(TestSeesCtrlC, FALSE);
  ASSERT_TRUE(interrupted);
  EXPECT_EQ(WAIT_OBJECT_0, WaitForSingleObject(seen.Get(), 0));
  EXPECT_EQ(1u, run.ExitCode);
  EXPECT_EQ(archive + ": 중단되어 압축 파일을 만들지 않았습니다.\r\n", run.Err);
  EXPECT_EQ((std::vector<std::string>{"OLD.RAR", "folder"}), DirectoryNames(dir));
  EXPECT_EQ("an older archive", ReadFileBytes(archive));
}

TEST(KitpackProgram, FailuresNameWhatFailedAndLeaveNoArchiveBehind) {
  const std::string dir = ScratchDir("kitpack-failures");
  const std::string folder = dir + "원본";
  MakeDirectories(folder + "\\하위");
  WriteFileBytes(folder + "\\하위\\good.txt", "good");
  WriteFileBytes(folder + "\\하위\\잠김.BIN", PatternBytes(70000));
  MakeDirectories(dir + "out");
  const std::string older = dir + "out\\OLD.RAR";
  WriteFileBytes(older, "an older archive");
  const std::vector<std::string> outNames = {"OLD.RAR"};

  {  // a file another program holds open without sharing
    FileHandle lock(CreateFileA((folder + "\\하위\\잠김.BIN").c_str(), GENERIC_READ, 0, nullptr,
                                OPEN_EXISTING, 0, nullptr));
    ASSERT_TRUE(lock);
    for (const std::string& target : {older, dir + "out\\NEW.RAR"}) {
      const KitpackRun run = Kitpack(Quoted(target) + " " + Quoted(folder));
      EXPECT_EQ(1u, run.ExitCode);
      EXPECT_EQ(folder + "\\하위\\잠김.BIN 파일을 읽을 수 없습니다.\r\n", run.Err);
      EXPECT_EQ("", run.Out);
      EXPECT_EQ(outNames, DirectoryNames(dir + "out\\"));  // no archive, no temporary file
      EXPECT_EQ("an older archive", ReadFileBytes(older));
    }
  }

  // A name code page 949 cannot write (Thai).
  const std::wstring wideFolder = L"C:\\kit-tests\\kitpack-failures\\원본\\하위\\";
  WriteFileBytes(folder + "\\하위\\x.txt", "x");
  ASSERT_TRUE(MoveFileW((wideFolder + L"x.txt").c_str(), (wideFolder + L"\x0E01.txt").c_str()));
  KitpackRun run = Kitpack(Quoted(dir + "out\\NEW.RAR") + " " + Quoted(folder));
  EXPECT_EQ(1u, run.ExitCode);
  EXPECT_EQ(folder + "\\하위\\?.txt: 코드 페이지 949로 나타낼 수 없는 이름입니다.\r\n", run.Err);
  EXPECT_EQ(outNames, DirectoryNames(dir + "out\\"));

  // An archive that cannot be written: its directory is missing.
  run = Kitpack(Quoted(dir + "missing\\NEW.RAR") + " " + Quoted(dir + "out"));
  EXPECT_EQ(1u, run.ExitCode);
  EXPECT_EQ(dir + "missing\\NEW.RAR 파일을 쓸 수 없습니다.\r\n", run.Err);
}

TEST(KitpackProgram, WrongArgumentsShowTheUsage) {
  const std::string dir = ScratchDir("kitpack-arguments");
  WriteFileBytes(dir + "file.txt", "not a directory");
  const std::string archive = Quoted(dir + "A.RAR");
  for (const std::string& arguments :
       {std::string(), archive, archive + " " + Quoted(dir + ".") + " extra",
        std::string("--one-file"), "--one-file " + Quoted(dir + ".")}) {
    const KitpackRun run = Kitpack(arguments);
    EXPECT_EQ(2u, run.ExitCode) << arguments;
    EXPECT_EQ(kUsage, run.Err);
  }
  for (const std::string& folder : {dir + "missing", dir + "file.txt"}) {
    const KitpackRun run = Kitpack(archive + " " + Quoted(folder));
    EXPECT_EQ(2u, run.ExitCode) << folder;
    EXPECT_EQ(folder + ": 디렉토리가 아닙니다.\r\n" + kUsage, run.Err);
  }
  EXPECT_EQ(std::vector<std::string>{"file.txt"}, DirectoryNames(dir));
}
