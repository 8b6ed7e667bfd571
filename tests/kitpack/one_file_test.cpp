// kitpack.exe --one-file as a distributor runs it, on media made here: what OUT.EXE
// holds (the launcher up to its sections, the product's version, a payload of the
// medium's files that checks), several diskette folders, and the media it refuses
// (kitcheck's errors, one name in two folders) without leaving a file behind.
#include "onefile/crc32.h"
#include "onefile/image_layout.h"
#include "onefile/payload_format.h"
#include "setup/support/install_test_support.h"
#include "support/test_support.h"
#include "testing/console_program.h"
#include "win/file_system.h"
#include "win/handles.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <map>
#include <string>
#include <vector>

namespace {

bool Has(const std::string& text, const std::string& part) {
  return text.find(part) != std::string::npos;
}

const unsigned char* Bytes(const std::string& text, std::size_t at = 0) {
  return reinterpret_cast<const unsigned char*>(text.data() + at);
}

// The files of a payload by name, or nothing (and a failure) when it does not check.
std::map<std::string, std::string> PayloadFiles(const std::string& program) {
  ImageLayout layout;
  EXPECT_TRUE(ReadImageLayout(Bytes(program), program.size(), layout));
  PayloadHeader header;
  if (!DecodePayloadHeader(Bytes(program, layout.SectionsEnd), header) ||
      layout.SectionsEnd + header.PayloadLength != program.size()) {
    ADD_FAILURE() << "no payload where the launcher's sections end";
    return {};
  }
  const std::string payload = program.substr(layout.SectionsEnd);
  const std::uint32_t checksum =
      Crc32(HeaderChecksum(Bytes(payload)), payload.data() + kPayloadHeaderSize,
            payload.size() - kPayloadHeaderSize);
  EXPECT_EQ(header.Checksum, checksum);
  std::map<std::string, std::string> files;
  std::size_t offset = 0;
  std::size_t data = kPayloadHeaderSize + header.IndexLength;
  for (std::uint32_t i = 0; i < header.FileCount; ++i) {
    PayloadEntry entry;
    EXPECT_TRUE(
        DecodePayloadEntry(Bytes(payload, kPayloadHeaderSize), header.IndexLength, offset, entry));
    const std::string bytes = payload.substr(data, entry.Size);
    EXPECT_EQ(entry.Crc, Crc32(0, bytes.data(), bytes.size()));
    files[std::string(reinterpret_cast<const char*>(entry.Name), entry.NameLength)] = bytes;
    data += entry.Size;
  }
  return files;
}

std::string VersionText(const std::vector<char>& info, const char* key) {
  char* value = nullptr;
  UINT length = 0;
  const std::string path = std::string("\\StringFileInfo\\041203b5\\") + key;
  if (!VerQueryValueA(info.data(), path.c_str(), reinterpret_cast<void**>(&value), &length)) {
    return "<none>";
  }
  return std::string(value, length > 0 ? length - 1 : 0);
}

BOOL CALLBACK CountLanguage(HMODULE, LPCSTR, LPCSTR, WORD, LONG_PTR count) {
  ++*reinterpret_cast<int*>(count);
  return TRUE;
}

class OneFile : public ::testing::Test {
 protected:
  void SetUp() override {
    const std::string name = ::testing::UnitTest::GetInstance()->current_test_info()->name();
    dir_ = ScratchDir("one-file-" + name);
    medium_ = dir_ + "medium\\";
    out_ = dir_ + "out\\";
    ASSERT_TRUE(CreateDirectoryA(medium_.c_str(), nullptr));
    ASSERT_TRUE(CreateDirectoryA(out_.c_str(), nullptr));
    for (const char* file : {"setup.exe", "UNRAR.DLL", "Halvex.exe", "Dorcel.exe"}) {
      ASSERT_TRUE(CopyFileA(KitOutputPath(file).c_str(), (medium_ + file).c_str(), FALSE));
    }
    WriteFileBytes(medium_ + "SETUP.INI", ReadFileBytes(SourceTreePath("tools/sample/SETUP.INI")));
    WriteArchive(medium_ + "PROGRAM.RAR",
                 {{"BYEOLBIT.EXE", "program"}, {"도움말\\읽어보기.TXT", "help"}});
    WriteArchive(medium_ + "DATA.RAR", {{"표본자료.DAT", "sample"}});
    WriteArchive(medium_ + "Paradox.RAR", {{"IDAPI32.DLL", "engine"}});
  }
  void TearDown() override { RemoveTree(dir_); }

