// Existence tests on paths.
#pragma once

#include <string>

// True when a file (not a directory) of that path exists.
bool FileExists(const std::string& path);

// True when a directory of that path exists.
bool DirectoryExists(const std::string& path);

// The whole file; false when it cannot be opened or read.
bool ReadWholeFile(const std::string& path, std::string& bytes);

// True when the directory exists and holds neither files nor subdirectories.
bool IsEmptyDirectory(const std::string& path);
