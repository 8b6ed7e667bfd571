// kitcheck's command line: kitcheck [MEDIUM_DIR] [--log FILE]
#pragma once

#include <string>
#include <vector>

struct CheckArguments {
  std::string MediumDir;  // empty: the program's own directory
  std::string LogFile;    // empty: no log asked for
};

extern const char kUsage[];  // CP949, ends in CR LF

// False, with error set, for anything but at most one directory and one --log FILE.
bool ParseArguments(const std::vector<std::string>& arguments, CheckArguments& parsed,
                    std::string& error);
