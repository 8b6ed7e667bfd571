#include "shared/file_system.h"

#include "shared/handles.h"

#include <windows.h>

bool FileExists(const std::string& path) {
  const DWORD attributes = GetFileAttributesA(path.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

bool DirectoryExists(const std::string& path) {
  const DWORD attributes = GetFileAttributesA(path.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

bool IsEmptyDirectory(const std::string& path) {
  WIN32_FIND_DATAA found;
  FindHandle search(FindFirstFileA((path + "\\*").c_str(), &found));
  if (!search) return false;
  do {
    const std::string name = found.cFileName;
    if (name != "." && name != "..") return false;
  } while (FindNextFileA(search.Get(), &found));
  return true;
}
