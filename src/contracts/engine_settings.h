// The database engine's fixed registry configuration, shared by setup and the
// settings tool: 55 string values in 10 keys under HKEY_LOCAL_MACHINE.
#pragma once

#include <string>

// The engine directory (no trailing backslash): where the fixed configuration points,
// what the settings tool refills, and the default of the setup script's [BDE] PATH.
inline constexpr char kEngineDirectory[] = "C:\\Program Files\\Borland\\Common Files\\BDE";

// Keys that the setup program's later adjustment writes into again.
extern const char kEngineLibraryKey[];      // "SOFTWARE\Borland\BLW32"
extern const char kEngineKey[];             // "SOFTWARE\Borland\Database Engine"
extern const char kDbaseDriverInitKey[];    // ...\Settings\DRIVERS\DBASE\INIT
extern const char kParadoxDriverInitKey[];  // ...\Settings\DRIVERS\PARADOX\INIT
extern const char kEngineSystemInitKey[];   // ...\Settings\SYSTEM\INIT

// Writes the whole configuration, key by key, value by value. Most values are
// written quietly; the language drivers and the default driver are strict: the first
// of them that fails raises ERegistryException and nothing after it is written.
void WriteEngineSettings();

// Writes one string value into the open key of the accessor that WriteEngineSettings
// holds while it runs. Every failure is swallowed; outside a run it does nothing.
void WriteSettingQuietly(const std::string& name, const std::string& value);
