// What SETUP.INI itself tells, beyond the values setup reads from it: its encoding
// and the keys of its tables that setup passes over. Works on the file's bytes and
// its path through the code page conversions and GetPrivateProfileStringA only.
#pragma once

#include "kitcheck/script_encoding.h"
#include "kitcheck/script_keys.h"

#include <string>
#include <vector>

struct ScriptFile {
  EncodingVerdict Text;                     // Encoding Missing when there is no file
  std::vector<IgnoredKey> IgnoredFileKeys;  // of [FILES]
  std::vector<IgnoredKey> IgnoredIconKeys;  // of [ICONS]
  unsigned UnnamedKeyLine = 0;              // FirstUnnamedKeyLine
};

// The script whose bytes are read from path.
ScriptFile AnalyseScript(const std::string& bytes, const std::string& path);
