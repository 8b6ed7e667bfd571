#include "setup/engine_settings_adjust.h"

#include "contracts/engine_settings.h"
#include "support/registry_support.h"
#include "win/errors.h"

#include <gtest/gtest.h>

#include <functional>

namespace {

const char D[] = "C:\\Program Files\\Borland\\Common Files\\BDE";
const char kBorland[] = "SOFTWARE\\Borland";
const char kBlw32[] = "SOFTWARE\\Borland\\BLW32";
const char kEngine[] = "SOFTWARE\\Borland\\Database Engine";
const char kDrivers[] = "SOFTWARE\\Borland\\Database Engine\\Settings\\DRIVERS\\";
const char kSystemInit[] = "SOFTWARE\\Borland\\Database Engine\\Settings\\SYSTEM\\INIT";

using Values = std::map<std::string, RawValue>;

// Every value below the engine's keys, by "key|name".
Values AllEngineValues() {
  Values all;
  const std::string system = "SOFTWARE\\Borland\\Database Engine\\Settings\\SYSTEM\\";
  const std::string drivers = kDrivers;
  for (const std::string& key :
       {std::string(kBlw32), std::string(kEngine), drivers + "DBASE\\INIT",
        drivers + "DBASE\\TABLE CREATE", drivers + "PARADOX\\INIT",
        drivers + "PARADOX\\TABLE CREATE", system + "FORMATS\\DATE", system + "FORMATS\\NUMBER",
        system + "FORMATS\\TIME", system + "INIT"}) {
    for (const auto& value : KeyValues(HKEY_LOCAL_MACHINE, key)) {
      all[key + "|" + value.first] = value.second;
    }
  }
  return all;
}

std::string Text(const std::string& key, const std::string& name) {
  RawValue value;
  if (!QueryValue(HKEY_LOCAL_MACHINE, key, name, value)) return "(missing)";
  if (value.Type != REG_SZ || value.Data.empty() || value.Data.back() != '\0') return "(bad)";
  return value.Data.substr(0, value.Data.size() - 1);
}

std::string RegistryError(const std::function<void()>& action) {
  try {
    action();
  } catch (const ERegistryException& e) {
    return e.Message();
  }
  return "(no error)";
}

void SetText(const std::string& key, const std::string& name, const std::string& text) {
  SetRawValue(HKEY_LOCAL_MACHINE, key, name, REG_SZ, text + std::string(1, '\0'));
}

class EngineAdjust : public ::testing::Test {
 protected:
  void SetUp() override {
    DeleteKeyTree(HKEY_LOCAL_MACHINE, kBorland);
    WriteEngineSettings();
  }
  static std::string Lib(int n) { return Text(kBlw32, "LOCALE_LIB" + std::to_string(n)); }
};

}  // namespace

TEST_F(EngineAdjust, DefaultsChangeOnlyTheConfigurationFile) {
  Values expected = AllEngineValues();
  expected[std::string(kEngine) + "|CONFIGFILE01"] = StringValue(std::string(D) + "\\IDAPI32.CFG");
  SetLanguageDriver(0, "korea");
  SetLanguageDriver(1, "DB949KO0");
  SetEnginePaths(D, "IDAPI32.CFG");
  EXPECT_EQ(expected, AllEngineValues());
}

TEST_F(EngineAdjust, LanguageDrivers) {
  SetLanguageDriver(0, "");
  EXPECT_EQ("", Text(std::string(kDrivers) + "PARADOX\\INIT", "LANGDRIVER"));
  EXPECT_EQ("", Text(kSystemInit, "LANGDRIVER"));
  EXPECT_EQ("DB949KO0", Text(std::string(kDrivers) + "DBASE\\INIT", "LANGDRIVER"));
  SetLanguageDriver(1, "DB437US0");
  EXPECT_EQ("DB437US0", Text(std::string(kDrivers) + "DBASE\\INIT", "LANGDRIVER"));

  const Values before = AllEngineValues();
  SetLanguageDriver(2, "x");
  SetLanguageDriver(-1, "x");
  EXPECT_EQ(before, AllEngineValues());
}

