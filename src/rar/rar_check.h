// Dry runs over an archive: every entry is read and its data checked against its
// checksum through the library's test operation; nothing is written.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

struct InspectedEntry {
  std::string Name;  // as stored, up to its first zero byte
  std::uint32_t Flags = 0;
  std::uint32_t UnpackedSize = 0;
  int TestCode = 0;  // the library's code for the test of the entry
};

struct ArchiveInspection {
  int OpenCode = 0;  // 0: opened
  std::vector<InspectedEntry> Entries;
  int EndCode = 0;  // of the header read that ended the listing; 10 at a normal end

  // Opened, every entry passed its test and the archive was read to its end.
  bool Intact() const;
};

// Opens the archive, tests every entry in archive order and records what the
// library answered. Encrypted entries fail (no password is given).
ArchiveInspection InspectArchive(const std::string& archivePath);

// InspectArchive(archivePath).Intact().
bool ArchiveIsIntact(const std::string& archivePath);
