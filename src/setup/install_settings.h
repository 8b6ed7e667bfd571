// The setup script "SETUP.INI" and the one record setup fills from it.
#pragma once

#include <array>
#include <string>

// The script's name, and setup's program, beside which setup reads it.
inline constexpr char kScriptName[] = "SETUP.INI";
inline constexpr char kSetupProgramName[] = "setup.exe";

struct FileEntry {
  std::string Source;   // file name relative to SourceDir, as a rule a RAR archive
  std::string DestDir;  // destination directory; path macros allowed
  std::string Mode;     // upper-cased as read: "", kFailIfExistsMode, kCopyMode or any other
};

// The modes of a [FILES] entry; an empty one extracts too.
inline constexpr char kFailIfExistsMode[] = "FAILIFEXISTS";  // extracts, keeping existing files
inline constexpr char kCopyMode[] = "COPY";                  // copies the source whole

enum class FileMode { Extract, ExtractKeepingFiles, Copy, Unknown };
FileMode ModeOf(const FileEntry& entry);

// Whether setup extracts the entry: an extracting mode and a ".RAR" source (any
// letter case). Any other entry extracts nothing.
bool ExtractsFromArchive(const FileEntry& entry);

struct IconEntry {
  std::string ShellFolder;  // value name under the user's Shell Folders key
  std::string LinkName;     // without ".LNK"
  std::string Target;       // path macros allowed
  std::string Arguments;    // path macros allowed; empty = none
};

constexpr unsigned kMaxScriptEntries = 10;

// The two tables' sections, and their keys: these prefixes followed by the slot number
// 1 to kMaxScriptEntries, written without leading zeros ("FILE1" ... "FILE10"). Defined
// here, so that a check of the keys needs nothing of the reader but this header.
inline constexpr char kFilesSection[] = "FILES";
inline constexpr char kIconsSection[] = "ICONS";
inline constexpr char kFileKeyPrefix[] = "FILE";  // in [FILES]
inline constexpr char kIconKeyPrefix[] = "ICON";  // in [ICONS]
inline std::string TableKeyName(const char* prefix, unsigned slot) {
  return prefix + std::to_string(slot);
}

struct TInstallSettings {
  std::string SourceDir;  // directory of setup, ending in "\"
  std::string ProductName;
  std::string ProductVersion;
  std::string ProductTitle;  // Trim(ProductName + " " + ProductVersion)
  std::string CompanyName;
  std::string InstallDir;
  std::string ProductFolder;
  std::string TitleText;
  std::string Readme;
  std::string Run;
  std::string UninstallLinkName;
  std::string UninstallEntry;  // "YES" in any case: an entry in the system's program list
  std::string DbEngineArchive;
  std::string DbEngineDir;
  std::string DbEngineConfigFile;
  std::string DbEngineDate;
  std::string ParadoxLangDriver;
  std::string DbaseLangDriver;
  std::string DbEngineOverwrite;
  std::string CrwArchive;
  std::string CrwPath;
  unsigned FileCount = 0;  // highest slot present, not the number of entries
  std::array<FileEntry, kMaxScriptEntries> FileEntries;  // slot n is [n - 1]
  std::array<bool, kMaxScriptEntries> FilePresent{};     // the slot's key was found
  unsigned IconCount = 0;
  std::array<IconEntry, kMaxScriptEntries> IconEntries;
  std::array<bool, kMaxScriptEntries> IconPresent{};
};

// The process-wide settings of setup.
extern TInstallSettings InstallSettings;

// Fills InstallSettings from "SETUP.INI" beside the running program.
void ReadSetupScript();

// The same for a program at programPath; tests use it to place a script anywhere.
void ReadSetupScriptFor(const std::string& programPath);

// One value of "SETUP.INI" in InstallSettings.SourceDir, or def when absent.
std::string ReadIniString(const std::string& section, const std::string& key,
                          const std::string& def);
