// Existence tests on paths, whole files, and the read-only mark.
#pragma once

#include <windows.h>

#include <optional>
#include <string>

// True when a file (not a directory) of that path exists.
bool FileExists(const std::string& path);

// True when a directory of that path exists.
bool DirectoryExists(const std::string& path);

// The whole file; false when it cannot be opened or read.
bool ReadWholeFile(const std::string& path, std::string& bytes);

// Takes the read-only mark off the file at path, or with directory set the directory,
// for a change the mark refuses (path as the wide calls take it: WideFilePath for one
// of any length). The attributes it had, to put back should the change fail all the
// same; nothing when there is no such file or directory, it bears no mark, or the mark
// stays.
std::optional<DWORD> ClearReadOnly(const wchar_t* path, bool directory = false);
