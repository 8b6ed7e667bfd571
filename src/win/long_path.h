// File calls on paths of any length: the ANSI calls stop at MAX_PATH UTF-16
// characters, the wide ones take longer paths with the "\\?\" prefix.
#pragma once

#include "win/wide_string.h"

#include <string>

// The UTF-16 form of a full path (NormalFullPath, text/full_path_rules.h) for the
// wide calls: from MAX_PATH characters on with the "\\?\" prefix ("\\?\UNC\" for
// "\\server\share"), which the calls take as it is.
WideString WideFilePath(const std::string& fullPath);

// FileExists at any length: an absolute path through the wide call, anything else
// (a relative path, resolved against the current directory) through the ANSI one.
bool FileExistsAtAnyLength(const std::string& path);

// True when the directory (a full path, or one relative to the current directory)
// exists and holds neither files nor subdirectories.
bool IsEmptyDirectory(const std::string& fullPath);
