// The archive component with the stand-in UNRAR.DLL: archives the test writer
// makes and archives made by the real archiver.
#include "rar/rar_component.h"
#include "rar_writer/rar_writer.h"
#include "support/long_paths.h"
#include "support/test_support.h"
#include "win/file_system.h"
#include "win/handles.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <cstring>
#include <map>
#include <string>
#include <vector>

namespace {

std::string Fixture(const std::string& name) {
  return SourceTreePath("tests/fixtures/rar/" + name);
}

std::string WithoutSlash(const std::string& dir) { return dir.substr(0, dir.size() - 1); }

class RarExtraction : public ::testing::Test {
 protected:
  void SetUp() override {
    rar.OnError = [this](TRAR&, int code) { events.push_back("error " + std::to_string(code)); };
    rar.OnExtracting = [this](TRAR&, const RARHeaderData& header) {
      events.push_back(std::string("extracting ") + header.FileName);
      sizes[header.FileName] = header.UnpSize;
    };
    rar.OnExtract = [this](TRAR&, const RARHeaderData& header, bool ok) {
      if (!ok) events.push_back(std::string("failed ") + header.FileName);
    };
    rar.OnProcessData = [this](TRAR&, unsigned char*, int size, int position) {
      written += size;
      lastPosition = position;
      return 1;
    };
  }

  std::string Events() const { return Joined(events, " | "); }

  TRAR rar;
  std::vector<std::string> events;
  std::map<std::string, unsigned> sizes;
  long long written = 0;
  int lastPosition = 0;
};

}  // namespace

TEST_F(RarExtraction, WrittenArchiveComesOutByteForByte) {
  const std::string dir = ScratchDir("rar-written");
  const std::string large = PatternBytes(1 << 20, 13);
  RarWriterEntry korean;
  korean.Name = "\xB9\xAE\xBC\xAD\\\xC7\xD1\xB1\xDB.txt";  // 문서\한글.txt
  korean.UnicodeName = u"문서\\한글.txt";
  korean.Data = "unicode";
  RarWriter writer;
  writer.AddDirectory("empty dir")
      .AddFile("top.txt", "top")
      .AddFile("a\\b\\c\\deep.bin", PatternBytes(70000, 7))
      .AddFile("a\\zero.txt", "")
      .AddFile("a\\large.bin", large)
      .AddFile("\xC7\xD1\xB1\xDB\\\xC0\xCC\xB8\xA7.txt", "cp949")  // 한글\이름.txt
      .Add(korean);
  ASSERT_TRUE(writer.Save(dir + "written.rar"));

  EXPECT_TRUE(rar.ExtractArchive(dir + "written.rar", dir + "out", false));
  EXPECT_EQ(
      "extracting empty dir | extracting top.txt | extracting a\\b\\c\\deep.bin | "
      "extracting a\\zero.txt | extracting a\\large.bin | "
      "extracting \xC7\xD1\xB1\xDB\\\xC0\xCC\xB8\xA7.txt | "
      "extracting \xB9\xAE\xBC\xAD\\\xC7\xD1\xB1\xDB.txt",
      Events());
  EXPECT_TRUE(DirectoryExists(dir + "out\\empty dir"));
  EXPECT_EQ("top", ReadFileBytes(dir + "out\\top.txt"));
  EXPECT_EQ(PatternBytes(70000, 7), ReadFileBytes(dir + "out\\a\\b\\c\\deep.bin"));
  EXPECT_TRUE(FileExists(dir + "out\\a\\zero.txt"));
  EXPECT_EQ(large, ReadFileBytes(dir + "out\\a\\large.bin"));
  EXPECT_EQ("cp949", ReadFileBytes(dir + "out\\\xC7\xD1\xB1\xDB\\\xC0\xCC\xB8\xA7.txt"));
  EXPECT_EQ("unicode", ReadFileBytes(dir + "out\\\xB9\xAE\xBC\xAD\\\xC7\xD1\xB1\xDB.txt"));
  EXPECT_EQ(1u << 20, sizes["a\\large.bin"]);
  EXPECT_EQ(3 + 70000 + (1 << 20) + 5 + 7, written);
  EXPECT_EQ(7, lastPosition);  // the position restarts with every entry
}

