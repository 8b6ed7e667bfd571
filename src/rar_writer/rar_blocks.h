// The block layout of RAR 4.x archives as the writers put it down, shared by the
// in-memory writer and the streaming one.
#pragma once

#include "rar_writer/rar_writer.h"

#include <cstdint>
#include <string>

namespace rar_blocks {

constexpr std::uint8_t kMainBlock = 0x73;
constexpr std::uint8_t kEndBlock = 0x7B;
constexpr std::uint16_t kHasAddSize = 0x8000;
constexpr std::uint16_t kEndFlags = 0x4000;  // as the archiver writes it
constexpr std::uint16_t kMainVolume = 0x01;
constexpr std::uint16_t kMainNewNaming = 0x10;
constexpr std::uint16_t kMainFirstVolume = 0x100;
constexpr std::uint16_t kEndNextVolume = 0x01;
constexpr std::uint16_t kFileSplitBefore = 0x01;
constexpr std::uint16_t kFileSplitAfter = 0x02;
constexpr std::uint8_t kFileBlock = 0x74;
constexpr std::uint16_t kFileEncrypted = 0x04;
constexpr std::uint16_t kFileDirectory = 0xE0;
constexpr std::uint16_t kFileLargeSizes = 0x100;
constexpr std::uint16_t kFileUnicodeName = 0x200;
constexpr std::uint8_t kUnpackVersion = 20;
constexpr std::uint32_t kAttrDirectory = 0x10;
constexpr std::uint32_t kAttrArchive = 0x20;
constexpr char kSignature[] = "Rar!\x1A\x07\x00";
constexpr std::size_t kSignatureSize = 7;

void Put32(std::string& out, std::uint32_t value);

// What one file header says about the data after it.
struct EntryPart {
  std::uint64_t PackSize;
  std::uint64_t UnpSize;
  std::uint32_t Crc;
  std::uint16_t SplitFlags;
};

// Completes a block header: body is everything after HEAD_SIZE.
std::string BlockHeader(std::uint8_t type, std::uint16_t flags, const std::string& body,
                        bool badCrc = false);

// The header of one part of an entry: all of it, or a piece in one volume.
std::string PartHeader(const RarWriterEntry& entry, const EntryPart& part);

// The header of a whole entry, its checksum taken over entry.data (RarWriter::FileHeader).
std::string EntryHeader(const RarWriterEntry& entry);

}  // namespace rar_blocks
