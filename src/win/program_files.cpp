#include "win/directories.h"

#include <windows.h>
#include <shlobj.h>

// Apart from the other directories: only the programs that expand it take in the shell.
std::string ProgramFilesDirectory() {
  char path[MAX_PATH] = {};
  if (FAILED(SHGetFolderPathA(nullptr, CSIDL_PROGRAM_FILES, nullptr, 0, path)))
    return std::string();
  return path;
}
