// The test writer's archives: byte layout checked here, and (BsdtarProof) archives
// with their expected trees written for bsdtar_proof.sh, which proves with Debian's
// bsdtar that the archives are genuine.
#include "rar_writer/rar_writer.h"
#include "support/test_support.h"
#include "win/handles.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>
#include <string>
#include <vector>

namespace {

std::string Bytes(std::initializer_list<unsigned> values) {
  std::string bytes;
  for (const unsigned value : values) bytes += static_cast<char>(value);
  return bytes;
}

unsigned Get16(const std::string& bytes, std::size_t at) {
  return static_cast<unsigned char>(bytes[at]) | static_cast<unsigned char>(bytes[at + 1]) << 8;
}

unsigned Get32(const std::string& bytes, std::size_t at) {
  return Get16(bytes, at) | Get16(bytes, at + 2) << 16;
}

std::wstring Wide(const std::u16string& text) { return std::wstring(text.begin(), text.end()); }

std::string Encode(const std::u16string& text, UINT codePage) {
  const std::wstring wide = Wide(text);
  const int length = WideCharToMultiByte(codePage, 0, wide.data(), static_cast<int>(wide.size()),
                                         nullptr, 0, nullptr, nullptr);
  std::string bytes(length, '\0');
  WideCharToMultiByte(codePage, 0, wide.data(), static_cast<int>(wide.size()), bytes.data(), length,
                      nullptr, nullptr);
  return bytes;
}

// An entry of a proof archive and of its expected tree.
struct ProofEntry {
  std::u16string Name;  // "\" between directories
  std::string Data;
  bool Directory = false;
  bool Unicode = true;  // false: only the 8-bit (code page 949) name is stored
};

void WriteExpected(const std::string& root, const ProofEntry& entry) {
  const std::wstring path = Wide(std::u16string(root.begin(), root.end()) + entry.Name);
  for (auto pos = path.find(L'\\', 3); pos != std::wstring::npos; pos = path.find(L'\\', pos + 1)) {
    CreateDirectoryW(path.substr(0, pos).c_str(), nullptr);
  }
  if (entry.Directory) {
    CreateDirectoryW(path.c_str(), nullptr);
    return;
  }
  FileHandle file(CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
  ASSERT_TRUE(file);
  DWORD written = 0;
  WriteFile(file.Get(), entry.Data.data(), static_cast<DWORD>(entry.Data.size()), &written,
            nullptr);
}

// Writes NAME.rar, expected\NAME\ (the tree) and expected\NAME.list (the names
// as bsdtar lists them: UTF-8, "/" between directories).
void WriteProof(const std::string& dir, const std::string& name,
                const std::vector<ProofEntry>& entries) {
  RarWriter writer;
  std::string list;
  for (const ProofEntry& proof : entries) {
    RarWriterEntry entry;
    entry.Name = Encode(proof.Name, 949);
    if (proof.Unicode) entry.UnicodeName = proof.Name;
    entry.Data = proof.Data;
    entry.Directory = proof.Directory;
    writer.Add(entry);
    WriteExpected(dir + "expected\\" + name + "\\", proof);
    std::string utf8 = Encode(proof.Name, CP_UTF8);
    for (char& c : utf8) {
      if (c == '\\') c = '/';
    }
    list += utf8 + "\n";
  }
  ASSERT_TRUE(writer.Save(dir + name + ".rar"));
  WriteFileBytes(dir + "expected\\" + name + ".list", list);
}

// Hands out its bytes in pieces of a fixed size, which need not match the writer's blocks.
class PieceSource : public RarDataSource {
 public:
  PieceSource(std::string bytes, std::size_t piece) : bytes_(std::move(bytes)), piece_(piece) {}
  bool Read(char* buffer, std::size_t size, std::size_t& got) override {
    got = std::min({size, piece_, bytes_.size() - at_});
    bytes_.copy(buffer, got, at_);
    at_ += got;
    return !(FailAt && at_ >= FailAt);
  }
  std::size_t FailAt = 0;  // not 0: reading fails once this many bytes are handed out

 private:
  std::string bytes_;
  std::size_t piece_;
  std::size_t at_ = 0;
};

// Keeps the first bytes written (by default all) and counts the rest, so archives of
// any size fit.
class HeadOutput : public RarOutput {
 public:
  explicit HeadOutput(std::uint64_t keep = ~std::uint64_t{0}) : keep_(keep) {}
  bool Write(const char* data, std::size_t size) override {
    if (size_ < keep_) Head.append(data, std::min<std::uint64_t>(size, keep_ - size_));
    size_ += size;
    return Writable;
  }
  bool Overwrite(std::uint64_t offset, const char* data, std::size_t size) override {
    if (offset + size > size_) return false;
    if (offset < Head.size()) {
      const std::size_t kept = std::min<std::size_t>(size, Head.size() - offset);
      Head.replace(static_cast<std::size_t>(offset), kept, data, kept);
    }
    return true;
  }
  std::uint64_t Size() const { return size_; }

  std::string Head;
  bool Writable = true;

 private:
  std::uint64_t keep_;
  std::uint64_t size_ = 0;
};

}  // namespace

TEST(RarWriter, ChecksumIsTheZlibOne) {
  EXPECT_EQ(0xCBF43926u, RarCrc32("123456789"));
  EXPECT_EQ(RarCrc32("123456789"), RarCrc32("6789", RarCrc32("12345")));
  EXPECT_EQ(0u, RarCrc32(""));
}

TEST(RarWriter, EmptyArchiveIsSignatureMainHeaderAndEndBlock) {
  EXPECT_EQ(std::string("Rar!\x1A\x07\x00", 7) +
                Bytes({0xCF, 0x90, 0x73, 0x00, 0x00, 0x0D, 0x00, 0, 0, 0, 0, 0, 0}) +
                Bytes({0xC4, 0x3D, 0x7B, 0x00, 0x40, 0x07, 0x00}),
            RarWriter().Bytes());
}

TEST(RarWriter, FileHeaderCarriesItsFieldsAndAValidChecksum) {
  RarWriterEntry entry;
  entry.Name = "dir\\file.txt";
  entry.Data = PatternBytes(70000);
  const std::string header = RarWriter::FileHeader(entry);
  ASSERT_EQ(32u + 12u, header.size());
  EXPECT_EQ(RarCrc32(header.substr(2)) & 0xFFFF, Get16(header, 0));
  EXPECT_EQ(0x74, header[2]);
  EXPECT_EQ(0x8000u, Get16(header, 3));
  EXPECT_EQ(header.size(), Get16(header, 5));
  EXPECT_EQ(70000u, Get32(header, 7));
  EXPECT_EQ(70000u, Get32(header, 11));
  EXPECT_EQ(2, header[15]);
  EXPECT_EQ(RarCrc32(entry.Data), Get32(header, 16));
  EXPECT_EQ(kRarWriterDosTime, Get32(header, 20));
  EXPECT_EQ(20, header[24]);
  EXPECT_EQ(0x30, header[25]);
  EXPECT_EQ(12u, Get16(header, 26));
  EXPECT_EQ(0x20u, Get32(header, 28));
  EXPECT_EQ("dir\\file.txt", header.substr(32));

  RarWriterEntry directory;
  directory.Name = "dir";
  directory.Directory = true;
  const std::string dirHeader = RarWriter::FileHeader(directory);
  EXPECT_EQ(0x80E0u, Get16(dirHeader, 3));
  EXPECT_EQ(0u, Get32(dirHeader, 7));
  EXPECT_EQ(0x10u, Get32(dirHeader, 28));
  directory.Attributes = 0x12;  // hidden
  EXPECT_EQ(0x12u, Get32(RarWriter::FileHeader(directory), 28));
  entry.Attributes = 0;  // no attribute set: not the default archive bit
  EXPECT_EQ(0u, Get32(RarWriter::FileHeader(entry), 28));
  entry.Attributes = 0x27;
  EXPECT_EQ(0x27u, Get32(RarWriter::FileHeader(entry), 28));

  RarWriterEntry huge;
  huge.Name = "huge";
  huge.DeclaredSize = 0x123456789ull;
  const std::string hugeHeader = RarWriter::FileHeader(huge);
  EXPECT_EQ(0x8100u, Get16(hugeHeader, 3));
  EXPECT_EQ(0x23456789u, Get32(hugeHeader, 7));
  EXPECT_EQ(1u, Get32(hugeHeader, 32));  // high halves of both sizes
  EXPECT_EQ(1u, Get32(hugeHeader, 36));
  EXPECT_EQ("huge", hugeHeader.substr(40));
}

TEST(RarWriter, StreamedEntriesEqualTheSameEntriesInMemory) {
  RarWriterEntry big;
  big.Name = "\xC7\xD1\xB1\xDB\\big.bin";  // 한글\big.bin
  big.UnicodeName = u"한글\\big.bin";
  big.Data = PatternBytes(200000);
  big.DosTime = 0x3A6B2D83;
  big.Attributes = 0x21;
  RarWriterEntry empty;
  empty.Name = "empty.txt";
  empty.Attributes = 0;
  RarWriterEntry directory;
  directory.Name = "\xC7\xD1\xB1\xDB";
  directory.Directory = true;
  RarWriter memory;
  memory.Add(big).Add(empty).Add(directory);

  for (const std::size_t piece : {std::size_t{1000}, kRarStreamBlockSize, std::size_t{1} << 20}) {
    HeadOutput output;
    RarStreamWriter writer(output);
    ASSERT_TRUE(writer.Start());
    PieceSource bigSource(big.Data, piece);
    PieceSource emptySource("", piece);
    EXPECT_EQ(RarStreamResult::kDone, writer.AddStreamed(big, big.Data.size(), bigSource));
    EXPECT_EQ(RarStreamResult::kDone, writer.AddStreamed(empty, 0, emptySource));
    ASSERT_TRUE(writer.Add(directory));
    ASSERT_TRUE(writer.Finish());
    const std::string bytes = memory.Bytes();
    EXPECT_EQ(bytes, output.Head) << "pieces of " << piece;
    EXPECT_EQ(bytes.size(), writer.BytesWritten());
  }
}

TEST(RarWriter, StreamedEntrySaysWhyItFailed) {
  const std::string data = PatternBytes(150000);
  RarWriterEntry entry;
  entry.Name = "data.bin";
  struct Case {
    std::uint64_t Announced;
    std::size_t FailAt;
    bool Writable;
    RarStreamResult Result;
  };
  for (const Case& c : {Case{data.size() + 1, 0, true, RarStreamResult::kSizeChanged},
                        Case{data.size() - 1, 0, true, RarStreamResult::kSizeChanged},
                        Case{data.size(), 70000, true, RarStreamResult::kReadFailed},
                        Case{data.size(), 0, false, RarStreamResult::kWriteFailed}}) {
    HeadOutput output;
    RarStreamWriter writer(output);
    ASSERT_TRUE(writer.Start());
    output.Writable = c.Writable;
    PieceSource source(data, 50000);
    source.FailAt = c.FailAt;
    EXPECT_EQ(c.Result, writer.AddStreamed(entry, c.Announced, source)) << c.Announced;
  }
}

// A streamed entry over 4 GiB (zeros, generated) takes the 64-bit size fields.
TEST(RarWriter, StreamedEntryOver4GiBTakesTheHighSizeFields) {
  class Zeros : public RarDataSource {
   public:
    bool Read(char* buffer, std::size_t size, std::size_t& got) override {
      got = static_cast<std::size_t>(std::min<std::uint64_t>(size, Left));
      std::fill(buffer, buffer + got, '\0');
      Left -= got;
      return true;
    }
    std::uint64_t Left = 0x100000005ull;
  } zeros;
  RarWriterEntry entry;
  entry.Name = "huge.bin";
  HeadOutput output(4096);
  RarStreamWriter writer(output);
  ASSERT_TRUE(writer.Start());
  ASSERT_EQ(RarStreamResult::kDone, writer.AddStreamed(entry, 0x100000005ull, zeros));
  ASSERT_TRUE(writer.Finish());

  const std::size_t at = 7 + 13;
  const std::string header = output.Head.substr(at, Get16(output.Head, at + 5));
  ASSERT_EQ(32u + 8u + 8u, header.size());
  EXPECT_EQ(0x8100u, Get16(header, 3));
  EXPECT_EQ(RarCrc32(header.substr(2)) & 0xFFFF, Get16(header, 0));
  EXPECT_EQ(5u, Get32(header, 7));  // low halves
  EXPECT_EQ(5u, Get32(header, 11));
  EXPECT_EQ(1u, Get32(header, 32));  // high halves
  EXPECT_EQ(1u, Get32(header, 36));
  EXPECT_EQ("huge.bin", header.substr(40));
  EXPECT_NE(0u, Get32(header, 16));  // the data's checksum was filled in
  EXPECT_EQ(at + header.size() + 0x100000005ull + 7, output.Size());
}

TEST(RarWriter, DamageTouchesOnlyWhatWasAskedFor) {
  RarWriterEntry entry;
  entry.Name = "a";
  entry.Data = "abc";
  const std::string good = RarWriter::FileHeader(entry);
  entry.BadDataCrc = true;
  const std::string badData = RarWriter::FileHeader(entry);
  EXPECT_NE(Get32(good, 16), Get32(badData, 16));
  EXPECT_EQ(RarCrc32(badData.substr(2)) & 0xFFFF, Get16(badData, 0));
  entry.BadDataCrc = false;
  entry.BadHeaderCrc = true;
  const std::string badHeader = RarWriter::FileHeader(entry);
  EXPECT_EQ(good.substr(2), badHeader.substr(2));
  EXPECT_NE(Get16(good, 0), Get16(badHeader, 0));
  entry.BadHeaderCrc = false;
  entry.Encrypted = true;
  EXPECT_EQ(0x8004u, Get16(RarWriter::FileHeader(entry), 3));
}

// The odd entries the tests build archives with are ordinary files but for the one
// thing their maker names.
TEST(RarWriter, EachOddEntryIsWhatItsMakerSays) {
  RarWriterEntry plain;
  plain.Name = "a";
  plain.Data = "abc";
  const std::string good = RarWriter::FileHeader(plain);
  const std::string badData = RarWriter::FileHeader(EntryWithBadDataChecksum("a", "abc"));
  EXPECT_NE(Get32(good, 16), Get32(badData, 16));
  EXPECT_EQ(good.substr(20), badData.substr(20));
  const std::string badHeader = RarWriter::FileHeader(EntryWithBadHeaderChecksum("a", "abc"));
  EXPECT_EQ(good.substr(2), badHeader.substr(2));
  EXPECT_NE(Get16(good, 0), Get16(badHeader, 0));
  EXPECT_EQ(0x8004u, Get16(RarWriter::FileHeader(EncryptedEntry("a", "abc")), 3));

  const std::string claiming = RarWriter::FileHeader(EntryClaimingSize("huge.bin", 0x140000123ull));
  EXPECT_EQ(0x40000123u, Get32(claiming, 7));
  EXPECT_EQ(1u, Get32(claiming, 32));
  // Added to the end of its own header, the wrapping size comes back to that header.
  const std::string wrapping = RarWriter::FileHeader(EntryWithWrappingSize("loop.bin"));
  ASSERT_TRUE(Get16(wrapping, 3) & 0x100);  // the 64-bit fields
  const std::uint64_t size = std::uint64_t{Get32(wrapping, 32)} << 32 | Get32(wrapping, 7);
  EXPECT_EQ(0u, size + wrapping.size());
}

// The archiver's own encoding of a Japanese name (taken from japanese-names.rar).
TEST(RarWriter, UnicodeNameEncodesAsTheArchiverDoes) {
  const std::u16string name = u"ディレクトリ\\テキストファイル.txt";
  const std::string name8 = Encode(name, 932);
  EXPECT_EQ(Bytes({0x30, 0x55, 0xc7, 0xa3, 0xec, 0xaf, 0x51, 0xc8, 0xea, 0x5c, 0xc6, 0x55, 0xad,
                   0xb9, 0xc8, 0xd5, 0x54, 0xa1, 0xa4, 0xeb, 0x2e, 0x00, 0x74, 0x78, 0x74}),
            EncodeRarUnicodeName(name8, name));
  // ASCII stretches that equal the 8-bit name become runs.
  EXPECT_EQ(Bytes({0x00, 0xC0, 0x03}), EncodeRarUnicodeName("abcde", u"abcde"));
}

TEST(BsdtarProof, WritesArchivesAndTheirExpectedTrees) {
  const std::string dir = ScratchDir("bsdtar");
  WriteProof(dir, "tree",
             {{u"docs", "", true},
              {u"docs\\readme.txt", "read me\r\n"},
              {u"docs\\zero.bin", ""},
              {u"empty", "", true},
              {u"data\\big\\large.bin", PatternBytes(200000)},
              {u"data\\block.bin", PatternBytes(65536)},
              {u"한글\\문서.txt", "unicode name"},
              {u"mixed\\Ωmega-\x00FC\x4E2D.txt", "not all of it in code page 949"}});
  WriteProof(dir, "cp949",
             {{u"한글\\이름.txt", "8-bit name", false, false},
              {u"가나다.bin", PatternBytes(1000), false, false}});

  const RarWriterEntry damaged =
      EntryWithBadHeaderChecksum("damaged.txt", "the header checksum does not match");
  RarWriter writer;
  writer.AddFile("fine.txt", "fine").Add(damaged);
  ASSERT_TRUE(writer.Save(dir + "damaged.rar"));
}

TEST(RarWriter, VolumesSplitEntriesAndCarryTheVolumeFlags) {
  const std::string dir = ScratchDir("rar-writer-volumes");
  RarWriter writer;
  writer.AddFile("a.bin", PatternBytes(250)).AddDirectory("d").AddFile("b.bin", PatternBytes(10));
  const auto paths = writer.SaveVolumes(dir + "set", 100, true);
  ASSERT_EQ((std::vector<std::string>{dir + "set.part1.rar", dir + "set.part2.rar",
                                      dir + "set.part3.rar"}),
            paths);
  const std::string first = ReadFileBytes(paths[0]);
  EXPECT_EQ(0x111u, Get16(first, 7 + 3));  // volume, new naming, first volume
  const std::size_t header = 7 + 13;
  EXPECT_EQ(0x8002u, Get16(first, header + 3));  // goes on in the next volume
  EXPECT_EQ(100u, Get32(first, header + 7));
  EXPECT_EQ(250u, Get32(first, header + 11));
  EXPECT_EQ(RarCrc32(PatternBytes(250).substr(0, 100)), Get32(first, header + 16));
  EXPECT_EQ(Bytes({0x01, 0x40}), first.substr(first.size() - 4, 2));  // end: next volume

  const std::string last = ReadFileBytes(paths[2]);
  EXPECT_EQ(0x11u, Get16(last, 7 + 3));
  EXPECT_EQ(0x8001u, Get16(last, header + 3));  // goes on from the previous volume
  EXPECT_EQ(50u, Get32(last, header + 7));
  EXPECT_EQ(RarCrc32(PatternBytes(250)), Get32(last, header + 16));  // the whole entry's
  EXPECT_EQ(Bytes({0x00, 0x40}), last.substr(last.size() - 4, 2));

  const auto old = writer.SaveVolumes(dir + "old", 1000, false);
  EXPECT_EQ((std::vector<std::string>{dir + "old.rar"}), old);
  EXPECT_EQ(0x101u, Get16(ReadFileBytes(old[0]), 7 + 3));  // volume, first volume
}
