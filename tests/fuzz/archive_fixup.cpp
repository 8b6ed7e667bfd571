#include "archive_fixup.h"

#include "unrar_standin/archive_format.h"
#include "unrar_standin/crc32.h"

#include <cstdint>

namespace {

using rar4::Read16;
using rar4::Read32;

constexpr std::size_t kFileCrcOffset = 16;
constexpr std::size_t kMethodOffset = 25;
constexpr std::size_t kHighSizesOffset = 32;
constexpr unsigned kSplitFlags = 0x03;

void Write16(std::string& bytes, std::size_t at, std::uint32_t value) {
  bytes[at] = static_cast<char>(value & 0xFF);
  bytes[at + 1] = static_cast<char>(value >> 8 & 0xFF);
}

void Write32(std::string& bytes, std::size_t at, std::uint32_t value) {
  Write16(bytes, at, value & 0xFFFF);
  Write16(bytes, at + 2, value >> 16);
}

// The size of the data that follows the block header at `at`.
std::uint64_t DataSize(const std::string& bytes, std::size_t at, std::size_t headSize) {
  const unsigned type = static_cast<unsigned char>(bytes[at + 2]);
  const unsigned flags = Read16(bytes, at + 3);
  if (type == rar4::kFileBlock) {
    if (headSize < rar4::kFileHeaderSize) return 0;
    std::uint64_t size = Read32(bytes, at + 7);
    if ((flags & rar4::kFileLargeSizes) && headSize >= kHighSizesOffset + 8) {
      size |= std::uint64_t(Read32(bytes, at + kHighSizesOffset)) << 32;
    }
    return size;
  }
  return (flags & rar4::kHasAddSize) && headSize >= 11 ? Read32(bytes, at + 7) : 0;
}

}  // namespace

void FixArchiveChecksums(std::string& bytes) {
  if (bytes.compare(0, rar4::kSignatureSize, rar4::kSignature, rar4::kSignatureSize) != 0) return;
  std::size_t at = rar4::kSignatureSize;
  while (at + rar4::kBaseHeaderSize <= bytes.size()) {
    const std::size_t headSize = Read16(bytes, at + 5);
    if (headSize < rar4::kBaseHeaderSize || headSize > bytes.size() - at) return;
    const unsigned type = static_cast<unsigned char>(bytes[at + 2]);
    const std::uint64_t data = DataSize(bytes, at, headSize);
    const bool whole = data <= bytes.size() - at - headSize;
    if (type == rar4::kFileBlock && headSize >= rar4::kFileHeaderSize && whole &&
        !(Read16(bytes, at + 3) & kSplitFlags) &&
        static_cast<unsigned char>(bytes[at + kMethodOffset]) == rar4::kMethodStore) {
      Write32(bytes, at + kFileCrcOffset,
              Crc32(0, bytes.data() + at + headSize, static_cast<std::size_t>(data)));
    }
    Write16(bytes, at, Crc32(0, bytes.data() + at + 2, headSize - 2) & 0xFFFF);
    if (type == rar4::kEndBlock || !whole) return;
    at += headSize + static_cast<std::size_t>(data);
  }
}
