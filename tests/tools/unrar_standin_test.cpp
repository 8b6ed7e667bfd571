// The stand-in archive library: its name decoding directly, its exported functions
// (bound through the import library) on written archives, and the hold it offers
// the drivers that picture an extraction.
#include "rar/unrar.h"
#include "rar_writer/rar_writer.h"
#include "support/test_support.h"
#include "testing/extraction_hold.h"
#include "testing/ui_driver.h"
#include "unrar_standin/extraction_hold.h"
#include "unrar_standin/unicode_name.h"
#include "unrar_standin/volume_names.h"
#include "win/file_system.h"
#include "win/handles.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <atomic>
#include <map>
#include <string>
#include <thread>
#include <vector>

namespace {

// One archive opened through the library for the length of a test.
class OpenArchive {
 public:
  explicit OpenArchive(std::string path, unsigned mode = rar_const::kOpenExtract)
      : path_(std::move(path)) {
    RAROpenArchiveData data{};
    data.ArcName = path_.data();
    data.OpenMode = mode;
    handle_ = RAROpenArchive(&data);
    Result = static_cast<int>(data.OpenResult);
  }
  ~OpenArchive() {
    if (handle_) RARCloseArchive(handle_);
  }
  OpenArchive(const OpenArchive&) = delete;
  OpenArchive& operator=(const OpenArchive&) = delete;

  HANDLE Handle() const { return handle_; }
  int Read() { return RARReadHeader(handle_, &Header); }
  int Process(int operation, std::string dest, const char* name = nullptr) {
    return RARProcessFile(handle_, operation, dest.empty() ? nullptr : dest.data(),
                          const_cast<char*>(name));
  }
  // Extracts every entry into dest; the codes of the entries, then the end code.
  std::vector<int> ExtractAll(const std::string& dest) {
    std::vector<int> codes;
    int code;
    while ((code = Read()) == 0) codes.push_back(Process(rar_const::kExtract, dest));
    codes.push_back(code);
    return codes;
  }

  int Result = 0;
  RARHeaderData Header{};

 private:
  std::string path_;
  HANDLE handle_ = nullptr;
};

std::string SaveArchive(const RarWriter& writer, const std::string& path) {
  EXPECT_TRUE(writer.Save(path));
  return path;
}

// What the process-data callback saw, and the block at which it cancels.
std::vector<int> blockSizes;
std::string blockBytes;
int cancelAtBlock = -1;

int __stdcall RecordBlock(unsigned char* addr, int size) {
  blockSizes.push_back(size);
  blockBytes.append(reinterpret_cast<const char*>(addr), static_cast<std::size_t>(size));
  return static_cast<int>(blockSizes.size()) == cancelAtBlock ? 0 : 1;
}

}  // namespace

TEST(StandinUnicodeNames, DecodesEveryKindOfCode) {
  // The form the archiver stored for a Japanese name (high byte 0x30, codes 1 and 0).
  const std::string name8 =
      "\x83\x66\x83\x42\x83\x8c\x83\x4e\x83\x67\x83\x8a\x5c\x83\x65\x83\x4c\x83\x58\x83\x67"
      "\x83\x74\x83\x40\x83\x43\x83\x8b.txt";
  const std::string encoded(
      "\x30\x55\xc7\xa3\xec\xaf\x51\xc8\xea\x5c\xc6\x55\xad\xb9\xc8\xd5\x54\xa1\xa4\xeb\x2e"
      "\x00\x74\x78\x74",
      25);
  EXPECT_EQ(
      L"\x30C7\x30A3\x30EC\x30AF\x30C8\x30EA\\\x30C6\x30AD\x30B9\x30C8\x30D5\x30A1"
      L"\x30A4\x30EB.txt",
      DecodeUnicodeName(name8, encoded));

  // Code 2 (explicit high byte), then runs: plain and corrected.
  const std::string runs("\x30\xBC\x34\x12\x00\x82\x10", 7);
  EXPECT_EQ(
      L"\x1234"
      L"ab\x3073\x3074\x3075\x3076",
      DecodeUnicodeName("xabcdef", runs));
}

TEST(StandinUnicodeNames, StopsAtTheEndOfEitherInput) {
  EXPECT_EQ(L"", DecodeUnicodeName("abc", ""));
  EXPECT_EQ(L"", DecodeUnicodeName("abc", std::string("\x00", 1)));
  EXPECT_EQ(L"a", DecodeUnicodeName("abc", std::string("\x00\x20\x61\x62", 4)));
  // A run of 129 characters over a three-byte name stops after three.
  EXPECT_EQ(L"abc", DecodeUnicodeName("abc", std::string("\x00\xC0\x7F", 3)));
  EXPECT_EQ(L"ab", DecodeUnicodeName("ab", std::string("\x00\x00\x61\x62\x00\x63", 6)));
}

