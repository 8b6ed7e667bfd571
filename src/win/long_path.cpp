#include "win/long_path.h"

#include "text/full_path_rules.h"
#include "text/text.h"
#include "win/code_page_text.h"
#include "win/file_system.h"
#include "win/handles.h"

#include <windows.h>

WideString WideFilePath(const std::string& fullPath) {
  const WideString wide = WideFromAnsi(fullPath);
  if (wide.size() < MAX_PATH) return wide;
  if (wide.compare(0, 2, L"\\\\") == 0) return L"\\\\?\\UNC\\" + wide.substr(2);
  return L"\\\\?\\" + wide;
}

bool FileExistsAtAnyLength(const std::string& path) {
  const std::optional<std::string> full = NormalFullPath(path);
  if (!full) return FileExists(path);
  const DWORD attributes = GetFileAttributesW(WideFilePath(*full).c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

bool IsEmptyDirectory(const std::string& fullPath) {
  const std::string pattern = fullPath + (EndsWith(fullPath, "\\") ? "*" : "\\*");
  WIN32_FIND_DATAW found;
  FindHandle search(FindFirstFileW(WideFilePath(pattern).c_str(), &found));
  if (!search) return false;
  do {
    const WideString name = found.cFileName;
    if (name != L"." && name != L"..") return false;
  } while (FindNextFileW(search.Get(), &found));
  return true;
}
