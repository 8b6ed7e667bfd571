// One archive file read block by block (archive_blocks.h), with each entry's name
// decoded into its 8-bit and Unicode forms.
#pragma once

#include "unrar_standin/archive_blocks.h"
#include "win/handles.h"

#include <cstdint>
#include <memory>
#include <string>

class ArchiveReader {
 public:
  ArchiveReader();
  ~ArchiveReader();
  ArchiveReader(const ArchiveReader&) = delete;
  ArchiveReader& operator=(const ArchiveReader&) = delete;

  // Opens the archive and reads its main header: 0, or 15 (cannot open),
  // 13 (not a RAR 4.x archive, damaged main header), 18, 22 (headers encrypted).
  int Open(const std::wstring& path);

  // The next file header: 0, 10 at the end of the archive, 13 for a damaged header.
  int Next(ArchiveEntry& entry);

  // After Next answered 10: the set goes on in the next volume.
  bool ContinuesInNextVolume() const;

  // Reads up to size bytes of entry data at offset; false on a read failure.
  bool ReadAt(std::uint64_t offset, void* buffer, std::uint32_t size, std::uint32_t& got);

  std::uint32_t MainFlags() const;

 private:
  class File;

  std::unique_ptr<File> file_;
  std::unique_ptr<BlockReader> blocks_;
};
