// Where an extracted entry lands: where the archive library writes it, not where its
// stored name points. The install log, the progress window and the fail-if-exists
// test of the archive component all name it so.
#pragma once

#include <string>

// The full path of an extracted entry: targetDir + "\" + the stored name made safe
// as the library makes it (rar/entry_name_rules.h). With an empty targetDir the
// library extracts into the current directory, so that is named.
std::string ExtractedEntryPath(const std::string& targetDir, const std::string& storedName);
