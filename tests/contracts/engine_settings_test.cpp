#include "contracts/engine_settings.h"

#include "support/engine_configuration.h"
#include "support/registry_support.h"
#include "win/errors.h"

#include <gtest/gtest.h>

#include <set>
#include <vector>

namespace {

const char kBorland[] = "SOFTWARE\\Borland";
const char kBlw32[] = "SOFTWARE\\Borland\\BLW32";
const char kEngine[] = "SOFTWARE\\Borland\\Database Engine";
const char kDbaseInit[] = "SOFTWARE\\Borland\\Database Engine\\Settings\\DRIVERS\\DBASE\\INIT";
const char kSystemInit[] = "SOFTWARE\\Borland\\Database Engine\\Settings\\SYSTEM\\INIT";

bool Written(const EngineRow& row) {
  RawValue value;
  return QueryValue(HKEY_LOCAL_MACHINE, EngineKeyPath(row.Key), row.Name, value) &&
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
  const std::vector<EngineRow> rows = ExpectedEngineRows();
  ASSERT_EQ(55u, rows.size());
  std::map<std::string, std::map<std::string, RawValue>> expected;
  for (const EngineRow& row : rows) expected[row.Key][row.Name] = StringValue(row.Data);
  EXPECT_EQ(10u, expected.size());
  for (const auto& key : expected) {
    EXPECT_EQ(key.second, KeyValues(HKEY_LOCAL_MACHINE, EngineKeyPath(key.first))) << key.first;
  }
}

TEST_F(EngineSettings, OtherValuesStayAndTwiceEqualsOnce) {
  SetRawValue(HKEY_LOCAL_MACHINE, kBlw32, "LOCALE_LIB7", REG_SZ, std::string("X.BLL", 6));
  SetRawValue(HKEY_LOCAL_MACHINE, kEngine, "CONFIGFILE02", REG_SZ, std::string("B.CFG", 6));
  SetRawValue(HKEY_LOCAL_MACHINE, kSystemInit, "LANGDRIVER", REG_DWORD, std::string(4, '\0'));
  WriteEngineSettings();
  const auto once = EngineKeySnapshot();
  EXPECT_EQ(StringValue("X.BLL"), once.at("BLW32").at("LOCALE_LIB7"));
  EXPECT_EQ(StringValue("B.CFG"), once.at("Database Engine").at("CONFIGFILE02"));
  EXPECT_EQ(8u, once.at("BLW32").size());
  const std::string init = "Database Engine\\Settings\\SYSTEM\\INIT";
  EXPECT_EQ(StringValue(""), once.at(init).at("SHAREDMEMLOCATION"));
  EXPECT_EQ(StringValue("korea"), once.at(init).at("LANGDRIVER"));  // type replaced too
  WriteEngineSettings();
  EXPECT_EQ(once, EngineKeySnapshot());
}

TEST_F(EngineSettings, StrictWriteFailureStopsAtTheDbaseLanguageDriver) {
  MakeKeyReadOnly(HKEY_LOCAL_MACHINE, kDbaseInit);
  EXPECT_EQ("Failed to set data for 'LANGDRIVER'", StrictError());
  const std::vector<EngineRow> rows = ExpectedEngineRows();
  for (std::size_t i = 0; i < rows.size(); ++i) {
    EXPECT_EQ(i < 12, Written(rows[i])) << "row " << i + 1 << " " << rows[i].Name;
  }
  MakeKeyWritable(HKEY_LOCAL_MACHINE, kDbaseInit);
}

TEST_F(EngineSettings, NothingWritableGivesOnlyTheLanguageDriverError) {
  // Every key there and none of them writable.
  std::set<std::string> keys;
  for (const EngineRow& row : ExpectedEngineRows()) keys.insert(EngineKeyPath(row.Key));
  for (const std::string& key : keys) MakeKeyReadOnly(HKEY_LOCAL_MACHINE, key);
  EXPECT_EQ("Failed to set data for 'LANGDRIVER'", StrictError());
  for (const EngineRow& row : ExpectedEngineRows()) EXPECT_FALSE(Written(row)) << row.Name;
  for (const std::string& key : keys) MakeKeyWritable(HKEY_LOCAL_MACHINE, key);
}

TEST_F(EngineSettings, QuietWritesOutsideARunDoNothing) {
  WriteSettingQuietly("LANGDRIVER", "x");  // no accessor, no key: no trace, no error
  WriteEngineSettings();
  WriteSettingQuietly("AFTER", "x");
  RawValue value;
  EXPECT_FALSE(QueryValue(HKEY_LOCAL_MACHINE, kSystemInit, "AFTER", value));
}
