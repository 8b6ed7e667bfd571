#include "uninstaller/uninstall_key_guard.h"

#include "contracts/install_log.h"
#include "text/text.h"

#include <cstring>

bool IsRemovableUninstallKey(const std::string& keyPath) {
  const std::string::size_type prefixLength = std::strlen(kUninstallKeyPrefix);
  if (!StartsWith(UpperAscii(keyPath), UpperAscii(kUninstallKeyPrefix))) return false;
  // CP949 trail bytes are never "\", so a byte test finds the product's name.
  return keyPath.find_first_not_of('\\', prefixLength) != std::string::npos;
}
