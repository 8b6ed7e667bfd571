#include "contracts/engine_settings.h"

#include "win/errors.h"
#include "win/registry.h"

#include <memory>
#include <vector>

const char kEngineLibraryKey[] = "SOFTWARE\\Borland\\BLW32";
const char kEngineKey[] = "SOFTWARE\\Borland\\Database Engine";
const char kDbaseDriverInitKey[] =
    "SOFTWARE\\Borland\\Database Engine\\Settings\\DRIVERS\\DBASE\\INIT";
const char kParadoxDriverInitKey[] =
    "SOFTWARE\\Borland\\Database Engine\\Settings\\DRIVERS\\PARADOX\\INIT";
const char kEngineSystemInitKey[] = "SOFTWARE\\Borland\\Database Engine\\Settings\\SYSTEM\\INIT";

namespace {

enum class Mode { Quiet, Strict };
enum class Base { None, EngineDir };  // EngineDir: the data follows the engine directory

struct SettingRow {
  const char* Name;
  const char* Data;
  Mode WriteMode = Mode::Quiet;
  Base DataBase = Base::None;
};

struct SettingKey {
  std::string Path;
  std::vector<SettingRow> Rows;
};

const char kDriverVersion[] = "5.0";
const char kFormats[] = "SOFTWARE\\Borland\\Database Engine\\Settings\\SYSTEM\\FORMATS\\";

std::vector<SettingKey> SettingKeys() {
  const Mode S = Mode::Strict;
  const Mode Q = Mode::Quiet;
  const Base D = Base::EngineDir;
  const std::string formats = kFormats;
  return {
      {kEngineLibraryKey,
       {{"BLAPIPATH", "", Q, D},
        {"LOCALE_LIB1", "\\USA.BLL", Q, D},
        {"LOCALE_LIB2", "\\EUROPE.BLL", Q, D},
        {"LOCALE_LIB3", "\\CHARESET.BLL", Q, D},
        {"LOCALE_LIB4", "\\OTHER.BLL", Q, D},
        {"LOCALE_LIB5", "\\CEEUROPE.BLL", Q, D},
        {"LOCALE_LIB6", "\\FAREAST.BLL", Q, D}}},
      {kEngineKey,
       {{"CONFIGFILE01", "\\Korvane.CFG", Q, D},
        {"DLLPATH", "", Q, D},
        {"RESOURCE", "0009"},
        {"SaveConfig", "WIN32"},
        {"UseCount", "3"}}},
      {kDbaseDriverInitKey,
       {{"LANGDRIVER", "DB949KO0", S}, {"TYPE", "FILE"}, {"VERSION", kDriverVersion}}},
      {"SOFTWARE\\Borland\\Database Engine\\Settings\\DRIVERS\\DBASE\\TABLE CREATE",
       {{"LEVEL", "5"}, {"MDX BLOCK SIZE", "1024"}, {"MEMO FILE BLOCK SIZE", "1024"}}},
      {kParadoxDriverInitKey,
       {{"LANGDRIVER", "korea", S}, {"TYPE", "FILE"}, {"VERSION", kDriverVersion}}},
      {"SOFTWARE\\Borland\\Database Engine\\Settings\\DRIVERS\\PARADOX\\TABLE CREATE",
       {{"BLOCK SIZE", "2048"}, {"FILL FACTOR", "95"}, {"LEVEL", "4"}, {"STRICTINTEGRTY", "TRUE"}}},
      {formats + "DATE",
       {{"FOURDIGITYEAR", "TRUE"},
        {"LEADINGZEROD", "TRUE"},
        {"LEADINGZEROM", "TRUE"},
        {"MODE", "2"},
        {"SEPARATOR", "-"},
        {"YEARBIASED", "TRUE"}}},
      {formats + "NUMBER",
       {{"DECIMALDIGITS", "2"},
        {"DECIMALSEPARATOR", "."},
        {"LEADINGZERON", "FALSE"},
        {"THOUSANDSEPARATOR", ","}}},
      {formats + "TIME",
       {{"AMSTRING", "AM"},
        {"MILSECONDS", "FALSE"},
        {"PMSTRING", "PM"},
        {"SECONDS", "TRUE"},
        {"TWELVEHOUR", "FALSE"}}},
      {kEngineSystemInitKey,
       {{"AUTO ODBC", "FALSE"},
        {"DATA REPOSITORY", ""},
        {"DEFAULT DRIVER", "PARADOX", S},
        {"LANGDRIVER", "korea", S},
        {"LOCAL SHARE", "FALSE"},
        {"LOW MEMORY USAGE LIMIT", "32"},
        {"MAXBUFSIZE", "2048"},
        {"MAXFILEHANDLES", "48"},
        {"MEMSIZE", "16"},
        {"MINBUFSIZE", "128"},
        {"SHAREDMEMLOCATION", ""},
        {"SHAREDMEMSIZE", "2048"},
        {"SQLQRYMODE", ""},
        {"SYSFLAGS", "0"},
        {"VERSION", kDriverVersion}}},
  };
}

// The accessor of the running WriteEngineSettings, for WriteSettingQuietly.
std::unique_ptr<RegistryAccessor> EngineRegistry;

// Holds the program-wide accessor for one run and destroys it on every path.
class EngineRegistryScope {
 public:
  EngineRegistryScope() { EngineRegistry = std::make_unique<RegistryAccessor>(); }
  ~EngineRegistryScope() { EngineRegistry.reset(); }
  EngineRegistryScope(const EngineRegistryScope&) = delete;
  EngineRegistryScope& operator=(const EngineRegistryScope&) = delete;
};

std::string RowData(const SettingRow& row) {
  return row.DataBase == Base::EngineDir ? kEngineDirectory + std::string(row.Data)
                                         : std::string(row.Data);
}

}  // namespace

void WriteSettingQuietly(const std::string& name, const std::string& value) {
  if (!EngineRegistry) return;  // not inside a run: nowhere to write
  // Quiet writes leave no trace of a failure, whatever its cause.
  RunIgnoringErrors([&] { EngineRegistry->WriteString(name, value); });
}

void WriteEngineSettings() {
  EngineRegistryScope scope;
  for (const SettingKey& key : SettingKeys()) {
    EngineRegistry->OpenKey(key.Path, true);  // a failed open makes the writes fail
    for (const SettingRow& row : key.Rows) {
      if (row.WriteMode == Mode::Strict) {
        EngineRegistry->WriteString(row.Name, RowData(row));
      } else {
        WriteSettingQuietly(row.Name, RowData(row));
      }
    }
    EngineRegistry->CloseKey();
  }
}
