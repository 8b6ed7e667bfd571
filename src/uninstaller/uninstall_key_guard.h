// Which "REG:" payloads the uninstaller may remove.
#pragma once

#include <string>

// True only for a key strictly below the Uninstall key: the path starts with
// kUninstallKeyPrefix (ASCII letters in any case, no leading "\") and a name
// follows that is not made of backslashes alone. Anything else (an empty path, the
// Uninstall key itself, "Software", a key elsewhere) would reach beyond one product.
bool IsRemovableUninstallKey(const std::string& keyPath);
