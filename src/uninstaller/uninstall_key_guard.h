// Which "REG:" payloads the uninstaller may remove.
#pragma once

#include <string>

// True only for a key strictly below the Uninstall key: the path starts with
// kUninstallKeyPrefix (ASCII letters in any case, no leading "\") and a name
// follows that is not made of backslashes alone. Anything else (an empty path, the
// Uninstall key itself, "Software", a key elsewhere) would reach beyond one product.
bool IsRemovableUninstallKey(const std::string& keyPath);

// True only for a product key as setup logs it on a "KEY:" line: exactly four
// names below HKEY_LOCAL_MACHINE ("Software\<company>\<name>\<version>"), the first
// "Software" (any letter case), none empty.
bool IsRemovableProductKey(const std::string& keyPath);

// Whether the key's "InstallDir" value names the uninstaller's own install directory
// (letter case and a trailing "\" aside): a log cannot make it remove someone else's key.
bool NamesInstallDirectory(const std::string& installDirValue, const std::string& ownDirectory);
