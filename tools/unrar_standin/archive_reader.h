// Reads a RAR 4.x archive block by block: the main header on opening, then one
// file header after the other. Blocks of other kinds are passed over by their
// sizes. Every header's checksum is checked.
#pragma once

#include "shared/handles.h"

#include <cstdint>
#include <string>

struct ArchiveEntry {
  std::uint32_t flags = 0;
  std::uint64_t packSize = 0;
  std::uint64_t unpSize = 0;
  std::uint32_t hostOs = 0;
  std::uint32_t crc = 0;
  std::uint32_t dosTime = 0;
  std::uint32_t unpVer = 0;
  std::uint32_t method = 0;
  std::uint32_t attr = 0;
  std::string name;       // the 8-bit name as stored
  std::wstring wideName;  // the Unicode form when the header carries one
  std::uint64_t dataOffset = 0;

  bool IsDirectory() const;
};

class ArchiveReader {
 public:
  // Opens the archive and reads its main header: 0, or 15 (cannot open),
  // 13 (not a RAR 4.x archive, damaged main header), 22 (headers encrypted).
  int Open(const std::wstring& path);

  // The next file header: 0, 10 at the end of the archive, 13 for a damaged header.
  int Next(ArchiveEntry& entry);

  // After Next answered 10: the set goes on in the next volume (the end block
  // says so, or the file ended inside an entry that goes on).
  bool ContinuesInNextVolume() const { return continues_; }

  // Reads up to size bytes of entry data at offset; false on a read failure.
  bool ReadAt(std::uint64_t offset, void* buffer, std::uint32_t size, std::uint32_t& got);

  std::uint32_t MainFlags() const { return mainFlags_; }
  bool IsVolume() const;

 private:
  bool ReadHeader(std::uint64_t offset, std::string& header, int& code);
  int ReadMainHeader();

  FileHandle file_;
  std::uint64_t nextBlock_ = 0;
  std::uint32_t mainFlags_ = 0;
  bool continues_ = false;
  bool lastSplitAfter_ = false;  // the latest file header goes on in the next volume
};