TEST(StandinUnicodeNames, ReadsWhatTheTestWriterEncodes) {
  const std::vector<std::pair<std::string, std::u16string>> names = {
      {"\xC7\xD1\xB1\xDB\\\xC6\xC4\xC0\xCF.txt", u"한글\\파일.txt"},
      {"readme.txt", u"readme.txt"},
      {"??.txt", u"\x4E2D\x6587.txt"},
      {"mix\xB0\xA1\\a", u"mix\x0101\xAC00\x1234\\a"},
  };
  for (const auto& [name8, name] : names) {
    const std::wstring expected(name.begin(), name.end());
    EXPECT_EQ(expected, DecodeUnicodeName(name8, EncodeRarUnicodeName(name8, name)));
  }
}

TEST(StandinLibrary, ListsTheHeadersOfAWrittenArchive) {
  const std::string dir = ScratchDir("standin-list");
  RarWriter writer;
  writer.AddFile("a.txt", "hello");
  writer.AddDirectory("sub");
  writer.AddFile("sub\\big.bin", PatternBytes(70000));
  writer.AddFile("\xC7\xD1\xB1\xDB.txt", "");
  const std::string path = SaveArchive(writer, dir + "list.rar");

  OpenArchive archive(path, rar_const::kOpenList);
  ASSERT_EQ(0, archive.Result);
  ASSERT_EQ(0, archive.Read());
  EXPECT_STREQ(path.c_str(), archive.Header.ArcName);
  EXPECT_STREQ("a.txt", archive.Header.FileName);
  EXPECT_EQ(0x8000u, archive.Header.Flags);
  EXPECT_EQ(5u, archive.Header.UnpSize);
  EXPECT_EQ(5u, archive.Header.PackSize);
  EXPECT_EQ(RarCrc32("hello"), archive.Header.FileCRC);
  EXPECT_EQ(kRarWriterDosTime, archive.Header.FileTime);
  EXPECT_EQ(0x30u, archive.Header.Method);
  EXPECT_EQ(20u, archive.Header.UnpVer);
  EXPECT_EQ(2u, archive.Header.HostOS);
  EXPECT_EQ(0x20u, archive.Header.FileAttr);
  EXPECT_EQ(0u, archive.Header.CmtState);
  ASSERT_EQ(0, archive.Read());  // reading on passes over the unprocessed entry
  EXPECT_STREQ("sub", archive.Header.FileName);
  EXPECT_EQ(0xE0u, archive.Header.Flags & 0xE0u);
  EXPECT_EQ(0x10u, archive.Header.FileAttr);
  ASSERT_EQ(0, archive.Read());
  EXPECT_STREQ("sub\\big.bin", archive.Header.FileName);
  EXPECT_EQ(70000u, archive.Header.UnpSize);
  EXPECT_EQ(0, archive.Process(rar_const::kExtract, dir));  // list mode writes nothing
  EXPECT_FALSE(FileExists(dir + "sub\\big.bin"));
  ASSERT_EQ(0, archive.Read());
  EXPECT_STREQ("\xC7\xD1\xB1\xDB.txt", archive.Header.FileName);
  EXPECT_EQ(0u, archive.Header.UnpSize);
  EXPECT_EQ(10, archive.Read());
  EXPECT_EQ(10, archive.Read());
}

TEST(StandinLibrary, ExtractsFilesDirectoriesAndTheirTimes) {
  const std::string dir = ScratchDir("standin-extract");
  RarWriter writer;
  writer.AddDirectory("empty");
  writer.AddFile("deep\\er\\nested.bin", PatternBytes(300));
  writer.AddFile("zero.txt", "");
  writer.AddFile("\xC7\xD1\xB1\xDB\\\xC6\xC4\xC0\xCF.txt", "korean");
  const std::string path = SaveArchive(writer, dir + "tree.rar");
  const std::string dest = dir + "out\\new";  // missing: made on the way

  OpenArchive archive(path);
  EXPECT_EQ((std::vector<int>{0, 0, 0, 0, 10}), archive.ExtractAll(dest));
  EXPECT_TRUE(DirectoryExists(dest + "\\empty"));
  EXPECT_EQ(PatternBytes(300), ReadFileBytes(dest + "\\deep\\er\\nested.bin"));
  EXPECT_TRUE(FileExists(dest + "\\zero.txt"));
  EXPECT_EQ("", ReadFileBytes(dest + "\\zero.txt"));
  EXPECT_EQ("korean", ReadFileBytes(dest + "\\\xC7\xD1\xB1\xDB\\\xC6\xC4\xC0\xCF.txt"));

  WIN32_FILE_ATTRIBUTE_DATA data;
  ASSERT_TRUE(GetFileAttributesExA((dest + "\\zero.txt").c_str(), GetFileExInfoStandard, &data));
  FILETIME local;
  WORD date = 0;
  WORD time = 0;
  FileTimeToLocalFileTime(&data.ftLastWriteTime, &local);
  FileTimeToDosDateTime(&local, &date, &time);
  EXPECT_EQ(kRarWriterDosTime, static_cast<std::uint32_t>(date) << 16 | time);
}

