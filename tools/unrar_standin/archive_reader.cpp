#include "unrar_standin/archive_reader.h"

#include "shared/unrar.h"
#include "unrar_standin/archive_format.h"
#include "unrar_standin/code_pages.h"
#include "unrar_standin/crc32.h"
#include "unrar_standin/unicode_name.h"

#include <cstring>

using rar4::Read16;
using rar4::Read32;

namespace {

constexpr std::uint32_t kDosDirectory = 0x10;
constexpr std::uint32_t kUnixTypeMask = 0xF000;
constexpr std::uint32_t kUnixDirectory = 0x4000;
constexpr std::uint32_t kHostDos = 0;
constexpr std::uint32_t kHostWindows = 2;
constexpr std::uint32_t kHostUnix = 3;

std::uint64_t AddSize(const std::string& header) {
  const bool has = (Read16(header, 3) & rar4::kHasAddSize) && header.size() >= 11;
  return has ? Read32(header, 7) : 0;
}

// The 8-bit and the Unicode form of a stored name.
void SplitName(const std::string& stored, bool unicode, ArchiveEntry& entry) {
  const auto zero = stored.find('\0');
  if (!unicode) {
    entry.name = stored.substr(0, zero);
  } else if (zero == std::string::npos) {  // the whole name is UTF-8
    entry.wideName = ToWide(stored, CP_UTF8);
    entry.name = FromWide(entry.wideName, CP_OEMCP);
  } else {
    entry.name = stored.substr(0, zero);
    entry.wideName = DecodeUnicodeName(entry.name, stored.substr(zero + 1));
  }
}

// Fills entry from a file header; false when the header is too short for its fields.
bool ParseFileHeader(const std::string& header, std::uint64_t offset, ArchiveEntry& entry) {
  if (header.size() < rar4::kFileHeaderSize) return false;
  entry = ArchiveEntry();
  entry.flags = Read16(header, 3);
  entry.packSize = Read32(header, 7);
  entry.unpSize = Read32(header, 11);
  entry.hostOs = static_cast<unsigned char>(header[15]);
  entry.crc = Read32(header, 16);
  entry.dosTime = Read32(header, 20);
  entry.unpVer = static_cast<unsigned char>(header[24]);
  entry.method = static_cast<unsigned char>(header[25]);
  const std::size_t nameSize = Read16(header, 26);
  entry.attr = Read32(header, 28);
  std::size_t pos = rar4::kFileHeaderSize;
  if (entry.flags & rar4::kFileLargeSizes) {
    if (header.size() < pos + 8) return false;
    entry.packSize |= std::uint64_t(Read32(header, pos)) << 32;
    entry.unpSize |= std::uint64_t(Read32(header, pos + 4)) << 32;
    pos += 8;
  }
  if (header.size() < pos + nameSize) return false;  // the name lies inside the header
  SplitName(header.substr(pos, nameSize), (entry.flags & rar4::kFileUnicodeName) != 0, entry);
  entry.dataOffset = offset + header.size();
  return true;
}

}  // namespace

bool ArchiveEntry::IsDirectory() const {
  if ((flags & rar_const::kFlagDirectory) == rar_const::kFlagDirectory) return true;
  if (hostOs == kHostDos || hostOs == kHostWindows) return (attr & kDosDirectory) != 0;
  if (hostOs == kHostUnix) return (attr & kUnixTypeMask) == kUnixDirectory;
  return false;
}

int ArchiveReader::Open(const std::wstring& path) {
  file_.Reset(CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                          FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
  if (!file_) return rar_code::kOpenError;
  char signature[rar4::kSignature5Size] = {};
  std::uint32_t got = 0;
  if (!ReadAt(0, signature, sizeof signature, got)) return rar_code::kReadError;
  if (got < rar4::kSignatureSize ||
      std::memcmp(signature, rar4::kSignature, rar4::kSignatureSize) != 0) {
    return rar_code::kBadArchive;  // a RAR 5 archive differs in its seventh byte
  }
  return ReadMainHeader();
}

bool ArchiveReader::IsVolume() const { return (mainFlags_ & rar4::kMainVolume) != 0; }

int ArchiveReader::ReadMainHeader() {
  std::string header;
  int code = 0;
  if (!ReadHeader(rar4::kSignatureSize, header, code)) return rar_code::kBadArchive;
  if (static_cast<unsigned char>(header[2]) != rar4::kMainBlock) return rar_code::kBadArchive;
  mainFlags_ = Read16(header, 3);
  // Encrypted headers cannot even be listed without the password.
  if (mainFlags_ & rar4::kMainHeadersEncrypted) return rar_code::kMissingPassword;
  continues_ = false;
  lastSplitAfter_ = false;
  nextBlock_ = rar4::kSignatureSize + header.size() + AddSize(header);
  return rar_code::kSuccess;
}

int ArchiveReader::Next(ArchiveEntry& entry) {
  for (;;) {
    std::string header;
    int code = 0;
    if (!ReadHeader(nextBlock_, header, code)) {
      continues_ = code == rar_code::kEndArchive && IsVolume() && lastSplitAfter_;
      return code;
    }
    const unsigned type = static_cast<unsigned char>(header[2]);
    if (type == rar4::kEndBlock) {
      continues_ = IsVolume() && ((Read16(header, 3) & rar4::kEndNextVolume) || lastSplitAfter_);
      return rar_code::kEndArchive;
    }
    const std::uint64_t offset = nextBlock_;
    if (type == rar4::kFileBlock) {
      if (!ParseFileHeader(header, offset, entry)) return rar_code::kBadArchive;
      nextBlock_ = entry.dataOffset + entry.packSize;
      lastSplitAfter_ = (entry.flags & rar_const::kFlagSplitAfter) != 0;
      return rar_code::kSuccess;
    }
    nextBlock_ = offset + header.size() + AddSize(header);  // a block of no interest
  }
}

// One block header at offset, its checksum checked. On false, code is 10 at the
// end of the file and 13 for a damaged or cut header.
bool ArchiveReader::ReadHeader(std::uint64_t offset, std::string& header, int& code) {
  char base[rar4::kBaseHeaderSize];
  std::uint32_t got = 0;
  code = rar_code::kBadArchive;
  if (!ReadAt(offset, base, sizeof base, got)) return false;
  if (got == 0) code = rar_code::kEndArchive;
  if (got < sizeof base) return false;
  header.assign(base, sizeof base);
  const std::uint32_t size = Read16(header, 5);
  if (size < rar4::kBaseHeaderSize) return false;
  header.resize(size);
  const std::uint32_t rest = size - rar4::kBaseHeaderSize;
  if (!ReadAt(offset + sizeof base, &header[sizeof base], rest, got) || got < rest) {
    return false;
  }
  return (Crc32(0, header.data() + 2, size - 2) & 0xFFFF) == Read16(header, 0);
}

bool ArchiveReader::ReadAt(std::uint64_t offset, void* buffer, std::uint32_t size,
                           std::uint32_t& got) {
  got = 0;
  LARGE_INTEGER position;
  position.QuadPart = static_cast<LONGLONG>(offset);
  if (!SetFilePointerEx(file_.Get(), position, nullptr, FILE_BEGIN)) return false;
  DWORD read = 0;
  if (!ReadFile(file_.Get(), buffer, size, &read, nullptr)) return false;
  got = read;
  return true;
}
