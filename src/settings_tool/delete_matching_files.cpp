#include "settings_tool/delete_matching_files.h"

#include "text/text.h"
#include "win/handles.h"

#include <windows.h>

void DeleteMatchingFiles(const std::string& wildcardPath) {
  const std::string directory = DirectoryPart(wildcardPath);
  WIN32_FIND_DATAA entry;
  FindHandle search(FindFirstFileA(wildcardPath.c_str(), &entry));
  if (!search) return;  // a missing directory has nothing to delete
  do {
    // Subdirectories, "." and ".." included, are neither deleted nor entered.
    if (entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) continue;
    DeleteFileA((directory + entry.cFileName).c_str());  // a file that stays is no error
  } while (FindNextFileA(search.Get(), &entry));
}
