// kitpack --one-file MEDIUM_DIR... OUT.EXE: a checked medium as one program, the
// launcher (launcher.exe beside kitpack) followed by a payload of the medium's files
// (onefile/payload_format.h).
#pragma once

#include "kitpack/wide_string.h"

#include <cstdint>
#include <string>
#include <vector>

struct OneFileReport {
  std::uint64_t Files = 0;
  std::uint64_t Bytes = 0;          // of the files' data
  std::vector<WideString> LeftOut;  // subfolders of a MEDIUM_DIR, which are not taken
};

// toolsDir holds kitcheck.exe and launcher.exe (it ends in a separator).
//
// Takes the files directly in each MEDIUM_DIR (a name found in two of them is an
// error), has kitcheck.exe check them as the one folder the launcher will make of them
// and refuses a medium it finds errors in, then writes OUT.EXE under a name of its own
// beside it: the launcher up to its last section with the product's version resource
// (version_resource.h), then the payload. OUT.EXE takes that file's place only once
// complete. Throws PackError naming what failed (kitcheck's report when it refused),
// or PackInterrupted; nothing new is left behind then.
OneFileReport MakeOneFile(const WideString& out, const std::vector<WideString>& mediumDirs,
                          const WideString& toolsDir);