TEST_F(EngineAdjust, LanguageDriverWriteFailureRaises) {
  const std::string paradox = std::string(kDrivers) + "PARADOX\\INIT";
  MakeKeyReadOnly(HKEY_LOCAL_MACHINE, paradox);
  EXPECT_EQ("Failed to set data for 'LANGDRIVER'",
            RegistryError([] { SetLanguageDriver(0, "x"); }));
  EXPECT_EQ("korea", Text(kSystemInit, "LANGDRIVER"));  // stopped before the second key
  MakeKeyWritable(HKEY_LOCAL_MACHINE, paradox);
}

TEST_F(EngineAdjust, LocaleLibrariesUpToTheFirstGap) {
  DeleteRawValue(HKEY_LOCAL_MACHINE, kBlw32, "LOCALE_LIB3");
  SetText(kBlw32, "LOCALE_LIB4", "X:\\OLD\\OTHER.BLL");
  SetEnginePaths("D:\\BDE\\", "P.CFG");  // the trailing backslash is kept everywhere
  EXPECT_EQ("D:\\BDE\\", Text(kBlw32, "BLAPIPATH"));
  EXPECT_EQ("D:\\BDE\\\\USA.BLL", Lib(1));
  EXPECT_EQ("D:\\BDE\\\\EUROPE.BLL", Lib(2));
  EXPECT_EQ("(missing)", Lib(3));
  EXPECT_EQ("X:\\OLD\\OTHER.BLL", Lib(4));  // after the gap: not visited
  EXPECT_EQ("D:\\BDE\\\\P.CFG", Text(kEngine, "CONFIGFILE01"));
  EXPECT_EQ("D:\\BDE\\", Text(kEngine, "DLLPATH"));
}

TEST_F(EngineAdjust, SeventhAndEighthLibrariesAndFileNameParts) {
  SetText(kBlw32, "LOCALE_LIB2", "A:JAPAN.BLL");
  SetText(kBlw32, "LOCALE_LIB5", "");
  SetText(kBlw32, "LOCALE_LIB7", "NEW.BLL");
  SetRawValue(HKEY_LOCAL_MACHINE, kBlw32, "LOCALE_LIB8", REG_EXPAND_SZ,
              std::string("%X%\\EIGHT.BLL", 14));
  SetText(kBlw32, "LOCALE_LIB9", "C:\\NINE.BLL");
  SetEnginePaths("E:\\엔진", "C.CFG");
  EXPECT_EQ("E:\\엔진\\USA.BLL", Lib(1));
  EXPECT_EQ("E:\\엔진\\JAPAN.BLL", Lib(2));
  EXPECT_EQ("E:\\엔진\\", Lib(5));
  EXPECT_EQ("E:\\엔진\\FAREAST.BLL", Lib(6));
  EXPECT_EQ("E:\\엔진\\NEW.BLL", Lib(7));
  EXPECT_EQ("E:\\엔진\\EIGHT.BLL", Lib(8));
  EXPECT_EQ("C:\\NINE.BLL", Lib(9));
}

TEST_F(EngineAdjust, NonStringLocaleLibraryRaises) {
  SetRawValue(HKEY_LOCAL_MACHINE, kBlw32, "LOCALE_LIB2", REG_DWORD, std::string(4, '\0'));
  EXPECT_EQ("Invalid data type for 'LOCALE_LIB2'",
            RegistryError([] { SetEnginePaths("E:\\BDE", "C.CFG"); }));
  EXPECT_EQ("E:\\BDE\\USA.BLL", Lib(1));
  EXPECT_EQ(std::string(D) + "\\Korvane.CFG", Text(kEngine, "CONFIGFILE01"));
}

TEST_F(EngineAdjust, MissingKeysAreNotCreated) {
  DeleteKeyTree(HKEY_LOCAL_MACHINE, kBlw32);
  EXPECT_EQ("Failed to set data for 'BLAPIPATH'",
            RegistryError([] { SetEnginePaths("E:\\BDE", "C.CFG"); }));
  EXPECT_FALSE(KeyExists(HKEY_LOCAL_MACHINE, kBlw32));

  SetUp();
  MakeKeyReadOnly(HKEY_LOCAL_MACHINE, kEngine);
  EXPECT_EQ("Failed to set data for 'CONFIGFILE01'",
            RegistryError([] { SetEnginePaths("E:\\BDE", "C.CFG"); }));
  EXPECT_EQ("E:\\BDE\\FAREAST.BLL", Lib(6));
  MakeKeyWritable(HKEY_LOCAL_MACHINE, kEngine);
}
