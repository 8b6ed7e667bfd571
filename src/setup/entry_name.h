// Where the archive library puts an entry: before joining a stored name to the
// destination directory it makes the name safe, so no entry lands outside it.
// The install log must name the file the library wrote, not the stored name.
#pragma once

#include <string>

// The stored name (8-bit, code page 949) as the library joins it to the destination:
// "/" turned into "\", then everything up to and including the last "..\", a trailing
// "..", a leading drive ("X:"), a UNC prefix ("\\server\share\") and any leading run
// of "\" and "." dropped. Working on bytes is sound here: the second byte of a
// two-byte character in code page 949 is never "\", "/", "." or ":".
std::string SafeEntryName(std::string storedName);

// The full path of an extracted entry: targetDir + "\" + the safe name. With an empty
// targetDir the library extracts into the current directory, so that is named.
std::string ExtractedEntryPath(const std::string& targetDir, const std::string& storedName);
