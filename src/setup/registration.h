// Records the installation: the uninstaller's "REG:" line in the install log and
// the product key with "InstallDir" and "InstallDate".
#pragma once

class TInstallLog;

// Appends "REG:Software\Microsoft\Windows\CurrentVersion\Uninstall\" + ProductTitle
// to log first, then writes the product key "Software\<company>\<name>\<version>"
// under HKEY_LOCAL_MACHINE from InstallSettings, the date in the short date format.
// A key that cannot be opened or created is passed over silently; a value that
// cannot be written raises ERegistryException.
void RegisterInstallation(TInstallLog& log);