TEST(StandinLibrary, ReportsEachWrittenBlockAndCancelsOnZero) {
  const std::string dir = ScratchDir("standin-blocks");
  const std::string big = PatternBytes(200000);
  RarWriter writer;
  writer.AddFile("big.bin", big);
  writer.AddFile("next.txt", "next");
  const std::string path = SaveArchive(writer, dir + "blocks.rar");

  blockSizes.clear();
  blockBytes.clear();
  cancelAtBlock = -1;
  {
    OpenArchive archive(path);
    RARSetProcessDataProc(archive.Handle(), RecordBlock);
    ASSERT_EQ(0, archive.Read());
    EXPECT_EQ(0, archive.Process(rar_const::kExtract, dir + "all"));
  }
  EXPECT_EQ((std::vector<int>{65536, 65536, 65536, 3392}), blockSizes);
  EXPECT_EQ(big, blockBytes);

  blockSizes.clear();
  cancelAtBlock = 2;
  OpenArchive archive(path);
  RARSetProcessDataProc(archive.Handle(), RecordBlock);
  ASSERT_EQ(0, archive.Read());
  EXPECT_EQ(21, archive.Process(rar_const::kExtract, dir + "cancelled"));
  EXPECT_EQ(2u, blockSizes.size());
  EXPECT_FALSE(FileExists(dir + "cancelled\\big.bin"));  // no half-written file stays
  cancelAtBlock = -1;
}

TEST(StandinLibrary, ChecksumErrorsKeepTheFileAndTheRunGoesOn) {
  const std::string dir = ScratchDir("standin-crc");
  const RarWriterEntry damaged =
      EntryWithBadDataChecksum("damaged.txt", "data with a wrong checksum");
  RarWriter writer;
  writer.Add(damaged);
  writer.AddFile("fine.txt", "fine");
  const std::string path = SaveArchive(writer, dir + "crc.rar");

  OpenArchive archive(path);
  EXPECT_EQ((std::vector<int>{12, 0, 10}), archive.ExtractAll(dir + "out"));
  EXPECT_EQ(damaged.Data, ReadFileBytes(dir + "out\\damaged.txt"));
  EXPECT_EQ("fine", ReadFileBytes(dir + "out\\fine.txt"));

  OpenArchive tested(path);
  ASSERT_EQ(0, tested.Read());
  EXPECT_EQ(12, tested.Process(rar_const::kTest, dir + "tested"));
  ASSERT_EQ(0, tested.Read());
  EXPECT_EQ(0, tested.Process(rar_const::kTest, dir + "tested"));
  EXPECT_FALSE(DirectoryExists(dir + "tested"));  // testing writes nothing
}

TEST(StandinLibrary, RefusesWhatItCannotOpenOrRead) {
  const std::string dir = ScratchDir("standin-open");
  EXPECT_EQ(15, OpenArchive(dir + "missing.rar").Result);
  EXPECT_EQ(15, OpenArchive(dir).Result);  // a directory
  WriteFileBytes(dir + "empty.rar", "");
  EXPECT_EQ(13, OpenArchive(dir + "empty.rar").Result);
  WriteFileBytes(dir + "text.rar", "This is not an archive at all.");
  EXPECT_EQ(13, OpenArchive(dir + "text.rar").Result);
  WriteFileBytes(
      dir + "rar5.rar",
      std::string(
          "Rar!\x1A\x07\x01\x00\x33\x92\xB5\xE5\x0A\x01\x05\x06\x00\x05\x01\x01\x80\x80\x00", 23));
  EXPECT_EQ(13, OpenArchive(dir + "rar5.rar").Result);

  RarWriter badMain;
  badMain.AddFile("a", "a");
  badMain.DamageMainHeader();
  EXPECT_EQ(13, OpenArchive(SaveArchive(badMain, dir + "main.rar")).Result);

  RarWriter cut;
  cut.AddFile("a", "a");
  const std::string bytes = cut.Bytes();
  WriteFileBytes(dir + "cut.rar", bytes.substr(0, 7 + 13 + 10));  // inside the file header
  OpenArchive cutArchive(dir + "cut.rar");
  ASSERT_EQ(0, cutArchive.Result);
  EXPECT_EQ(13, cutArchive.Read());

  RarWriter encrypted;
  encrypted.SetMainFlags(0x80);
  encrypted.AddFile("a", "a");
  OpenArchive locked(SaveArchive(encrypted, dir + "locked.rar"));
  EXPECT_EQ(22, locked.Result);
  EXPECT_EQ(nullptr, locked.Handle());

  RAROpenArchiveData noName{};
  EXPECT_EQ(nullptr, RAROpenArchive(&noName));
  EXPECT_EQ(15u, noName.OpenResult);
  EXPECT_EQ(nullptr, RAROpenArchive(nullptr));
}

TEST(StandinLibrary, DamagedFileHeaderEndsTheListing) {
  const std::string dir = ScratchDir("standin-header");
  const RarWriterEntry damaged = EntryWithBadHeaderChecksum("b.txt", "b");
  RarWriter writer;
  writer.AddFile("a.txt", "a").Add(damaged).AddFile("c.txt", "c");
  OpenArchive archive(SaveArchive(writer, dir + "header.rar"));
  EXPECT_EQ((std::vector<int>{0, 13}), archive.ExtractAll(dir + "out"));
}

