#include "kitcheck/script_keys.h"

#include "setup/install_settings.h"
#include "text/text.h"

#include <windows.h>

#include <set>
#include <utility>

namespace {

bool SetupReads(const std::string& upperName, const char* prefix) {
  for (unsigned n = 1; n <= kMaxScriptEntries; ++n) {
    if (upperName == UpperAscii(TableKeyName(prefix, n))) return true;
  }
  return false;
}

}  // namespace

std::vector<std::string> SectionKeys(const std::string& path, const char* section) {
  // One byte more than the call may fill: every name in it ends in a zero.
  std::vector<char> buffer(32 * 1024 + 1, '\0');
  const DWORD length = GetPrivateProfileStringA(
      section, nullptr, "", buffer.data(), static_cast<DWORD>(buffer.size() - 1), path.c_str());
  // Names up to the length the call reports: a key without a name lists as an
  // empty one, which must not end the walk.
  std::vector<std::string> names;
  for (DWORD at = 0; at < length && at < buffer.size();) {
    const std::string name(&buffer[at]);
    if (!name.empty()) names.push_back(name);
    at += static_cast<DWORD>(name.size()) + 1;
  }
  return names;
}

unsigned FirstUnnamedKeyLine(const std::string& bytes) {
  unsigned line = 1;
  bool atStart = true;  // only blanks so far on this line
  char previous = '\0';
  for (char c : bytes) {
    const char before = std::exchange(previous, c);
    if (c == '\r' || c == '\n') {
      if (c == '\r' || before != '\r') ++line;  // CR LF ends one line
      atStart = true;
    } else if (atStart && c == '=') {
      return line;
    } else if (c != ' ' && c != '\t') {
      atStart = false;
    }
  }
  return 0;
}

std::vector<IgnoredKey> KeysSetupIgnores(const std::vector<std::string>& listed,
                                         const char* prefix) {
  std::vector<IgnoredKey> ignored;
  std::set<std::string> seen;
  for (const std::string& name : listed) {
    const std::string upper = UpperAscii(Trim(name));
    if (upper.empty() || upper[0] == ';') continue;
    if (!SetupReads(upper, prefix)) {
      ignored.push_back({name, false});
    } else if (!seen.insert(upper).second) {
      ignored.push_back({name, true});
    }
  }
  return ignored;
}
