// Emptying a directory of its files.
#pragma once

#include <string>

// Deletes every file that the wildcard (for example "C:\DIR\*.*") matches in its
// directory, whatever its attributes allow. Subdirectories are neither deleted nor
// entered; a file that cannot be deleted (read-only, in use) stays without notice.
void DeleteMatchingFiles(const std::string& wildcardPath);
