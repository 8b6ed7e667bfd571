// Records the installation: the uninstaller's "REG:" line in the install log and
// the product key with "InstallDir" and "InstallDate".
#pragma once

#include <string>

class TInstallLog;

// Appends "REG:Software\Microsoft\Windows\CurrentVersion\Uninstall\" + ProductTitle
// to log first, then writes the product key "Software\<company>\<name>\<version>"
// under HKEY_LOCAL_MACHINE from InstallSettings, the date in the short date format.
// A key that cannot be opened or created is passed over silently; a value that
// cannot be written raises ERegistryException.
void RegisterInstallation(TInstallLog& log);

// The product key below HKEY_LOCAL_MACHINE: "Software\<company>\<name>\<version>".
std::string ProductKeyPath();

// The "REG:" line alone, as RegisterInstallation appends it.
void AddUninstallKeyLine(TInstallLog& log);

// Whether RegisterUninstallEntry writes the entry for a run that copied the
// uninstaller or not.
bool WantsUninstallEntry(bool uninstallerCopied);

// Writes the product's entry in the system's list of installed programs (Apps &
// features) under the very key the "REG:" line names, so the uninstaller removes it:
// DisplayName, UninstallString (the uninstaller in the install directory, quoted),
// DisplayVersion, Publisher, InstallLocation, DisplayIcon (the first shortcut's
// target, when there is one), NoModify and NoRepair. Only when the script's
// UNINSTALLENTRY is "YES" (any case), the uninstaller was copied, and ProductTitle
// makes a key of its own (not empty, no ""). Failed writes are swallowed.
void RegisterUninstallEntry(bool uninstallerCopied);
