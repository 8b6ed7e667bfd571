// Which engine archive the settings tool refills the engine directory from.
#pragma once

#include <string>

// The names looked for beside the program, in the order they are tested.
extern const char* const kEngineArchiveNames[3];  // "Paradox.RAR", "SQL.RAR", "FULL.RAR"

// The engine archive beside the program: programDirectory (ending in "\" or ":")
// followed by the last of the names above that is a file there, trimmed. Directories
// do not count. Empty when there is none.
std::string SelectEngineArchive(const std::string& programDirectory);
