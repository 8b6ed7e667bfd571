// The files of a one-file medium: those directly in each MEDIUM_DIR.
#pragma once

#include "kitpack/wide_string.h"

#include <cstdint>
#include <string>
#include <vector>

struct MediumFile {
  WideString Path;   // where it is read from
  std::string Name;  // its name in the payload, code page 949
  std::uint64_t Size = 0;
};

// The files in the folders' order, each folder's sorted by name, without the file
// at out (an older one-file medium written into a medium folder, whatever path names
// it); their subfolders go to leftOut. Throws PackError for an unreadable folder, a name code page
// 949 cannot write or that the launcher may not create, the same name (in any letter case) in two
// folders, or more files than a payload holds.
std::vector<MediumFile> ListMediumFiles(const std::vector<WideString>& dirs, const WideString& out,
                                        std::vector<WideString>& leftOut);
