#include "rar/entry_name.h"

#include "rar/entry_name_rules.h"
#include "win/directories.h"

#include <cstring>

std::string StoredName(const RARHeaderData& header) {
  return std::string(header.FileName, strnlen(header.FileName, sizeof header.FileName));
}

std::string ExtractedEntryPath(const std::string& targetDir, const std::string& storedName) {
  const std::string name = SafeEntryName(storedName);
  if (!targetDir.empty()) return targetDir + "\\" + name;
  // No destination path: the library writes into the current directory.
  std::string dir = CurrentDirectory();
  if (!dir.empty() && dir.back() != '\\') dir += '\\';
  return dir + name;
}
