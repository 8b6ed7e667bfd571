#include "shared/engine_settings.h"

#include "shared/errors.h"
#include "registry_support.h"

#include <gtest/gtest.h>

#include <set>
#include <vector>

namespace {

const char D[] = "C:\\Program Files\\Borland\\Common Files\\BDE";
const char kBorland[] = "SOFTWARE\\Borland";
const char kBlw32[] = "SOFTWARE\\Borland\\BLW32";
const char kEngine[] = "SOFTWARE\\Borland\\Database Engine";
const char kDbaseInit[] = "SOFTWARE\\Borland\\Database Engine\\Settings\\DRIVERS\\DBASE\\INIT";
const char kSystemInit[] = "SOFTWARE\\Borland\\Database Engine\\Settings\\SYSTEM\\INIT";

struct Row {
  std::string Key;  // below "SOFTWARE\Borland\"
  std::string Name;
  std::string Data;
};

// The configuration as the engine expects it, row by row.
std::vector<Row> ExpectedRows() {
  const std::string d = D;
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

std::string FullKey(const std::string& key) { return std::string(kBorland) + "\\" + key; }

// Every value of every key of the configuration: key -> name -> value.
std::map<std::string, std::map<std::string, RawValue>> Snapshot() {
  std::map<std::string, std::map<std::string, RawValue>> all;
  for (const Row& row : ExpectedRows()) all[row.Key] = KeyValues(HKEY_LOCAL_MACHINE, FullKey(row.Key));
  return all;
}

bool Written(const Row& row) {
  RawValue value;
  return QueryValue(HKEY_LOCAL_MACHINE, FullKey(row.Key), row.Name, value) &&
         value == StringValue(row.Data);
}

std::string StrictError() {
  try {
    WriteEngineSettings();
  } catch (const ERegistryException& e) {
    return e.Message();
  }
  return "(no error)";
}

// Every case starts from what a fresh Wine prefix holds: the system settings key
// with one value and nothing else of the engine.
class EngineSettings : public ::testing::Test {
 protected:
  void SetUp() override {
    DeleteKeyTree(HKEY_LOCAL_MACHINE, kBorland);
    SetRawValue(HKEY_LOCAL_MACHINE, kSystemInit, "SHAREDMEMLOCATION", REG_SZ,
                std::string("9000", 5));
  }
};

}  // namespace

TEST_F(EngineSettings, FreshMachineGetsExactlyTheFiftyFiveValues) {
  WriteEngineSettings();
  const std::vector<Row> rows = ExpectedRows();
  ASSERT_EQ(55u, rows.size());
  std::map<std::string, std::map<std::string, RawValue>> expected;
  for (const Row& row : rows) expected[row.Key][row.Name] = StringValue(row.Data);
  EXPECT_EQ(10u, expected.size());
  for (const auto& key : expected) {
    EXPECT_EQ(key.second, KeyValues(HKEY_LOCAL_MACHINE, FullKey(key.first))) << key.first;
  }
}

TEST_F(EngineSettings, OtherValuesStayAndTwiceEqualsOnce) {
  SetRawValue(HKEY_LOCAL_MACHINE, kBlw32, "LOCALE_LIB7", REG_SZ, std::string("X.BLL", 6));
  SetRawValue(HKEY_LOCAL_MACHINE, kEngine, "CONFIGFILE02", REG_SZ, std::string("B.CFG", 6));
  SetRawValue(HKEY_LOCAL_MACHINE, kSystemInit, "LANGDRIVER", REG_DWORD, std::string(4, '\0'));
  WriteEngineSettings();
  const auto once = Snapshot();
  EXPECT_EQ(StringValue("X.BLL"), once.at("BLW32").at("LOCALE_LIB7"));
  EXPECT_EQ(StringValue("B.CFG"), once.at("Database Engine").at("CONFIGFILE02"));
  EXPECT_EQ(8u, once.at("BLW32").size());
  const std::string init = "Database Engine\\Settings\\SYSTEM\\INIT";
  EXPECT_EQ(StringValue(""), once.at(init).at("SHAREDMEMLOCATION"));
  EXPECT_EQ(StringValue("korea"), once.at(init).at("LANGDRIVER"));  // type replaced too
  WriteEngineSettings();
  EXPECT_EQ(once, Snapshot());
}

TEST_F(EngineSettings, StrictWriteFailureStopsAtTheDbaseLanguageDriver) {
  MakeKeyReadOnly(HKEY_LOCAL_MACHINE, kDbaseInit);
  EXPECT_EQ("Failed to set data for 'LANGDRIVER'", StrictError());
  const std::vector<Row> rows = ExpectedRows();
  for (std::size_t i = 0; i < rows.size(); ++i) {
    EXPECT_EQ(i < 12, Written(rows[i])) << "row " << i + 1 << " " << rows[i].Name;
  }
  MakeKeyWritable(HKEY_LOCAL_MACHINE, kDbaseInit);
}

TEST_F(EngineSettings, NothingWritableGivesOnlyTheLanguageDriverError) {
  // Every key there and none of them writable.
  std::set<std::string> keys;
  for (const Row& row : ExpectedRows()) keys.insert(FullKey(row.Key));
  for (const std::string& key : keys) MakeKeyReadOnly(HKEY_LOCAL_MACHINE, key);
  EXPECT_EQ("Failed to set data for 'LANGDRIVER'", StrictError());
  for (const Row& row : ExpectedRows()) EXPECT_FALSE(Written(row)) << row.Name;
  for (const std::string& key : keys) MakeKeyWritable(HKEY_LOCAL_MACHINE, key);
}

TEST_F(EngineSettings, QuietWritesOutsideARunDoNothing) {
  WriteSettingQuietly("LANGDRIVER", "x");  // no accessor, no key: no trace, no error
  WriteEngineSettings();
  WriteSettingQuietly("AFTER", "x");
  RawValue value;
  EXPECT_FALSE(QueryValue(HKEY_LOCAL_MACHINE, kSystemInit, "AFTER", value));
}
