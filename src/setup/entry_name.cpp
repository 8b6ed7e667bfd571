#include "setup/entry_name.h"

#include <windows.h>

#include <vector>

namespace {

bool IsAsciiLetter(char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); }

void DropThroughLastParentReference(std::string& name) {
  const auto pos = name.rfind("..\\");
  if (pos != std::string::npos) name.erase(0, pos + 3);
}

void DropTrailingParentReference(std::string& name) {
  if (name.size() >= 2 && name.compare(name.size() - 2, 2, "..") == 0) {
    name.erase(name.size() - 2);
  }
}

void DropDrive(std::string& name) {
  if (name.size() >= 2 && name[1] == ':' && IsAsciiLetter(name[0])) name.erase(0, 2);
}

// "\\server\share\rest" keeps only "rest".
void DropUncPrefix(std::string& name) {
  if (name.compare(0, 2, "\\\\") != 0) return;
  const auto serverEnd = name.find('\\', 2);
  const auto shareEnd =
      serverEnd == std::string::npos ? std::string::npos : name.find('\\', serverEnd + 1);
  name.erase(0, shareEnd == std::string::npos ? name.size() : shareEnd + 1);
}

void DropLeadingSeparatorsAndDots(std::string& name) {
  const auto first = name.find_first_not_of("\\.");
  name.erase(0, first == std::string::npos ? name.size() : first);
}

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

std::string SafeEntryName(std::string name) {
  for (char& c : name) {
    if (c == '/') c = '\\';
  }
  DropThroughLastParentReference(name);
  DropTrailingParentReference(name);
  DropDrive(name);
  DropUncPrefix(name);
  DropLeadingSeparatorsAndDots(name);
  return name;
}

std::string ExtractedEntryPath(const std::string& targetDir, const std::string& storedName) {
  const std::string name = SafeEntryName(storedName);
  if (!targetDir.empty()) return targetDir + "\\" + name;
  // No destination path: the library writes into the current directory.
  std::string dir = CurrentDirectory();
  if (!dir.empty() && dir.back() != '\\') dir += '\\';
  return dir + name;
}