TEST_F(RarExtraction, DamagedAndUncreatableEntriesFailTheRunButNotTheOthers) {
  const std::string dir = ScratchDir("rar-damaged");
  const RarWriterEntry damaged = EntryWithBadDataChecksum("damaged.txt", "checksum does not match");
  RarWriter writer;
  writer.Add(damaged).AddFile("blocked", "x").AddFile("fine.txt", "fine");
  ASSERT_TRUE(writer.Save(dir + "damaged.rar"));
  MakeDirectories(dir + "out\\blocked");

  EXPECT_FALSE(rar.ExtractArchive(dir + "damaged.rar", dir + "out", false));
  EXPECT_EQ(
      "extracting damaged.txt | failed damaged.txt | error 12 | extracting blocked | "
      "failed blocked | error 16 | extracting fine.txt",
      Events());
  EXPECT_EQ(damaged.Data, ReadFileBytes(dir + "out\\damaged.txt"));
  EXPECT_EQ("fine", ReadFileBytes(dir + "out\\fine.txt"));
}

TEST_F(RarExtraction, ExistingFilesAreKeptOnlyWhenAsked) {
  const std::string dir = ScratchDir("rar-existing");
  RarWriter writer;
  writer.AddFile("kept.txt", "new").AddFile("sub\\added.txt", "added");
  ASSERT_TRUE(writer.Save(dir + "existing.rar"));
  MakeDirectories(dir + "out");
  WriteFileBytes(dir + "out\\kept.txt", "old");

  EXPECT_TRUE(rar.ExtractArchive(dir + "existing.rar", dir + "out", true));
  EXPECT_EQ("extracting sub\\added.txt", Events());
  EXPECT_EQ("old", ReadFileBytes(dir + "out\\kept.txt"));
  EXPECT_EQ("added", ReadFileBytes(dir + "out\\sub\\added.txt"));

  EXPECT_TRUE(rar.ExtractArchive(dir + "existing.rar", dir + "out", false));
  EXPECT_EQ("new", ReadFileBytes(dir + "out\\kept.txt"));
}

// Kept means kept where the library writes: a stored "..\\..\\X.TXT" lands in the
// target, and a target beyond MAX_PATH characters is no reason to overwrite.
TEST_F(RarExtraction, ExistingFilesAreKeptWhereTheLibraryWritesThem) {
  const std::string dir = ScratchDir("rar-existing-safe");
  const std::string target = dir + "out\\sub";
  RarWriter writer;
  writer.AddFile("..\\..\\X.TXT", "new").AddFile("L.TXT", "new").AddFile("N.TXT", "new");
  ASSERT_TRUE(writer.Save(dir + "climbing.rar"));
  MakeDirectories(target);
  WriteFileBytes(target + "\\X.TXT", "old");

  EXPECT_TRUE(rar.ExtractArchive(dir + "climbing.rar", target, true));
  EXPECT_EQ("extracting L.TXT | extracting N.TXT", Events());
  EXPECT_EQ("old", ReadFileBytes(target + "\\X.TXT"));
  EXPECT_FALSE(FileExists(dir + "X.TXT"));
  EXPECT_EQ("new", ReadFileBytes(target + "\\N.TXT"));

  events.clear();
  const std::string longTarget =
      dir + KoreanText(80) + "\\" + KoreanText(80) + "\\" + KoreanText(80);
  MakeLongDirectories(longTarget);
  WriteLongFile(longTarget + "\\L.TXT", "old");
  EXPECT_TRUE(rar.ExtractArchive(dir + "climbing.rar", longTarget, true));
  EXPECT_EQ("extracting ..\\..\\X.TXT | extracting N.TXT", Events());
  EXPECT_TRUE(LongFileExists(longTarget + "\\X.TXT"));
  EXPECT_TRUE(LongFileExists(longTarget + "\\N.TXT"));
  EXPECT_EQ("old", ReadLongFile(longTarget + "\\L.TXT"));
  RemoveLongTree(dir);
}

