// Writes (or tests) one stored entry: the data goes out in blocks of 64 KiB, each
// reported to the process-data callback, and its checksum is checked at the end.
#pragma once

#include "shared/unrar.h"
#include "unrar_standin/archive_reader.h"

#include <string>
#include <vector>

struct ExtractionContext {
  ArchiveReader& reader;
  PROCESSDATAPROC processData;      // may be null
  std::vector<unsigned char>& buffer;  // one block, reused for every entry
};

// Creates the file (or directory) at target, creating missing directories on the
// way. Returns 0, 12 (checksum error; the file is kept), 14 (not stored),
// 16 (cannot create), 19 (write error), 21 (cancelled), 22 (encrypted).
int ExtractEntry(ExtractionContext& context, const ArchiveEntry& entry,
                 const std::wstring& target);

// Reads the entry's data and checks it without writing anything.
int TestEntry(ExtractionContext& context, const ArchiveEntry& entry);

// Creates every missing directory of path up to its last separator.
void CreateParentDirectories(const std::wstring& path);
