#include "setup/install_settings.h"

#include "contracts/engine_settings.h"
#include "setup/comma_field.h"
#include "text/text.h"
#include "win/module_path.h"

#include <windows.h>

#include <cstring>

TInstallSettings InstallSettings;

FileMode ModeOf(const FileEntry& entry) {
  const std::string mode = UpperAscii(entry.Mode);
  if (mode.empty()) return FileMode::Extract;
  if (mode == kFailIfExistsMode) return FileMode::ExtractKeepingFiles;
  if (mode == kCopyMode) return FileMode::Copy;
  return FileMode::Unknown;
}

bool ExtractsFromArchive(const FileEntry& entry) {
  const FileMode mode = ModeOf(entry);
  return (mode == FileMode::Extract || mode == FileMode::ExtractKeepingFiles) &&
         UpperAscii(FileExtension(entry.Source)) == ".RAR";
}

namespace {

const char kAbsent[] = "NONE";

void ReadAppSection(TInstallSettings& s) {
  s.ProductName = ReadIniString("APP", "NAME", "");
  s.ProductVersion = ReadIniString("APP", "VERSION", "");
  s.CompanyName = ReadIniString("APP", "COMPANY", "");
  s.InstallDir = ReadIniString("APP", "INSTALLDIR", "");
  s.ProductFolder = ReadIniString("APP", "FOLDER", "");
  s.TitleText = ReadIniString("APP", "TITLE", "");
  s.Readme = ReadIniString("APP", "README", "");
  s.Run = ReadIniString("APP", "RUN", "");
  s.UninstallLinkName = ReadIniString("APP", "UNINSTALL", "");
  s.UninstallEntry = ReadIniString("APP", "UNINSTALLENTRY", "");
  s.ProductTitle = Trim(s.ProductName + " " + s.ProductVersion);
}

void ReadEngineSections(TInstallSettings& s) {
  s.DbEngineArchive = ReadIniString("BDE", "FILE", "");
  s.DbEngineDir = ReadIniString("BDE", "PATH", kEngineDirectory);
  s.DbEngineConfigFile = ReadIniString("BDE", "CFG", "IDAPI32.CFG");
  s.DbEngineDate = ReadIniString("BDE", "DATE", "96-05-01");
  s.ParadoxLangDriver = ReadIniString("BDE", "LANGPARADOX", "korea");
  s.DbaseLangDriver = ReadIniString("BDE", "LANGDBASE", "DB949KO0");
  s.DbEngineOverwrite = ReadIniString("BDE", "OVERWRITE", "FALSE");
  s.CrwArchive = ReadIniString("CRW", "FILE", "");
  s.CrwPath = ReadIniString("CRW", "PATH", "");
}

void ReadTables(TInstallSettings& s) {
  s.FileCount = 0;
  s.IconCount = 0;
  for (unsigned n = 1; n <= kMaxScriptEntries; ++n) {
    const std::string file = ReadIniString(kFilesSection, TableKeyName(kFileKeyPrefix, n), kAbsent);
    s.FilePresent[n - 1] = file != kAbsent;
    if (s.FilePresent[n - 1]) {
      s.FileEntries[n - 1] = {GetCommaField(file, 1), GetCommaField(file, 2),
                              UpperAscii(GetCommaField(file, 3))};
      s.FileCount = n;
    }
    const std::string icon = ReadIniString(kIconsSection, TableKeyName(kIconKeyPrefix, n), kAbsent);
    s.IconPresent[n - 1] = icon != kAbsent;
    if (s.IconPresent[n - 1]) {
      s.IconEntries[n - 1] = {GetCommaField(icon, 1), GetCommaField(icon, 2),
                              GetCommaField(icon, 3), GetCommaField(icon, 4)};
      s.IconCount = n;
    }
  }
}

}  // namespace

std::string ReadIniString(const std::string& section, const std::string& key,
                          const std::string& def) {
  const std::string path = InstallSettings.SourceDir + kScriptName;
  // Cleared first: when the cut splits a two-byte character the platform may
  // leave the byte before the terminator unwritten.
  char buffer[1024] = {};
  const DWORD length = GetPrivateProfileStringA(section.c_str(), key.c_str(), def.c_str(), buffer,
                                                sizeof buffer, path.c_str());
  const std::size_t reported = length < sizeof buffer ? length : sizeof buffer - 1;
  return std::string(buffer, strnlen(buffer, reported));
}

void ReadSetupScriptFor(const std::string& programPath) {
  InstallSettings = TInstallSettings();
  InstallSettings.SourceDir = DirectoryPart(programPath);
  ReadAppSection(InstallSettings);
  ReadEngineSections(InstallSettings);
  ReadTables(InstallSettings);
}

void ReadSetupScript() { ReadSetupScriptFor(ModuleFileName()); }
