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

// Packs with the arguments after the program's name (pack_folder.h), or with
// --one-file makes a one-file medium (one_file.h) from the kitcheck.exe and
// launcher.exe in toolsDir (ending in a separator).
KitpackRun RunKitpack(const std::vector<WideString>& arguments,
                      const WideString& toolsDir = WideString());
