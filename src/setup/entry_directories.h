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

// Logs an entry about to be extracted into targetDir, named where the library writes
// it (a stored name reaching outside the target is made safe by the library, and so it
// must be here), with the directories it may make; nothing while NoFileLog is set.
// Every run logs through this one function, so the dry run predicts the real one.
// Returns the path.
std::string LogExtractedEntry(TInstallLog& log, const std::string& targetDir,
                              const std::string& storedName, std::uint32_t flags);
