// kitcheck's command line: kitcheck [MEDIUM_DIR] [--log FILE] [--dir DIR]
#pragma once

#include <string>
#include <vector>

struct CheckArguments {
  std::string MediumDir;   // empty: the program's own directory
  std::string LogFile;     // empty: no log asked for
  std::string InstallDir;  // --dir: the install directory setup's /DIR names; empty: INSTALLDIR
};

extern const char kUsage[];  // CP949, ends in CR LF

// False, with error set, for anything but at most one directory, one --log FILE and
// one --dir DIR.
bool ParseArguments(const std::vector<std::string>& arguments, CheckArguments& parsed,
                    std::string& error);
