// Adjusts the database engine's fixed configuration to what the setup script asks
// for: the language drivers and the directory the engine was installed into.
// Every write is strict: a failure raises ERegistryException and ends the call.
#pragma once

#include <string>

enum : short { kParadoxDriver = 0, kDbaseDriver = 1 };

// kind 0 (Paradox): "LANGDRIVER" of the Paradox driver and of the system settings;
// kind 1 (dBASE): "LANGDRIVER" of the dBASE driver; any other kind: nothing.
void SetLanguageDriver(short kind, const std::string& driverName);

// Points the library path, the locale libraries (as long as they run without a
// gap, up to the eighth), the configuration file and the DLL path at engineDir,
// which is used as given (no trailing backslash expected, none removed).
void SetEnginePaths(const std::string& engineDir, const std::string& configFileName);
