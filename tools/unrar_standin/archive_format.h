// Byte layout of RAR 4.x archives: signatures, block types and flags.
#pragma once

#include <cstdint>
#include <string>

namespace rar4 {

constexpr char kSignature[] = "Rar!\x1A\x07\x00";  // 7 bytes
constexpr std::size_t kSignatureSize = 7;
constexpr char kSignature5[] = "Rar!\x1A\x07\x01\x00";  // a RAR 5 archive (8 bytes)
constexpr std::size_t kSignature5Size = 8;

constexpr std::size_t kBaseHeaderSize = 7;   // HEAD_CRC, HEAD_TYPE, HEAD_FLAGS, HEAD_SIZE
constexpr std::size_t kFileHeaderSize = 32;  // the fixed part of a file header

constexpr unsigned kMainBlock = 0x73;
constexpr unsigned kFileBlock = 0x74;
constexpr unsigned kEndBlock = 0x7B;

constexpr unsigned kMainVolume = 0x01;
constexpr unsigned kMainNewNaming = 0x10;
constexpr unsigned kMainHeadersEncrypted = 0x80;

constexpr unsigned kEndNextVolume = 0x01;

constexpr unsigned kHasAddSize = 0x8000;
constexpr unsigned kFileLargeSizes = 0x100;
constexpr unsigned kFileUnicodeName = 0x200;

constexpr unsigned kMethodStore = 0x30;

inline std::uint32_t Read16(const std::string& bytes, std::size_t at) {
  return static_cast<unsigned char>(bytes[at]) | static_cast<unsigned char>(bytes[at + 1]) << 8;
}

inline std::uint32_t Read32(const std::string& bytes, std::size_t at) {
  return Read16(bytes, at) | Read16(bytes, at + 2) << 16;
}

}  // namespace rar4