TEST(StandinLibrary, EncryptedAndCompressedEntriesAreRefusedButCanBeSkipped) {
  const std::string dir = ScratchDir("standin-refused");
  const RarWriterEntry encrypted = EncryptedEntry("secret.txt", "scrambled");
  RarWriterEntry packed;
  packed.Name = "packed.txt";
  packed.Data = "not really packed";
  packed.Method = 0x33;
  RarWriter writer;
  writer.Add(encrypted).Add(packed).AddFile("plain.txt", "plain");
  const std::string path = SaveArchive(writer, dir + "refused.rar");

  OpenArchive archive(path);
  EXPECT_EQ((std::vector<int>{22, 14, 0, 10}), archive.ExtractAll(dir + "out"));
  EXPECT_FALSE(FileExists(dir + "out\\secret.txt"));
  EXPECT_FALSE(FileExists(dir + "out\\packed.txt"));
  EXPECT_EQ("plain", ReadFileBytes(dir + "out\\plain.txt"));

  OpenArchive skipped(path);
  RARSetPassword(skipped.Handle(), const_cast<char*>("password"));
  for (int i = 0; i < 3; ++i) {
    ASSERT_EQ(0, skipped.Read());
    EXPECT_EQ(0, skipped.Process(rar_const::kSkip, dir + "skipped"));
  }
  EXPECT_EQ(10, skipped.Read());
  EXPECT_FALSE(DirectoryExists(dir + "skipped"));
}

TEST(StandinLibrary, PassesOverBlocksOfOtherTypes) {
  const std::string dir = ScratchDir("standin-blocks-other");
  RarWriter writer;
  writer.AddOtherBlock(0x75, "old comment text", "");
  writer.AddFile("a.txt", "a");
  writer.AddOtherBlock(0x7A, std::string("\x00\x00\x00\x00", 4), "sub-block data");
  writer.AddOtherBlock(0x6F, "", "an unknown kind of block");
  writer.AddFile("b.txt", "b");
  OpenArchive archive(SaveArchive(writer, dir + "other.rar"));
  EXPECT_EQ((std::vector<int>{0, 0, 10}), archive.ExtractAll(dir + "out"));
  EXPECT_EQ("a", ReadFileBytes(dir + "out\\a.txt"));
  EXPECT_EQ("b", ReadFileBytes(dir + "out\\b.txt"));
}

TEST(StandinLibrary, UnsafeNamesLandInsideTheDestination) {
  const std::string dir = ScratchDir("standin-unsafe");
  RarWriter writer;
  writer.AddFile("..\\..\\escape.txt", "1");
  writer.AddFile("C:\\rooted.txt", "2");
  writer.AddFile("/unix/style.txt", "3");
  writer.AddFile("\\\\server\\share\\C:\\unc.txt", "4");
  writer.AddFile(".\\.profile", "5");
  writer.AddFile("v1..2\\b.txt", "6");  // dots inside a name are no component
  OpenArchive archive(SaveArchive(writer, dir + "unsafe.rar"));
  EXPECT_EQ((std::vector<int>{0, 0, 0, 0, 0, 0, 10}), archive.ExtractAll(dir + "a\\b"));
  EXPECT_EQ("1", ReadFileBytes(dir + "a\\b\\escape.txt"));
  EXPECT_EQ("2", ReadFileBytes(dir + "a\\b\\rooted.txt"));
  EXPECT_EQ("3", ReadFileBytes(dir + "a\\b\\unix\\style.txt"));
  EXPECT_EQ("4", ReadFileBytes(dir + "a\\b\\unc.txt"));
  EXPECT_EQ("5", ReadFileBytes(dir + "a\\b\\.profile"));
  EXPECT_EQ("6", ReadFileBytes(dir + "a\\b\\v1..2\\b.txt"));
  EXPECT_FALSE(FileExists(dir + "escape.txt"));
  EXPECT_FALSE(FileExists("C:\\rooted.txt"));
}

TEST(StandinLibrary, StoredAttributesAreSetAndReadOnlyTargetsReplaced) {
  const std::string dir = ScratchDir("standin-attributes");
  const DWORD readOnlyHidden = FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN;
  RarWriterEntry windows;
  windows.Name = "locked.txt";
  windows.Data = "new";
  windows.Attributes = readOnlyHidden | FILE_ATTRIBUTE_ARCHIVE;
  RarWriterEntry unix;  // Unix permission bits mean nothing here
  unix.Name = "unix.txt";
  unix.Data = "unix";
  unix.HostOs = 3;
  unix.Attributes = 0100444;
  RarWriter writer;
  writer.Add(windows).Add(unix);
  const std::string path = SaveArchive(writer, dir + "attributes.rar");
  const std::string out = dir + "out\\";
  MakeDirectories(out);
  WriteFileBytes(out + "locked.txt", "old");
  SetFileAttributesA((out + "locked.txt").c_str(), FILE_ATTRIBUTE_READONLY);

  for (int round = 0; round < 2; ++round) {  // the second round replaces read-only files
    OpenArchive archive(path);
    EXPECT_EQ((std::vector<int>{0, 0, 10}), archive.ExtractAll(dir + "out"));
    EXPECT_EQ("new", ReadFileBytes(out + "locked.txt"));
    EXPECT_EQ(readOnlyHidden | FILE_ATTRIBUTE_ARCHIVE,
              GetFileAttributesA((out + "locked.txt").c_str()) & 0x27u);
    EXPECT_EQ(0u, GetFileAttributesA((out + "unix.txt").c_str()) & FILE_ATTRIBUTE_READONLY);
  }
}

