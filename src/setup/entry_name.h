// Where the install log says an extracted entry went: where the archive library
// wrote it, not where its stored name points.
#pragma once

#include <string>

// The full path of an extracted entry: targetDir + "\" + the stored name made safe
// as the library makes it (shared/entry_name_rules.h). With an empty targetDir the
// library extracts into the current directory, so that is named.
std::string ExtractedEntryPath(const std::string& targetDir, const std::string& storedName);