TEST_F(RarExtraction, OnlySelectedEntriesAreWritten) {
  const std::string dir = ScratchDir("rar-selected");
  RarWriter writer;
  writer.AddFile("SETUP.EXE", "exe").AddFile("DATA.DBF", "dbf").AddFile("SUB\\DATA.DBF", "sub");
  ASSERT_TRUE(writer.Save(dir + "selected.rar"));
  rar.ArchiveName = dir + "selected.rar";
  rar.TargetDir = dir + "out";
  rar.FilesToExtract = {"C:\\APP\\data.dbf"};
  EXPECT_TRUE(rar.ExtractFiles());
  EXPECT_EQ("dbf", ReadFileBytes(dir + "out\\DATA.DBF"));
  EXPECT_FALSE(FileExists(dir + "out\\SETUP.EXE"));
  EXPECT_FALSE(FileExists(dir + "out\\SUB\\DATA.DBF"));
}

TEST_F(RarExtraction, CancelFromTheDataHandlerEndsTheRunWithoutAHalfFile) {
  const std::string dir = ScratchDir("rar-cancel");
  RarWriter writer;
  writer.AddFile("big.bin", PatternBytes(300000, 3)).AddFile("after.txt", "after");
  ASSERT_TRUE(writer.Save(dir + "cancel.rar"));
  rar.OnProcessData = [](TRAR&, unsigned char*, int, int position) {
    return position < 100000 ? 1 : 0;
  };
  EXPECT_FALSE(rar.ExtractArchive(dir + "cancel.rar", dir + "out", false));
  EXPECT_EQ("extracting big.bin | failed big.bin | error 21", Events());
  EXPECT_FALSE(FileExists(dir + "out\\big.bin"));
  EXPECT_FALSE(FileExists(dir + "out\\after.txt"));
}

TEST_F(RarExtraction, MissingArchiveIsReported) {
  const std::string dir = ScratchDir("rar-missing");
  EXPECT_FALSE(rar.ExtractArchive(dir + "none.rar", dir + "out", false));
  EXPECT_EQ("error 15", Events());
}

TEST_F(RarExtraction, ArchiveWithEmptyDirectoryFromTheArchiver) {
  const std::string dir = ScratchDir("rar-tree");
  EXPECT_TRUE(rar.ExtractArchive(Fixture("tree-with-empty-dir.rar"), dir + "out", false));
  EXPECT_EQ(
      "extracting example\\foo\\bar.txt | extracting example\\hoge.txt | "
      "extracting example\\empty | extracting example\\foo | extracting example",
      Events());
  EXPECT_EQ("foobar", ReadFileBytes(dir + "out\\example\\foo\\bar.txt"));
  EXPECT_EQ("hogehoge", ReadFileBytes(dir + "out\\example\\hoge.txt"));
  EXPECT_TRUE(DirectoryExists(dir + "out\\example\\empty"));
}

TEST_F(RarExtraction, JapaneseNamesFromTheArchiverComeOutInTheirUnicodeForm) {
  const std::string dir = ScratchDir("rar-japanese");
  EXPECT_TRUE(rar.ExtractArchive(Fixture("japanese-names.rar"), WithoutSlash(dir), false));
  // The events carry the 8-bit names the archiver stored (code page 932).
  const std::string directory8 = "\x83\x66\x83\x42\x83\x8c\x83\x4e\x83\x67\x83\x8a";
  const std::string file8 =
      directory8 + "\\\x83\x65\x83\x4c\x83\x58\x83\x67\x83\x74\x83\x40\x83\x43\x83\x8b.txt";
  EXPECT_EQ("extracting " + file8 + " | extracting " + directory8, Events());

  const std::wstring path = std::wstring(dir.begin(), dir.end()) +
                            L"\x30C7\x30A3\x30EC\x30AF\x30C8\x30EA\\\x30C6\x30AD\x30B9\x30C8"
                            L"\x30D5\x30A1\x30A4\x30EB.txt";
  FileHandle file(
      CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr));
  ASSERT_TRUE(file);
  char bytes[64] = {};
  DWORD got = 0;
  ReadFile(file.Get(), bytes, sizeof bytes, &got, nullptr);
  EXPECT_EQ(std::string("Win10\x95\x57\x8f\x80\x82\xcc\x95\xb6\x8e\x9a\x83\x52\x81\x5b\x83\x68"
                        "\x82\xc5\x8f\x91\x82\xa9\x82\xea\x82\xbd\x83\x65\x83\x4c\x83\x58\x83\x67"
                        "\x81\x42"),
            std::string(bytes, got));
}