TEST(StandinLibrary, ABlockThatPointsBackOrPastTheEndIsDamageNeverALoop) {
  const std::string dir = ScratchDir("standin-wrap");
  // A 64-bit size that wraps around to the entry's own header.
  const RarWriterEntry wrapping = EntryWithWrappingSize("loop.bin");
  RarWriter looping;
  looping.Add(wrapping);
  OpenArchive loop(SaveArchive(looping, dir + "loop.rar"));
  EXPECT_EQ(13, loop.Read());

  const RarWriterEntry beyond =
      EntryClaimingSize("cut.bin", 1000);  // claims more data than the file holds
  RarWriter cut;
  cut.AddFile("a.txt", "a").Add(beyond);
  OpenArchive cutArchive(SaveArchive(cut, dir + "cut.rar"));
  EXPECT_EQ((std::vector<int>{0, 13}), cutArchive.ExtractAll(dir + "out"));

  RarWriter other;  // a block of another kind whose data runs past the end
  other.AddOtherBlock(0x7A, std::string(4, '\0'), std::string(100, 'd'));
  const std::string bytes = other.Bytes();
  WriteFileBytes(dir + "other.rar", bytes.substr(0, bytes.size() - 60));
  OpenArchive otherArchive(dir + "other.rar");
  ASSERT_EQ(0, otherArchive.Result);
  EXPECT_EQ(13, otherArchive.Read());
}

TEST(StandinLibrary, TargetThatCannotBeCreatedGives16AndTheRunGoesOn) {
  const std::string dir = ScratchDir("standin-create");
  MakeDirectories(dir + "out\\blocked.txt");  // a directory where the file should go
  RarWriter writer;
  writer.AddFile("blocked.txt", "x").AddFile("free.txt", "y");
  OpenArchive archive(SaveArchive(writer, dir + "create.rar"));
  EXPECT_EQ((std::vector<int>{16, 0, 10}), archive.ExtractAll(dir + "out"));
  EXPECT_EQ("y", ReadFileBytes(dir + "out\\free.txt"));
}

TEST(StandinLibrary, DestinationNameIsTakenAsItIs) {
  const std::string dir = ScratchDir("standin-destname");
  RarWriter writer;
  writer.AddFile("..\\stored.txt", "content");
  OpenArchive archive(SaveArchive(writer, dir + "name.rar"));
  ASSERT_EQ(0, archive.Read());
  const std::string target = dir + "renamed.bin";
  EXPECT_EQ(0, archive.Process(rar_const::kExtract, "C:\\ignored", target.c_str()));
  EXPECT_EQ("content", ReadFileBytes(target));
}

TEST(StandinLibrary, UnicodeNamesAreWrittenInTheirUnicodeForm) {
  const std::string dir = ScratchDir("standin-unicode");
  RarWriterEntry chinese;
  chinese.Name = "??\\??.txt";
  chinese.UnicodeName = u"\x4E2D\x6587\\\x6587\x4EF6.txt";
  chinese.Data = "zh";
  RarWriterEntry utf8;
  utf8.Name = "\xED\x95\x9C.txt";  // UTF-8 throughout: no 8-bit form stored
  utf8.Utf8Name = true;
  utf8.Data = "utf8";
  RarWriter writer;
  writer.Add(chinese).Add(utf8);
  OpenArchive archive(SaveArchive(writer, dir + "unicode.rar"));
  ASSERT_EQ(0, archive.Read());
  EXPECT_STREQ("??\\??.txt", archive.Header.FileName);  // the 8-bit form
  EXPECT_EQ(0, archive.Process(rar_const::kExtract, dir + "out"));
  ASSERT_EQ(0, archive.Read());
  EXPECT_STREQ("\xC7\xD1.txt", archive.Header.FileName);  // 한 in code page 949
  EXPECT_EQ(0, archive.Process(rar_const::kExtract, dir + "out"));

  const std::wstring out = std::wstring(dir.begin(), dir.end()) + L"out\\";
  WIN32_FILE_ATTRIBUTE_DATA data;
  EXPECT_TRUE(GetFileAttributesExW((out + L"\x4E2D\x6587\\\x6587\x4EF6.txt").c_str(),
                                   GetFileExInfoStandard, &data));
  EXPECT_EQ("utf8", ReadFileBytes(dir + "out\\\xC7\xD1.txt"));
}

