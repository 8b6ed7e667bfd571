#include "win/file_system.h"

#include "win/handles.h"

#include <windows.h>

bool FileExists(const std::string& path) {
  const DWORD attributes = GetFileAttributesA(path.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

bool DirectoryExists(const std::string& path) {
  const DWORD attributes = GetFileAttributesA(path.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

bool ReadWholeFile(const std::string& path, std::string& bytes) {
  bytes.clear();
  // Others may still hold it open for writing (a console's helper process does).
  FileHandle file(CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                              nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file) return false;
  char chunk[16 * 1024];
  DWORD got = 0;
  for (;;) {
    if (!ReadFile(file.Get(), chunk, sizeof chunk, &got, nullptr)) return false;
    if (got == 0) return true;
    bytes.append(chunk, got);
  }
}

std::optional<DWORD> ClearReadOnly(const wchar_t* path, bool directory) {
  const DWORD attributes = GetFileAttributesW(path);
  if (attributes == INVALID_FILE_ATTRIBUTES || !(attributes & FILE_ATTRIBUTE_READONLY)) {
    return std::nullopt;
  }
  const bool isDirectory = (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
  if (isDirectory != directory ||
      !SetFileAttributesW(path, attributes & ~FILE_ATTRIBUTE_READONLY)) {
    return std::nullopt;
  }
  return attributes;
}
