// kitpack ARCHIVE.RAR FOLDER: the program's run, apart from its process.
#pragma once

#include "kitpack/wide_string.h"

#include <string>
#include <vector>

struct KitpackRun {
  int exitCode = 0;  // 0 packed, 1 a run that failed, 2 wrong arguments
  std::string out;   // the report (code page 949)
  std::string err;   // what went wrong, or the usage text
};

// Packs with the arguments after the program's name (pack_folder.h).
KitpackRun RunKitpack(const std::vector<WideString>& arguments);
