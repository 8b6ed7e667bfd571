#include "uninstaller/uninstall_key_guard.h"

#include "contracts/install_log.h"
#include "text/text.h"

#include <algorithm>
#include <cstring>
#include <vector>

bool IsRemovableUninstallKey(const std::string& keyPath) {
  const std::string::size_type prefixLength = std::strlen(kUninstallKeyPrefix);
  if (!StartsWith(UpperAscii(keyPath), UpperAscii(kUninstallKeyPrefix))) return false;
  // CP949 trail bytes are never "\", so a byte test finds the product's name.
  return keyPath.find_first_not_of('\\', prefixLength) != std::string::npos;
}

bool IsRemovableProductKey(const std::string& keyPath) {
  std::vector<std::string> parts(1);
  for (const char c : keyPath) {  // CP949 trail bytes are never "\"
    if (c == '\\') {
      parts.emplace_back();
    } else {
      parts.back() += c;
    }
  }
  return parts.size() == 4 && UpperAscii(parts[0]) == "SOFTWARE" &&
         std::none_of(parts.begin(), parts.end(), [](const std::string& p) { return p.empty(); });
}

namespace {

std::string WithoutTrailingSeparators(std::string path) {
  while (!path.empty() && path.back() == '\\') path.pop_back();
  return path;
}

}  // namespace

bool NamesInstallDirectory(const std::string& installDirValue, const std::string& ownDirectory) {
  const std::string value = WithoutTrailingSeparators(installDirValue);
  return !value.empty() && UpperAscii(value) == UpperAscii(WithoutTrailingSeparators(ownDirectory));
}