TEST(StandinLibrary, EntriesOver4GiBAreListedFromTheirHeaders) {
  const std::string dir = ScratchDir("standin-huge");
  const RarWriterEntry huge =
      EntryClaimingSize("huge.bin", 0x140000123ull);  // only the header is written
  RarWriter writer;
  writer.AddFile("small.txt", "s").Add(huge);
  const std::string header = RarWriter::FileHeader(huge);
  EXPECT_EQ(0x8100, static_cast<unsigned char>(header[3]) | static_cast<unsigned char>(header[4])
                                                                << 8);
  // The data lies in a sparse stretch of the file between the header and the end block.
  const std::string bytes = writer.Bytes();
  const std::string end = bytes.substr(bytes.size() - 7);
  const std::string path = dir + "huge.rar";
  WriteFileBytes(path, bytes.substr(0, bytes.size() - 7));
  {
    FileHandle file(
        CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr));
    ASSERT_TRUE(file);
    LARGE_INTEGER at;
    at.QuadPart = static_cast<LONGLONG>(bytes.size() - 7 + huge.DeclaredSize);
    ASSERT_TRUE(SetFilePointerEx(file.Get(), at, nullptr, FILE_BEGIN));
    DWORD written = 0;
    ASSERT_TRUE(WriteFile(file.Get(), end.data(), 7, &written, nullptr));
  }
  OpenArchive archive(path);
  ASSERT_EQ(0, archive.Read());
  ASSERT_EQ(0, archive.Read());
  EXPECT_STREQ("huge.bin", archive.Header.FileName);
  EXPECT_EQ(0x40000123u, archive.Header.UnpSize);
  EXPECT_EQ(0x100u, archive.Header.Flags & 0x100u);
  EXPECT_EQ(0, archive.Process(rar_const::kSkip, ""));
  EXPECT_EQ(10, archive.Read());
}

TEST(StandinLibrary, RefusesCallsWithoutAnOpenArchiveOrAHeader) {
  const std::string dir = ScratchDir("standin-calls");
  RarWriter writer;
  writer.AddFile("a", "a");
  const std::string path = SaveArchive(writer, dir + "calls.rar");
  RAROpenArchiveData data{};
  std::string name = path;
  data.ArcName = name.data();
  data.OpenMode = rar_const::kOpenExtract;
  HANDLE handle = RAROpenArchive(&data);
  ASSERT_NE(nullptr, handle);
  EXPECT_EQ(21, RARProcessFile(handle, rar_const::kExtract, nullptr, nullptr));
  EXPECT_EQ(0, RARCloseArchive(handle));
  EXPECT_EQ(17, RARCloseArchive(handle));
  RARHeaderData header{};
  EXPECT_EQ(21, RARReadHeader(handle, &header));
  EXPECT_EQ(21, RARReadHeader(nullptr, &header));
}

TEST(StandinVolumeNames, FollowTheNamingOfTheSet) {
  EXPECT_EQ("C:\\a\\set.part2.rar", NextVolumeName("C:\\a\\set.part1.rar", true));
  EXPECT_EQ("set.part10.rar", NextVolumeName("set.part09.rar", true));
  EXPECT_EQ("set.part100.rar", NextVolumeName("set.part99.rar", true));
  EXPECT_EQ("set.r00", NextVolumeName("set.rar", false));
  EXPECT_EQ("SET.R00", NextVolumeName("SET.RAR", false));
  EXPECT_EQ("set.r10", NextVolumeName("set.r09", false));
  EXPECT_EQ("set.s00", NextVolumeName("set.r99", false));
  EXPECT_EQ("set.r00", NextVolumeName("set.rar", true));  // no number to count on
  EXPECT_EQ("dir.v1\\set.r00", NextVolumeName("dir.v1\\set", false));
}

namespace {

// What the change-volume callback saw, and how it answers.
std::vector<std::string> volumeCalls;
std::map<std::string, std::string> volumeReplacement;  // what to answer for a missing volume
int volumeAnswer = 1;

int __stdcall RecordVolume(char* name, int mode) {
  volumeCalls.push_back(std::string(name) + " " + std::to_string(mode));
  const auto replacement = volumeReplacement.find(name);
  if (mode == rar_const::kVolumeAsk && replacement != volumeReplacement.end()) {
    replacement->second.copy(name, replacement->second.size());
    name[replacement->second.size()] = '\0';
  }
  return volumeAnswer;
}

// Two files spread over three volumes of 50,000 data bytes each.
RarWriter VolumeSet(std::string& first, std::string& second) {
  first = PatternBytes(80000);
  second = PatternBytes(60000).substr(1000);
  RarWriter writer;
  writer.AddFile("first.bin", first).AddDirectory("dir").AddFile("dir\\second.bin", second);
  return writer;
}

}  // namespace

TEST(StandinLibrary, VolumeSetExtractsAcrossVolumesAndAnnouncesEach) {
  const std::string dir = ScratchDir("standin-volumes");
  std::string first, second;
  for (const bool newNaming : {true, false}) {
    const std::vector<std::string> volumes =
        VolumeSet(first, second).SaveVolumes(dir + "set", 50000, newNaming);
    ASSERT_EQ(3u, volumes.size());
    volumeCalls.clear();
    volumeAnswer = 1;
    const std::string out = dir + (newNaming ? "new" : "old");
    OpenArchive archive(volumes[0]);
    RARSetChangeVolProc(archive.Handle(), RecordVolume);
    EXPECT_EQ((std::vector<int>{0, 0, 0, 10}), archive.ExtractAll(out));
    EXPECT_EQ(first, ReadFileBytes(out + "\\first.bin"));
    EXPECT_EQ(second, ReadFileBytes(out + "\\dir\\second.bin"));
    EXPECT_EQ((std::vector<std::string>{volumes[1] + " 1", volumes[2] + " 1"}), volumeCalls);
  }
}

