// An entry's name as stored, and where the extracted entry lands: where the archive
// library writes it, not where its stored name points. The install log, the progress
// window and the fail-if-exists test of the archive component all name it so.
#pragma once

#include "rar/unrar.h"

#include <string>

// The stored name of the header's entry, up to its first zero byte (the record's
// whole field when it holds none).
std::string StoredName(const RARHeaderData& header);

// The full path of an extracted entry: targetDir + "\" + the stored name made safe
// as the library makes it (rar/entry_name_rules.h). With an empty targetDir the
// library extracts into the current directory, so that is named.
std::string ExtractedEntryPath(const std::string& targetDir, const std::string& storedName);
