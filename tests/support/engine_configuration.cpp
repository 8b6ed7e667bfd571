#include "support/engine_configuration.h"

std::vector<EngineRow> ExpectedEngineRows() {
  const std::string d = "C:\\Program Files\\Borland\\Common Files\\BDE";
  const std::string S = "Database Engine\\Settings\\";
  const std::string dbase = S + "DRIVERS\\DBASE\\", paradox = S + "DRIVERS\\PARADOX\\";
  const std::string formats = S + "SYSTEM\\FORMATS\\", init = S + "SYSTEM\\INIT";
  return {
      {"BLW32", "BLAPIPATH", d},
      {"BLW32", "LOCALE_LIB1", d + "\\USA.BLL"},
      {"BLW32", "LOCALE_LIB2", d + "\\EUROPE.BLL"},
      {"BLW32", "LOCALE_LIB3", d + "\\CHARESET.BLL"},
      {"BLW32", "LOCALE_LIB4", d + "\\OTHER.BLL"},
      {"BLW32", "LOCALE_LIB5", d + "\\CEEUROPE.BLL"},
      {"BLW32", "LOCALE_LIB6", d + "\\FAREAST.BLL"},
      {"Database Engine", "CONFIGFILE01", d + "\\Korvane.CFG"},
      {"Database Engine", "DLLPATH", d},
      {"Database Engine", "RESOURCE", "0009"},
      {"Database Engine", "SaveConfig", "WIN32"},
      {"Database Engine", "UseCount", "3"},
      {dbase + "INIT", "LANGDRIVER", "DB949KO0"},
      {dbase + "INIT", "TYPE", "FILE"},
      {dbase + "INIT", "VERSION", "5.0"},
      {dbase + "TABLE CREATE", "LEVEL", "5"},
      {dbase + "TABLE CREATE", "MDX BLOCK SIZE", "1024"},
      {dbase + "TABLE CREATE", "MEMO FILE BLOCK SIZE", "1024"},
      {paradox + "INIT", "LANGDRIVER", "korea"},
      {paradox + "INIT", "TYPE", "FILE"},
      {paradox + "INIT", "VERSION", "5.0"},
      {paradox + "TABLE CREATE", "BLOCK SIZE", "2048"},
      {paradox + "TABLE CREATE", "FILL FACTOR", "95"},
      {paradox + "TABLE CREATE", "LEVEL", "4"},
      {paradox + "TABLE CREATE", "STRICTINTEGRTY", "TRUE"},
      {formats + "DATE", "FOURDIGITYEAR", "TRUE"},
      {formats + "DATE", "LEADINGZEROD", "TRUE"},
      {formats + "DATE", "LEADINGZEROM", "TRUE"},
      {formats + "DATE", "MODE", "2"},
      {formats + "DATE", "SEPARATOR", "-"},
      {formats + "DATE", "YEARBIASED", "TRUE"},
      {formats + "NUMBER", "DECIMALDIGITS", "2"},
      {formats + "NUMBER", "DECIMALSEPARATOR", "."},
      {formats + "NUMBER", "LEADINGZERON", "FALSE"},
      {formats + "NUMBER", "THOUSANDSEPARATOR", ","},
      {formats + "TIME", "AMSTRING", "AM"},
      {formats + "TIME", "MILSECONDS", "FALSE"},
      {formats + "TIME", "PMSTRING", "PM"},
      {formats + "TIME", "SECONDS", "TRUE"},
      {formats + "TIME", "TWELVEHOUR", "FALSE"},
      {init, "AUTO ODBC", "FALSE"},
      {init, "DATA REPOSITORY", ""},
      {init, "DEFAULT DRIVER", "PARADOX"},
      {init, "LANGDRIVER", "korea"},
      {init, "LOCAL SHARE", "FALSE"},
      {init, "LOW MEMORY USAGE LIMIT", "32"},
      {init, "MAXBUFSIZE", "2048"},
      {init, "MAXFILEHANDLES", "48"},
      {init, "MEMSIZE", "16"},
      {init, "MINBUFSIZE", "128"},
      {init, "SHAREDMEMLOCATION", ""},
      {init, "SHAREDMEMSIZE", "2048"},
      {init, "SQLQRYMODE", ""},
      {init, "SYSFLAGS", "0"},
      {init, "VERSION", "5.0"},
  };
}

std::string EngineKeyPath(const std::string& key) { return "SOFTWARE\\Borland\\" + key; }

EngineSnapshot ExpectedEngineSnapshot() {
  EngineSnapshot expected;
  for (const EngineRow& row : ExpectedEngineRows()) {
    expected[row.Key][row.Name] = StringValue(row.Data);
  }
  return expected;
}

EngineSnapshot EngineKeySnapshot() {
  EngineSnapshot all;
  for (const EngineRow& row : ExpectedEngineRows()) {
    all[row.Key] = KeyValues(HKEY_LOCAL_MACHINE, EngineKeyPath(row.Key));
  }
  return all;
}
