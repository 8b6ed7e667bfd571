// Writes (or tests) one stored entry: the data goes out in blocks of 64 KiB, each
// reported to the process-data callback, and its checksum is checked at the end.
#pragma once

#include "rar/unrar.h"
#include "unrar_standin/archive_reader.h"

#include <cstdint>
#include <string>
#include <vector>

// Supplies an entry's data, part after part: an entry may go on in later volumes.
class EntryData {
 public:
  virtual ~EntryData() = default;
  // Up to size bytes; got is 0 at the end of the data. Returns 0 or an error code.
  virtual int Read(unsigned char* buffer, std::uint32_t size, std::uint32_t& got) = 0;
  // The checksum of the whole data, known once all of it has been read.
  virtual std::uint32_t ExpectedCrc() const = 0;
};

struct ExtractionContext {
  EntryData& Data;
  PROCESSDATAPROC ProcessData;         // may be null
  std::vector<unsigned char>& Buffer;  // one block, reused for every entry
};

// Creates the file (or directory) at target, creating missing directories on the
// way and replacing a file there even when it is read-only. A written file gets
// the entry's time and, from archives of MS-DOS, OS/2 or Windows, its stored
// attributes (read-only, hidden, system, archive). Returns 0, 12 (checksum error or data cut short;
// the file is kept), 14 (not stored), 16 (cannot create), 19 (write error), 21 (cancelled), 22
// (encrypted), or the error of reading on in the next volume. Only a complete file, or one that
// failed its checksum, stays on disk.
int ExtractEntry(ExtractionContext& context, const ArchiveEntry& entry, const std::wstring& target);

// Reads the entry's data and checks it without writing anything.
int TestEntry(ExtractionContext& context, const ArchiveEntry& entry);

// Creates every missing directory of path up to its last separator.
void CreateParentDirectories(const std::wstring& path);