TEST_F(RarExtraction, CompressedArchiveIsListedButNotExtracted) {
  const std::string dir = ScratchDir("rar-compressed");
  std::string name = Fixture("hello-and-picture.rar");
  RAROpenArchiveData data{};
  data.ArcName = name.data();
  data.OpenMode = rar_const::kOpenList;
  HANDLE handle = RAROpenArchive(&data);
  ASSERT_EQ(0u, data.OpenResult);
  RARHeaderData header{};
  std::vector<std::string> listing;
  while (RARReadHeader(handle, &header) == 0) {
    listing.push_back(std::string(header.FileName) + " " + std::to_string(header.UnpSize) + " " +
                      std::to_string(header.Method) + " " + std::to_string(header.HostOS));
    RARProcessFile(handle, rar_const::kSkip, nullptr, nullptr);
  }
  RARCloseArchive(handle);
  EXPECT_EQ((std::vector<std::string>{"testContent\\hello.txt 40 51 3",
                                      "testContent\\pug.jpg 34830 51 3"}),
            listing);

  EXPECT_FALSE(rar.ExtractArchive(Fixture("hello-and-picture.rar"), dir + "out", false));
  EXPECT_EQ("extracting testContent\\hello.txt | failed testContent\\hello.txt | error 14",
            Events());
  EXPECT_FALSE(FileExists(dir + "out\\testContent\\hello.txt"));
}

TEST_F(RarExtraction, ArchiveWithEncryptedHeadersFailsToOpen) {
  const std::string dir = ScratchDir("rar-encrypted");
  EXPECT_FALSE(rar.ExtractArchive(Fixture("encrypted-entries.rar"), dir + "out", false));
  EXPECT_EQ("error 22", Events());
}

// A volume set whose second volume lies elsewhere: the volume handler is told
// about each volume and names the missing one, as a disk prompt would.
TEST_F(RarExtraction, VolumeHandlerFollowsAVolumeSetAcrossDisks) {
  const std::string dir = ScratchDir("rar-volumes");
  const std::string data = PatternBytes(150000, 5);
  RarWriter writer;
  writer.AddFile("setup.bin", data).AddFile("readme.txt", "read me");
  const auto volumes = writer.SaveVolumes(dir + "disk", 60000, false);
  ASSERT_EQ(3u, volumes.size());
  MakeDirectories(dir + "B");
  const std::string moved = dir + "B\\disk.r00";
  ASSERT_TRUE(MoveFileA(volumes[1].c_str(), moved.c_str()));
  std::vector<std::string> calls;
  rar.OnVolumeChange = [&](TRAR& sender, char* name, int mode) {
    EXPECT_EQ(&rar, &sender);
    calls.push_back(std::string(name) + " " + std::to_string(mode));
    if (mode == 0 && std::string(name) == volumes[1]) std::strcpy(name, moved.c_str());
    if (mode == 0 && std::string(name) == dir + "B\\disk.r01")
      std::strcpy(name, volumes[2].c_str());
    return 1;
  };
  EXPECT_TRUE(rar.ExtractArchive(volumes[0], dir + "out", false));
  EXPECT_EQ(data, ReadFileBytes(dir + "out\\setup.bin"));
  EXPECT_EQ("read me", ReadFileBytes(dir + "out\\readme.txt"));
  EXPECT_EQ((std::vector<std::string>{volumes[1] + " 0", moved + " 1", dir + "B\\disk.r01 0",
                                      volumes[2] + " 1"}),
            calls);
  EXPECT_EQ(150000 + 7, written);

  events.clear();
  rar.OnVolumeChange = nullptr;  // without a handler the missing volume ends the run
  EXPECT_FALSE(rar.ExtractArchive(volumes[0], dir + "again", false));
  EXPECT_EQ("extracting setup.bin | failed setup.bin | error 15", Events());
}