  ConsoleRun Kitpack(const std::vector<std::string>& dirs, const std::string& out) {
    std::string command = "\"" + KitOutputPath("kitpack.exe") + "\" --one-file";
    for (const std::string& dir : dirs) command += " \"" + dir.substr(0, dir.size() - 1) + "\"";
    return RunConsoleProgram(command + " \"" + out + "\"", std::string(), 120000);
  }
  // What the medium folder holds, by name.
  std::map<std::string, std::string> MediumFiles(const std::string& dir) {
    std::map<std::string, std::string> files;
    WIN32_FIND_DATAA found;
    FindHandle search(FindFirstFileA((dir + "*").c_str(), &found));
    do {
      if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) {
        files[found.cFileName] = ReadFileBytes(dir + found.cFileName);
      }
    } while (search && FindNextFileA(search.Get(), &found));
    return files;
  }
  std::vector<std::string> Names(const std::string& dir) {
    std::vector<std::string> names;
    for (const auto& file : MediumFiles(dir)) names.push_back(file.first);
    return names;
  }

  std::string dir_, medium_, out_;
};

}  // namespace

TEST_F(OneFile, TheMediumBehindTheLauncherWithTheProductsVersion) {
  ASSERT_TRUE(CreateDirectoryA((medium_ + "extras").c_str(), nullptr));
  WriteFileBytes(medium_ + "extras\\NOTES.TXT", "not taken");
  const std::string out = out_ + "별빛설치.exe";
  const ConsoleRun run = Kitpack({medium_}, out);
  ASSERT_EQ(0u, run.ExitCode) << run.Output << run.Errors;
  EXPECT_TRUE(Has(run.Output, medium_ + "extras: 하위 디렉토리는 담지 않았습니다.")) << run.Output;
  EXPECT_TRUE(Has(run.Output, out + ": 파일 8개, ")) << run.Output;
  EXPECT_EQ(std::vector<std::string>{"별빛설치.exe"}, Names(out_));  // no temporary file left

  const std::string program = ReadFileBytes(out);
  EXPECT_EQ(MediumFiles(medium_), PayloadFiles(program));
  ImageLayout layout;
  ASSERT_TRUE(ReadImageLayout(Bytes(program), program.size(), layout));
  EXPECT_EQ(0u, layout.CertificatesSize);
  EXPECT_LE(layout.SectionsEnd, 48u * 1024);

  DWORD handle = 0;
  std::vector<char> info(GetFileVersionInfoSizeA(out.c_str(), &handle));
  ASSERT_FALSE(info.empty());
  ASSERT_TRUE(GetFileVersionInfoA(out.c_str(), 0, static_cast<DWORD>(info.size()), info.data()));
  EXPECT_EQ("별빛 가계부 1.0 설치", VersionText(info, "FileDescription"));
  EXPECT_EQ("별빛 가계부", VersionText(info, "ProductName"));
  EXPECT_EQ("1.0", VersionText(info, "ProductVersion"));
  EXPECT_EQ("1.0", VersionText(info, "FileVersion"));
  EXPECT_EQ("Korvane", VersionText(info, "CompanyName"));
  EXPECT_EQ("별빛설치.exe", VersionText(info, "OriginalFilename"));
  VS_FIXEDFILEINFO* fixed = nullptr;
  UINT length = 0;
  ASSERT_TRUE(VerQueryValueA(info.data(), "\\", reinterpret_cast<void**>(&fixed), &length));
  EXPECT_EQ(0x00010000u, fixed->dwFileVersionMS);
  EXPECT_EQ(0u, fixed->dwFileVersionLS);
  // The kit's own version is replaced, not joined by a second one.
  const LibraryHandle image(LoadLibraryExA(out.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE));
  ASSERT_TRUE(image);
  int languages = 0;
  EnumResourceLanguagesA(image.Get(), MAKEINTRESOURCEA(16), MAKEINTRESOURCEA(1), CountLanguage,
                         reinterpret_cast<LONG_PTR>(&languages));
  EXPECT_EQ(1, languages);
  EXPECT_TRUE(FindResourceA(image.Get(), MAKEINTRESOURCEA(1), MAKEINTRESOURCEA(24)));  // manifest
}

