#include "rar/entry_name.h"

#include "rar/entry_name_rules.h"

#include <windows.h>

#include <cstring>
#include <vector>

namespace {

std::string CurrentDirectory() {
  std::vector<char> buffer(MAX_PATH, '\0');
  DWORD length = GetCurrentDirectoryA(static_cast<DWORD>(buffer.size()), buffer.data());
  if (length >= buffer.size()) {
    buffer.assign(length + 1, '\0');
    length = GetCurrentDirectoryA(static_cast<DWORD>(buffer.size()), buffer.data());
  }
  return length > 0 && length < buffer.size() ? std::string(buffer.data(), length) : std::string();
}

}  // namespace

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