TEST(StandinLibrary, ListingAVolumeSetShowsEachEntryOnce) {
  const std::string dir = ScratchDir("standin-volume-list");
  std::string first, second;
  const auto volumes = VolumeSet(first, second).SaveVolumes(dir + "set", 50000, true);
  OpenArchive archive(volumes[0], rar_const::kOpenList);
  std::vector<std::string> names;
  while (archive.Read() == 0) {
    names.push_back(std::string(archive.Header.FileName) + " " +
                    std::to_string(archive.Header.UnpSize) + " " + archive.Header.ArcName);
  }
  EXPECT_EQ((std::vector<std::string>{"first.bin 80000 " + volumes[0], "dir 0 " + volumes[1],
                                      "dir\\second.bin 59000 " + volumes[1]}),
            names);
}

TEST(StandinLibrary, MissingVolumeIsAskedForOrEndsTheEntry) {
  const std::string dir = ScratchDir("standin-volume-missing");
  std::string first, second;
  const auto volumes = VolumeSet(first, second).SaveVolumes(dir + "set", 50000, true);
  MakeDirectories(dir + "disk2");
  const std::string moved = dir + "disk2\\set.part2.rar";
  ASSERT_TRUE(MoveFileA(volumes[1].c_str(), moved.c_str()));

  {  // no callback: the entry ends, and no half file stays
    OpenArchive archive(volumes[0]);
    ASSERT_EQ(0, archive.Read());
    EXPECT_EQ(15, archive.Process(rar_const::kExtract, dir + "none"));
    EXPECT_FALSE(FileExists(dir + "none\\first.bin"));
  }
  {  // the callback gives up
    volumeCalls.clear();
    volumeReplacement.clear();
    volumeAnswer = 0;
    OpenArchive archive(volumes[0]);
    RARSetChangeVolProc(archive.Handle(), RecordVolume);
    ASSERT_EQ(0, archive.Read());
    EXPECT_EQ(21, archive.Process(rar_const::kExtract, dir + "cancelled"));
    EXPECT_EQ((std::vector<std::string>{volumes[1] + " 0"}), volumeCalls);
  }
  // The callback names the places where the volumes are now.
  volumeCalls.clear();
  volumeReplacement = {{volumes[1], moved}, {dir + "disk2\\set.part3.rar", volumes[2]}};
  volumeAnswer = 1;
  OpenArchive archive(volumes[0]);
  RARSetChangeVolProc(archive.Handle(), RecordVolume);
  EXPECT_EQ((std::vector<int>{0, 0, 0, 10}), archive.ExtractAll(dir + "found"));
  volumeReplacement.clear();
  EXPECT_EQ(first, ReadFileBytes(dir + "found\\first.bin"));
  EXPECT_EQ(second, ReadFileBytes(dir + "found\\dir\\second.bin"));
  // set.part3.rar is looked for beside the volume found last.
  EXPECT_EQ(volumes[1] + " 0", volumeCalls.at(0));
  EXPECT_EQ(moved + " 1", volumeCalls.at(1));
  EXPECT_EQ(dir + "disk2\\set.part3.rar 0", volumeCalls.at(2));
  EXPECT_EQ(volumes[2] + " 1", volumeCalls.at(3));
}

TEST(StandinLibrary, VolumeReadBeforeIsNotReadAgain) {
  const std::string dir = ScratchDir("standin-volume-loop");
  std::string first, second;
  const auto volumes = VolumeSet(first, second).SaveVolumes(dir + "set", 50000, true);
  ASSERT_TRUE(DeleteFileA(volumes[2].c_str()));
  volumeCalls.clear();
  volumeReplacement = {{volumes[2], volumes[1]}};  // points back into the set
  volumeAnswer = 1;
  OpenArchive archive(volumes[0]);
  RARSetChangeVolProc(archive.Handle(), RecordVolume);
  EXPECT_EQ((std::vector<int>{0, 0, 13, 13}), archive.ExtractAll(dir + "out"));
  volumeReplacement.clear();
}