TEST_F(OneFile, DisketteFoldersLandInOneAndANameInTwoOfThemIsRefused) {
  const std::string second = dir_ + "disk2\\";
  ASSERT_TRUE(CreateDirectoryA(second.c_str(), nullptr));
  ASSERT_TRUE(MoveFileA((medium_ + "DATA.RAR").c_str(), (second + "DATA.RAR").c_str()));
  const std::string out = out_ + "SETUP1.EXE";
  ConsoleRun run = Kitpack({medium_, second}, out);
  ASSERT_EQ(0u, run.ExitCode) << run.Output << run.Errors;
  std::map<std::string, std::string> both = MediumFiles(medium_);
  both["DATA.RAR"] = ReadFileBytes(second + "DATA.RAR");
  EXPECT_EQ(both, PayloadFiles(ReadFileBytes(out)));
  EXPECT_EQ(std::vector<std::string>{"SETUP1.EXE"}, Names(out_));
  EXPECT_EQ(std::vector<std::string>{"DATA.RAR"}, Names(second));  // the check's copies are gone

  // The same name in two folders, in another letter case: refused, the older file kept.
  WriteFileBytes(second + "setup.ini", "[APP]\r\n");
  const std::string before = ReadFileBytes(out);
  run = Kitpack({medium_, second}, out);
  EXPECT_EQ(1u, run.ExitCode);
  EXPECT_TRUE(Has(run.Errors,
                  second + "setup.ini: 같은 이름의 파일이 이미 있습니다: " + medium_ + "SETUP.INI"))
      << run.Errors;
  EXPECT_EQ(before, ReadFileBytes(out));
  EXPECT_EQ(std::vector<std::string>{"SETUP1.EXE"}, Names(out_));
}

TEST_F(OneFile, AnOlderOneFileInsideTheMediumIsNotTakenIn) {
  const std::string out = medium_ + "Setup-One.exe";
  ASSERT_EQ(0u, Kitpack({medium_}, out).ExitCode);
  const std::string first = ReadFileBytes(out);
  // Named another way the second time: the file is recognised, not its path.
  const ConsoleRun run = Kitpack({medium_}, medium_ + "SETUP-ONE.EXE");
  ASSERT_EQ(0u, run.ExitCode) << run.Errors;
  std::map<std::string, std::string> expected = MediumFiles(medium_);
  expected.erase("Setup-One.exe");
  EXPECT_EQ(expected, PayloadFiles(ReadFileBytes(out)));
  EXPECT_EQ(first.size(), ReadFileBytes(out).size());
}

TEST_F(OneFile, AMediumWithErrorsOrBadArgumentsMakesNoFile) {
  const std::string out = out_ + "SETUP.EXE";
  DeleteFileA((medium_ + "UNRAR.DLL").c_str());
  ConsoleRun run = Kitpack({medium_}, out);
  EXPECT_EQ(1u, run.ExitCode);
  EXPECT_TRUE(Has(run.Errors, "  오류: UNRAR.DLL: setup.exe 옆에 없습니다.")) << run.Errors;
  EXPECT_TRUE(Has(run.Errors, "kitcheck.exe가 매체에서 오류를 찾아 설치 파일을 만들지 않았습니다."))
      << run.Errors;
  EXPECT_TRUE(Names(out_).empty());

  run = Kitpack({dir_ + "nowhere\\"}, out);
  EXPECT_EQ(2u, run.ExitCode);
  EXPECT_TRUE(Has(run.Errors, "nowhere: 디렉토리가 아닙니다.")) << run.Errors;
  run = RunConsoleProgram("\"" + KitOutputPath("kitpack.exe") + "\" --one-file \"" + out + "\"");
  EXPECT_EQ(2u, run.ExitCode);
  EXPECT_TRUE(Names(out_).empty());
}
