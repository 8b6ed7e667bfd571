#include "unrar_standin/archive_blocks.h"

#include "rar/unrar_codes.h"
#include "unrar_standin/archive_format.h"
#include "unrar_standin/crc32.h"

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

}  // namespace

bool ArchiveEntry::IsDirectory() const {
  if ((Flags & rar_const::kFlagDirectory) == rar_const::kFlagDirectory) return true;
  if (HostOs == kHostDos || HostOs == kHostWindows) return (Attr & kDosDirectory) != 0;
  if (HostOs == kHostUnix) return (Attr & kUnixTypeMask) == kUnixDirectory;
  return false;
}

bool ArchiveEntry::HasUnicodeName() const { return (Flags & rar4::kFileUnicodeName) != 0; }

bool ParseFileHeader(const std::string& header, std::uint64_t offset, ArchiveEntry& entry) {
  if (header.size() < rar4::kFileHeaderSize) return false;
  entry = ArchiveEntry();
  entry.Flags = Read16(header, 3);
  entry.PackSize = Read32(header, 7);
  entry.UnpSize = Read32(header, 11);
  entry.HostOs = static_cast<unsigned char>(header[15]);
  entry.Crc = Read32(header, 16);
  entry.DosTime = Read32(header, 20);
  entry.UnpVer = static_cast<unsigned char>(header[24]);
  entry.Method = static_cast<unsigned char>(header[25]);
  const std::size_t nameSize = Read16(header, 26);
  entry.Attr = Read32(header, 28);
  std::size_t pos = rar4::kFileHeaderSize;
  if (entry.Flags & rar4::kFileLargeSizes) {
    if (header.size() < pos + 8) return false;
    entry.PackSize |= std::uint64_t(Read32(header, pos)) << 32;
    entry.UnpSize |= std::uint64_t(Read32(header, pos + 4)) << 32;
    pos += 8;
  }
  if (header.size() < pos + nameSize) return false;  // the name lies inside the header
  entry.StoredName = header.substr(pos, nameSize);
  entry.DataOffset = offset + header.size();
  return true;
}

bool BlockReader::IsVolume() const { return (mainFlags_ & rar4::kMainVolume) != 0; }

int BlockReader::Open() {
  char signature[rar4::kSignature5Size] = {};
  std::uint32_t got = 0;
  if (!source_.ReadAt(0, signature, sizeof signature, got)) return rar_code::kReadError;
  if (got < rar4::kSignatureSize ||
      std::memcmp(signature, rar4::kSignature, rar4::kSignatureSize) != 0) {
    return rar_code::kBadArchive;  // a RAR 5 archive differs in its seventh byte
  }
  std::string header;
  if (ReadHeader(rar4::kSignatureSize, header) != rar_code::kSuccess ||
      static_cast<unsigned char>(header[2]) != rar4::kMainBlock) {
    return rar_code::kBadArchive;
  }
  mainFlags_ = Read16(header, 3);
  // Encrypted headers cannot even be listed without the password.
  if (mainFlags_ & rar4::kMainHeadersEncrypted) return rar_code::kMissingPassword;
  continues_ = false;
  lastSplitAfter_ = false;
  return MoveTo(rar4::kSignatureSize, header.size(), AddSize(header));
}

int BlockReader::Next(ArchiveEntry& entry) {
  for (;;) {
    std::string header;
    const int code = ReadHeader(nextBlock_, header);
    if (code != rar_code::kSuccess) {
      continues_ = code == rar_code::kEndArchive && IsVolume() && lastSplitAfter_;
      return code;
    }
    const unsigned type = static_cast<unsigned char>(header[2]);
    if (type == rar4::kEndBlock) {
      continues_ = IsVolume() && ((Read16(header, 3) & rar4::kEndNextVolume) || lastSplitAfter_);
      return rar_code::kEndArchive;
    }
    const std::uint64_t offset = nextBlock_;
    if (type != rar4::kFileBlock) {  // a block of no interest
      if (const int moved = MoveTo(offset, header.size(), AddSize(header))) return moved;
      continue;
    }
    if (!ParseFileHeader(header, offset, entry)) return rar_code::kBadArchive;
    if (const int moved = MoveTo(offset, header.size(), entry.PackSize)) return moved;
    lastSplitAfter_ = (entry.Flags & rar_const::kFlagSplitAfter) != 0;
    return rar_code::kSuccess;
  }
}

// The next block follows the header at offset and its data. Both must lie inside
// the archive; the sums are checked before they are made, so none can wrap.
int BlockReader::MoveTo(std::uint64_t offset, std::uint64_t headerSize, std::uint64_t dataSize) {
  const std::uint64_t size = source_.Size();
  if (offset > size || headerSize > size - offset) return rar_code::kBadArchive;
  const std::uint64_t dataStart = offset + headerSize;
  if (dataSize > size - dataStart) return rar_code::kBadArchive;
  nextBlock_ = dataStart + dataSize;  // beyond offset: a header is never empty
  return rar_code::kSuccess;
}

// One block header at offset with its checksum checked: 0, 10 at the end of the
// data, 13 for a damaged or cut header, 18 on a read error.
int BlockReader::ReadHeader(std::uint64_t offset, std::string& header) {
  char base[rar4::kBaseHeaderSize];
  std::uint32_t got = 0;
  if (!source_.ReadAt(offset, base, sizeof base, got)) return rar_code::kReadError;
  if (got == 0) return rar_code::kEndArchive;
  if (got < sizeof base) return rar_code::kBadArchive;
  header.assign(base, sizeof base);
  const std::uint32_t size = Read16(header, 5);
  if (size < rar4::kBaseHeaderSize) return rar_code::kBadArchive;
  header.resize(size);
  const std::uint32_t rest = size - static_cast<std::uint32_t>(rar4::kBaseHeaderSize);
  if (!source_.ReadAt(offset + sizeof base, &header[sizeof base], rest, got)) {
    return rar_code::kReadError;
  }
  if (got < rest) return rar_code::kBadArchive;
  const bool intact = (Crc32(0, header.data() + 2, size - 2) & 0xFFFF) == Read16(header, 0);
  return intact ? rar_code::kSuccess : rar_code::kBadArchive;
}
