// kitpack ARCHIVE.RAR FOLDER: the program's run, apart from its process.
#pragma once

#include "kitpack/wide_string.h"

#include <string>
#include <vector>

struct KitpackRun {
  int ExitCode = 0;  // 0 packed, 1 a run that failed, 2 wrong arguments
  std::string Out;   // the report (code page 949)
  std::string Err;   // what went wrong, or the usage text
};

// Packs with the arguments after the program's name (pack_folder.h).
KitpackRun RunKitpack(const std::vector<WideString>& arguments);