namespace {

std::atomic<std::uint64_t> reportedBytes{0};
std::atomic<int> emptyReports{0};
std::atomic<bool> cancelOnEmptyReport{false};

int __stdcall CountBlock(unsigned char* /*addr*/, int size) {
  reportedBytes += static_cast<std::uint64_t>(size);
  if (size == 0) ++emptyReports;
  return size == 0 && cancelOnEmptyReport ? 0 : 1;
}

// Extracts (or tests) every entry with the counting callback; the codes as ExtractAll.
std::vector<int> RunCounted(const std::string& path, const std::string& dest,
                            int operation = rar_const::kExtract) {
  reportedBytes = 0;
  emptyReports = 0;
  OpenArchive archive(path);
  RARSetProcessDataProc(archive.Handle(), CountBlock);
  std::vector<int> codes;
  int code;
  while ((code = archive.Read()) == 0) codes.push_back(archive.Process(operation, dest));
  codes.push_back(code);
  return codes;
}

// The hold's events, made as a driver makes them, without the request.
struct HoldEvents {
  explicit HoldEvents(const std::string& name)
      : HeldEvent(
            CreateEventA(nullptr, TRUE, FALSE, (name + extraction_hold::kHeldSuffix).c_str())),
        ReleaseEvent(
            CreateEventA(nullptr, TRUE, FALSE, (name + extraction_hold::kReleaseSuffix).c_str())) {}
  bool Held() const { return WaitForSingleObject(HeldEvent.Get(), 0) == WAIT_OBJECT_0; }
  ObjectHandle HeldEvent, ReleaseEvent;
};

}  // namespace

// A driver that asked for it sees the extraction stand still halfway through the
// first large entry, whatever the machine's speed, until it lets it go; meanwhile the
// program hears of no new data now and then, and may repaint.
TEST(StandinExtractionHold, HoldsTheFirstLargeEntryHalfwayUntilReleased) {
  const std::string dir = ScratchDir("standin-hold");
  const std::string large = PatternBytes(2 * extraction_hold::kHoldableSize);
  RarWriter writer;
  writer.AddFile("small.txt", "small");
  writer.AddFile("large.bin", large);
  writer.AddFile("later.bin", large);  // large too, and not held again
  const std::string path = SaveArchive(writer, dir + "hold.rar");

  ExtractionHold hold;
  std::atomic<bool> done{false};
  std::vector<int> codes;
  std::thread extraction([&] {
    codes = RunCounted(path, dir + "out");
    done = true;
  });
  std::uint64_t reportedWhenHeld = 0;
  bool doneWhenHeld = true;
  bool laterWhenHeld = true;
  try {
    ui_driver::WaitUntil([&] { return hold.Held() && emptyReports >= 2; }, "the held extraction");
    reportedWhenHeld = reportedBytes;
    doneWhenHeld = done;
    laterWhenHeld = FileExists(dir + "out\\later.bin");
  } catch (const ui_driver::DriverError& error) {
    ADD_FAILURE() << error.what();
  }
  hold.Release();
  extraction.join();
  EXPECT_EQ(5 + extraction_hold::kHoldableSize, reportedWhenHeld);
  EXPECT_FALSE(doneWhenHeld);
  EXPECT_FALSE(laterWhenHeld);
  EXPECT_EQ((std::vector<int>{0, 0, 0, 10}), codes);
  EXPECT_EQ(large, ReadFileBytes(dir + "out\\large.bin"));
  EXPECT_EQ(large, ReadFileBytes(dir + "out\\later.bin"));
}

TEST(StandinExtractionHold, ACancelWhileHeldEndsTheEntryWithoutAFile) {
  const std::string dir = ScratchDir("standin-hold-cancel");
  RarWriter writer;
  writer.AddFile("large.bin", PatternBytes(extraction_hold::kHoldableSize));
  const std::string path = SaveArchive(writer, dir + "large.rar");
  ExtractionHold hold;
  cancelOnEmptyReport = true;
  const std::vector<int> codes = RunCounted(path, dir + "out");
  cancelOnEmptyReport = false;
  EXPECT_TRUE(hold.Held());
  EXPECT_EQ((std::vector<int>{21, 10}), codes);
  EXPECT_FALSE(FileExists(dir + "out\\large.bin"));
}

TEST(StandinExtractionHold, NothingIsHeldUnlessAskedForALargeExtractedEntry) {
  const std::string dir = ScratchDir("standin-no-hold");
  RarWriter small;
  small.AddFile("small.bin", PatternBytes(extraction_hold::kHoldableSize - 1));
  const std::string smallPath = SaveArchive(small, dir + "small.rar");
  RarWriter large;
  large.AddFile("large.bin", PatternBytes(extraction_hold::kHoldableSize));
  const std::string largePath = SaveArchive(large, dir + "large.rar");
  const std::string name = "kit-standin-test-hold";
  const HoldEvents events(name);

  // The driver's events alone are no request.
  EXPECT_EQ((std::vector<int>{0, 10}), RunCounted(largePath, dir + "unasked"));
  EXPECT_FALSE(events.Held());

  SetEnvironmentVariableA(extraction_hold::kVariable, name.c_str());
  EXPECT_EQ((std::vector<int>{0, 10}), RunCounted(smallPath, dir + "small"));
  EXPECT_EQ((std::vector<int>{0, 10}), RunCounted(largePath, dir + "tested", rar_const::kTest));
  const bool heldMeanwhile = events.Held();
  SetEnvironmentVariableA(extraction_hold::kVariable, nullptr);
  EXPECT_FALSE(heldMeanwhile);  // a small entry, a tested one: neither is held
}
