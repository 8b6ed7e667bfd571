// The payload of a one-file medium: the medium's files, placed after the launcher's
// last section. Numbers are little-endian.
//
//   header  kPayloadHeaderSize bytes
//             0  "KITFILES"
//             8  format (u32): kPayloadFormat
//            12  file count (u32)
//            16  index length in bytes (u32)
//            20  checksum (u32): CRC-32 of the whole payload, these four bytes as zeros
//            24  payload length (u64): header, index and data
//   index   per file: name length (u16), the name (code page 949), size (u64),
//           CRC-32 of its data (u32)
//   data    the files' bytes in the index's order, back to back
//
// The payload records its own length and checksum, not the file's: signing the
// program changes its headers and appends a table after the payload.
#pragma once

#include <cstddef>
#include <cstdint>

constexpr std::size_t kPayloadHeaderSize = 32;
constexpr std::uint32_t kPayloadFormat = 1;
constexpr std::size_t kMaxPayloadNameBytes = 255;
constexpr std::uint32_t kMaxPayloadFiles = 65535;

struct PayloadHeader {
  std::uint32_t FileCount = 0;
  std::uint32_t IndexLength = 0;
  std::uint32_t Checksum = 0;
  std::uint64_t PayloadLength = 0;
};

// Writes kPayloadHeaderSize bytes.
void EncodePayloadHeader(const PayloadHeader& header, unsigned char* out);

// False unless the bytes start a payload of this format whose count and index fit
// its length.
bool DecodePayloadHeader(const unsigned char* bytes, PayloadHeader& header);

// The checksum's CRC over the header, its own field taken as zeros; the caller
// continues it over the rest of the payload.
std::uint32_t HeaderChecksum(const unsigned char* header);

struct PayloadEntry {
  const unsigned char* Name = nullptr;  // code page 949, not terminated
  std::size_t NameLength = 0;
  std::uint64_t Size = 0;
  std::uint32_t Crc = 0;
};

constexpr std::size_t PayloadEntrySize(std::size_t nameLength) { return 2 + nameLength + 12; }

// Writes PayloadEntrySize(entry.NameLength) bytes.
void EncodePayloadEntry(const PayloadEntry& entry, unsigned char* out);

// Reads the entry at index + offset and moves offset past it. False when it runs past
// length or its name is empty or longer than kMaxPayloadNameBytes.
bool DecodePayloadEntry(const unsigned char* index, std::size_t length, std::size_t& offset,
                        PayloadEntry& entry);

// A name the launcher may create directly in its folder, as Windows reads it: no
// separator, drive, stream, wildcard or control character, no trailing dot or blank
// (Windows drops them), no device name ("NUL", "com1.txt").
bool IsPlainFileName(const wchar_t* name, std::size_t length);
