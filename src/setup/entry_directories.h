// The directories an archive entry's extraction may make, for a log that names what
// the run made.
#pragma once

#include <cstdint>
#include <string>

class TInstallLog;

// Called before the entry is extracted to path (where the library writes it): notes
// the directory it lands in and, for a directory entry (flags as the library reports
// them), the entry itself.
void NoteEntryDirectories(TInstallLog& log, const std::string& path, std::uint32_t flags);
