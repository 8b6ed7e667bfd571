#include "setup/path_macros.h"

#include "setup/install_settings.h"
#include "text/text.h"
#include "win/directories.h"

std::string ReplaceMacro(const std::string& text, const std::string& token,
                         const std::string& value) {
  if (token.empty()) return text;
  std::string result = text;
  std::string upper = UpperAscii(result);
  std::string::size_type from = 0;
  for (;;) {
    const auto pos = upper.find(token, from);
    if (pos == std::string::npos) return result;
    result.replace(pos, token.size(), value);
    upper = UpperAscii(result);
    // Search on after the inserted value: a value holding its own token
    // would otherwise be found again forever.
    from = pos + value.size();
  }
}

std::string ExpandPath(const std::string& path) {
  const std::string systemDir = SystemDirectory();
  const std::string windowsDir = WindowsDirectory();
  std::string result = ReplaceMacro(path, "<WINDIR>", windowsDir);
  result = ReplaceMacro(result, "<WINSYSDIR>", systemDir);
  result = ReplaceMacro(result, "<BDEDIR>", InstallSettings.DbEngineDir);
  return ReplaceMacro(result, "<INSTALLDIR>", InstallSettings.InstallDir);
}
