// Existence tests on paths.
#pragma once

#include <string>

// True when a file (not a directory) of that path exists.
bool FileExists(const std::string& path);

// True when a directory of that path exists.
bool DirectoryExists(const std::string& path);
