// A dry run over an archive: every entry is read and its data checked against its
// checksum, nothing is written.
#pragma once

#include <string>

// True when the archive opens, every entry passes the library's test and the archive
// is read to its end. Encrypted entries fail (no password is given).
bool ArchiveIsIntact(const std::string& archivePath);
