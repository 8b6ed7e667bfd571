// The payload's parts as the launcher and kitpack read and write them, the CRC-32 the
// checksums use, and where a program file's parts lie.
#include "onefile/crc32.h"
#include "onefile/image_layout.h"
#include "onefile/payload_format.h"
#include "support/test_support.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

namespace {

using Bytes = std::vector<unsigned char>;

// The CRC-32 a byte at a time, as the format defines it.
std::uint32_t PlainCrc(const std::string& bytes) {
  std::uint32_t crc = 0xFFFFFFFFu;
  for (unsigned char c : bytes) {
    crc ^= c;
    for (int bit = 0; bit < 8; ++bit) crc = (crc & 1) ? 0xEDB88320u ^ (crc >> 1) : crc >> 1;
  }
  return ~crc;
}

TEST(Crc32, AgreesWithTheBytewiseDefinitionAtEveryLengthAndAlignment) {
  EXPECT_EQ(0xCBF43926u, Crc32(0, "123456789", 9));  // the standard check value
  EXPECT_EQ(0u, Crc32(0, "", 0));
  const std::string data = PatternBytes(300, 11);
  for (std::size_t start = 0; start < 9; ++start) {
    for (std::size_t length = 0; length + start <= 40; ++length) {
      EXPECT_EQ(PlainCrc(data.substr(start, length)), Crc32(0, data.data() + start, length))
          << start << "+" << length;
    }
  }
  // Continued over pieces as over the whole.
  const std::uint32_t first = Crc32(0, data.data(), 123);
  EXPECT_EQ(PlainCrc(data), Crc32(first, data.data() + 123, data.size() - 123));
}

// Past 64 bytes Crc32 folds 16 bytes at a time where the processor can, and the rest
// by table: each length around those steps, at each alignment, pieces split anywhere.
TEST(Crc32, AgreesWithTheDefinitionOverLongDataAndAgreesWithTheTable) {
  const std::string data = PatternBytes(1 << 20, 5);
  for (std::size_t start = 0; start < 17; start += 3) {
    for (std::size_t length = 40; length <= 400; ++length) {
      const std::string piece = data.substr(start, length);
      const std::uint32_t expected = PlainCrc(piece);
      EXPECT_EQ(expected, Crc32(0, piece.data(), length)) << start << "+" << length;
      EXPECT_EQ(expected, Crc32ByTable(0, piece.data(), length)) << start << "+" << length;
    }
  }
  const std::uint32_t whole = PlainCrc(data);
  EXPECT_EQ(whole, Crc32(0, data.data(), data.size()));
  EXPECT_EQ(whole, Crc32ByTable(0, data.data(), data.size()));
  for (std::size_t split : {1u, 63u, 64u, 100u, 4097u, 999999u}) {
    const std::uint32_t first = Crc32(0, data.data(), split);
    EXPECT_EQ(whole, Crc32(first, data.data() + split, data.size() - split)) << split;
  }
}

Bytes Header(const PayloadHeader& header) {
  Bytes bytes(kPayloadHeaderSize);
  EncodePayloadHeader(header, bytes.data());
  return bytes;
}

TEST(PayloadHeader, ReadsBackWhatWasWrittenAndRefusesWhatDoesNotFit) {
  PayloadHeader written;
  written.FileCount = 2;
  written.IndexLength = static_cast<std::uint32_t>(PayloadEntrySize(9) + PayloadEntrySize(4));
  written.Checksum = 0xDEADBEEF;
  written.PayloadLength = kPayloadHeaderSize + written.IndexLength + 5000000000ull;
  Bytes bytes = Header(written);
  EXPECT_EQ(0, std::memcmp(bytes.data(), "KITFILES\1\0\0\0\2\0\0\0", 16));
  PayloadHeader read;
  ASSERT_TRUE(DecodePayloadHeader(bytes.data(), read));
  EXPECT_EQ(2u, read.FileCount);
  EXPECT_EQ(written.IndexLength, read.IndexLength);
  EXPECT_EQ(0xDEADBEEFu, read.Checksum);
  EXPECT_EQ(written.PayloadLength, read.PayloadLength);

  Bytes wrongMagic = bytes;
  wrongMagic[0] = 'k';
  EXPECT_FALSE(DecodePayloadHeader(wrongMagic.data(), read));
  Bytes laterFormat = bytes;
  laterFormat[8] = 2;
  EXPECT_FALSE(DecodePayloadHeader(laterFormat.data(), read));

  PayloadHeader shortIndex = written;  // two entries cannot take fewer bytes
  shortIndex.IndexLength = static_cast<std::uint32_t>(2 * PayloadEntrySize(1) - 1);
  EXPECT_FALSE(DecodePayloadHeader(Header(shortIndex).data(), read));
  PayloadHeader longIndex = written;  // nor more than their longest names take
  longIndex.IndexLength = static_cast<std::uint32_t>(2 * PayloadEntrySize(255) + 1);
  EXPECT_FALSE(DecodePayloadHeader(Header(longIndex).data(), read));
  PayloadHeader shortPayload = written;  // the index does not fit the length
  shortPayload.PayloadLength = kPayloadHeaderSize + written.IndexLength - 1;
  EXPECT_FALSE(DecodePayloadHeader(Header(shortPayload).data(), read));
  PayloadHeader tooMany = written;
  tooMany.FileCount = kMaxPayloadFiles + 1;
  tooMany.IndexLength = 0xFFFFFFFFu;
  tooMany.PayloadLength = ~0ull;
  EXPECT_FALSE(DecodePayloadHeader(Header(tooMany).data(), read));
}

TEST(PayloadHeader, ChecksumCountsItsOwnFieldAsZeros) {
  PayloadHeader header;
  header.FileCount = 1;
  header.IndexLength = static_cast<std::uint32_t>(PayloadEntrySize(1));
  header.PayloadLength = 100;
  const Bytes without = Header(header);
  header.Checksum = 0x12345678;
  const Bytes with = Header(header);
  EXPECT_EQ(Crc32(0, without.data(), without.size()), HeaderChecksum(with.data()));
  Bytes changed = with;
  changed[24] ^= 1;  // the length is covered
  EXPECT_NE(HeaderChecksum(with.data()), HeaderChecksum(changed.data()));
}

TEST(PayloadEntry, ReadsEntriesBackAndStopsAtTheIndexEnd) {
  const std::string korean = "설치.exe";  // code page 949 bytes
  Bytes index(PayloadEntrySize(korean.size()) + PayloadEntrySize(1));
  PayloadEntry first{reinterpret_cast<const unsigned char*>(korean.data()), korean.size(),
                     0x100000000ull + 7, 0xCAFEF00D};
  EncodePayloadEntry(first, index.data());
  PayloadEntry second{reinterpret_cast<const unsigned char*>("X"), 1, 0, 0};
  EncodePayloadEntry(second, index.data() + PayloadEntrySize(korean.size()));

  std::size_t at = 0;
  PayloadEntry read;
  ASSERT_TRUE(DecodePayloadEntry(index.data(), index.size(), at, read));
  EXPECT_EQ(korean, std::string(reinterpret_cast<const char*>(read.Name), read.NameLength));
  EXPECT_EQ(first.Size, read.Size);
  EXPECT_EQ(0xCAFEF00Du, read.Crc);
  ASSERT_TRUE(DecodePayloadEntry(index.data(), index.size(), at, read));
  EXPECT_EQ("X", std::string(reinterpret_cast<const char*>(read.Name), read.NameLength));
  EXPECT_EQ(index.size(), at);
  EXPECT_FALSE(DecodePayloadEntry(index.data(), index.size(), at, read));  // nothing left

  std::size_t from = 0;  // an entry cut anywhere is refused
  for (std::size_t cut = 0; cut < PayloadEntrySize(korean.size()); ++cut) {
    EXPECT_FALSE(DecodePayloadEntry(index.data(), cut, from = 0, read)) << cut;
  }
  Bytes empty = {0, 0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12};  // a name of no bytes
  EXPECT_FALSE(DecodePayloadEntry(empty.data(), empty.size(), from = 0, read));
  Bytes long_(PayloadEntrySize(256));
  long_[0] = 0;
  long_[1] = 1;  // 256 bytes
  EXPECT_FALSE(DecodePayloadEntry(long_.data(), long_.size(), from = 0, read));
}

bool Plain(const std::wstring& name) { return IsPlainFileName(name.data(), name.size()); }

TEST(PayloadNames, OnlyPlainNamesOfTheFolderItselfPass) {
  for (const wchar_t* name : {L"setup.exe", L"SETUP.INI", L"\xBCC4\xBE5B.RAR", L"a b", L"..a",
                              L"CONSOLE.TXT", L"COM10", L"LPT", L"nul_", L".hidden"}) {
    EXPECT_TRUE(Plain(name)) << std::wstring(name).size();
  }
  for (const wchar_t* name :
       {L"",         L".",        L"..",        L"a\\b",    L"a/b",   L"..\\x",    L"C:x",
        L"x:stream", L"a*",       L"a?",        L"a\"",     L"a<",    L"a>",       L"a|",
        L"name.",    L"name ",    L"CON",       L"con.txt", L"Nul",   L"aux .dat", L"PRN",
        L"COM1",     L"lpt9.log", L"COM\x00B9", L"CONIN$",  L"clock$"}) {
    EXPECT_FALSE(Plain(name)) << std::wstring(name).size();
  }
  EXPECT_FALSE(Plain(std::wstring(L"a\0b", 3)));
  EXPECT_FALSE(Plain(std::wstring(L"a\tb")));
  EXPECT_TRUE(Plain(std::wstring(255, L'x')));
  EXPECT_FALSE(Plain(std::wstring(256, L'x')));
}

// A made-up PE file's headers: sections given as (file offset, size), optional
// header PE32 or PE32+.
Bytes Image(const std::vector<std::pair<std::uint32_t, std::uint32_t>>& sections, bool pe64,
            std::uint32_t certificates = 0, std::uint32_t certificatesSize = 0) {
  Bytes image(1024);
  auto put32 = [&](std::size_t at, std::uint32_t value) {
    for (int i = 0; i < 4; ++i) image[at + i] = static_cast<unsigned char>(value >> (8 * i));
  };
  image[0] = 'M';
  image[1] = 'Z';
  put32(60, 0x80);
  put32(0x80, 0x00004550);
  const std::size_t coff = 0x84, optional = coff + 20;
  const std::uint32_t optionalSize = pe64 ? 240 : 224;
  image[coff + 2] = static_cast<unsigned char>(sections.size());
  put32(coff + 8, 0x7777);  // symbols
  image[coff + 16] = static_cast<unsigned char>(optionalSize);
  image[optional] = 0x0B;
  image[optional + 1] = pe64 ? 2 : 1;
  put32(optional + 60, 0x400);              // SizeOfHeaders
  put32(optional + (pe64 ? 108 : 92), 16);  // directories
  const std::size_t security = optional + (pe64 ? 112 : 96) + 8 * 4;
  put32(security, certificates);
  put32(security + 4, certificatesSize);
  std::size_t at = optional + optionalSize;
  for (const auto& section : sections) {
    put32(at + 16, section.second);
    put32(at + 20, section.first);
    at += 40;
  }
  return image;
}

TEST(ImageLayout, FindsTheEndOfTheSectionsAndTheSignature) {
  ImageLayout layout;
  for (bool pe64 : {false, true}) {
    // Out of order, one without data (.bss): the furthest end counts.
    const Bytes image =
        Image({{0x400, 0x200}, {0x1000, 0x600}, {0, 0}, {0x600, 0x200}}, pe64, 0x1800, 0x520);
    ASSERT_TRUE(ReadImageLayout(image.data(), image.size(), layout)) << pe64;
    EXPECT_EQ(0x1600u, layout.SectionsEnd);
    EXPECT_EQ(0x1800u, layout.CertificatesOffset);
    EXPECT_EQ(0x520u, layout.CertificatesSize);
    EXPECT_EQ(0x7777u, layout.SymbolTableOffset);
    EXPECT_EQ(0x84u + 8, layout.SymbolFieldsAt);
    EXPECT_EQ(0x84u + 20 + 64, layout.ChecksumAt);
    EXPECT_EQ(0x84u + 20 + (pe64 ? 112 : 96) + 32, layout.CertificatesEntryAt);
  }
  const Bytes unsigned_ = Image({{0x400, 0x200}}, false);
  ASSERT_TRUE(ReadImageLayout(unsigned_.data(), unsigned_.size(), layout));
  EXPECT_EQ(0u, layout.CertificatesSize);
  const Bytes none = Image({}, false);  // the headers alone
  ASSERT_TRUE(ReadImageLayout(none.data(), none.size(), layout));
  EXPECT_EQ(0x400u, layout.SectionsEnd);
}

TEST(ImageLayout, RefusesWhatIsNoProgramOrDoesNotFit) {
  ImageLayout layout;
  const Bytes image = Image({{0x400, 0x200}, {0x600, 0x200}}, false);
  for (std::size_t cut : {0u, 63u, 0x80u + 23u, 0x84u + 20u + 100u, 0x84u + 20u + 224u + 79u}) {
    EXPECT_FALSE(ReadImageLayout(image.data(), cut, layout)) << cut;
  }
  Bytes notMz = image;
  notMz[0] = 'X';
  EXPECT_FALSE(ReadImageLayout(notMz.data(), notMz.size(), layout));
  Bytes farAway = image;
  farAway[60] = 0xF0;
  farAway[61] = 0xFF;  // the PE header beyond the bytes
  EXPECT_FALSE(ReadImageLayout(farAway.data(), farAway.size(), layout));
  Bytes romImage = image;
  romImage[0x84 + 20] = 0x07;  // neither PE32 nor PE32+
  romImage[0x84 + 21] = 0x01;
  EXPECT_FALSE(ReadImageLayout(romImage.data(), romImage.size(), layout));
  const Bytes wrapping = Image({{0xFFFFFF00u, 0x200}}, false);
  EXPECT_FALSE(ReadImageLayout(wrapping.data(), wrapping.size(), layout));
}

TEST(ImageLayout, TheBuiltLauncherEndsWhereItsLastSectionDoes) {
  const std::string launcher = ReadFileBytes(KitOutputPath("launcher.exe"));
  ASSERT_GT(launcher.size(), 4096u);
  ImageLayout layout;
  ASSERT_TRUE(ReadImageLayout(reinterpret_cast<const unsigned char*>(launcher.data()),
                              launcher.size(), layout));
  // At most the names of its long section names follow the sections.
  EXPECT_LE(layout.SectionsEnd, launcher.size());
  EXPECT_GE(layout.SectionsEnd + 64, launcher.size());
  EXPECT_EQ(0u, layout.CertificatesSize);
}

}  // namespace
