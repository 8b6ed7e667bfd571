#include "settings_tool/engine_archive.h"

#include "text/text.h"
#include "win/file_system.h"

const char* const kEngineArchiveNames[3] = {"Paradox.RAR", "SQL.RAR", "FULL.RAR"};

std::string SelectEngineArchive(const std::string& programDirectory) {
  // Without the program's directory the names would be looked for in the current one.
  if (programDirectory.empty()) return std::string();
  std::string selected;
  for (const char* name : kEngineArchiveNames) {
    const std::string candidate = Trim(programDirectory + name);
    if (FileExists(candidate)) selected = candidate;  // the last one found wins
  }
  return selected;
}
