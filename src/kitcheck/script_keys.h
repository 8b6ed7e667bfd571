// The keys of SETUP.INI's two tables that setup passes over. setup asks for each
// of its keys by name; the profile functions list what a section holds.
#pragma once

#include <string>
#include <vector>

// The section's key names as GetPrivateProfileStringA lists them (a null key name).
std::vector<std::string> SectionKeys(const std::string& path, const char* section);

// The first line (from 1) that holds a key without a name ("=value"): the profile
// functions list it as an empty name, and when it comes first in its section they
// list none of the section's keys. 0 when there is none. Lines end at CR or LF.
unsigned FirstUnnamedKeyLine(const std::string& bytes);

struct IgnoredKey {
  std::string Name;       // as listed
  bool Repeated = false;  // a key setup reads, but an equal one comes first and wins
};

// The listed keys of a table that setup does not read: every name but
// TableKeyName(prefix, 1 .. kMaxScriptEntries) in any letter case ("FILE01",
// "FILE11", "ICON0"), and any repeat of one of those. Comment lines are no keys.
std::vector<IgnoredKey> KeysSetupIgnores(const std::vector<std::string>& listed,
                                         const char* prefix);
