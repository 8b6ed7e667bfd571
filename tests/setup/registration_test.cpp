#include "setup/registration.h"

#include "contracts/install_log.h"
#include "setup/date_settings.h"
#include "setup/install_settings.h"
#include "setup/support/setup_globals.h"
#include "support/registry_support.h"
#include "support/test_support.h"

#include <gtest/gtest.h>

namespace {

const char kProductKey[] = "Software\\Korvane\\Pelmora\\1.0";
const char kRegLine[] = "REG:Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Pelmora 1.0";

class Registration : public ::testing::Test {
 protected:
  SetupGlobalsScope globals;

  void SetUp() override {
    DeleteKeyTree(HKEY_LOCAL_MACHINE, "Software\\Korvane");
    SetStartupDateSettings();
    InstallSettings.CompanyName = "Korvane";
    InstallSettings.ProductName = "Pelmora";
    InstallSettings.ProductVersion = "1.0";
    InstallSettings.ProductTitle = "Pelmora 1.0";
    InstallSettings.InstallDir = "C:\\KORVANE";
    log_.Add("DIR:C:\\KORVANE");
  }
  static RawValue Value(const std::string& name) {
    RawValue value;
    QueryValue(HKEY_LOCAL_MACHINE, kProductKey, name, value);
    return value;
  }
  TInstallLog log_;
};

}  // namespace

TEST_F(Registration, LogsTheUninstallKeyAndWritesTheProductKey) {
  SetRawValue(HKEY_LOCAL_MACHINE, kProductKey, "Other", REG_SZ, std::string("x", 2));
  SetRawValue(HKEY_LOCAL_MACHINE, kProductKey, "InstallDir", REG_SZ, std::string("OLD", 4));
  const std::string before = TodayText();
  RegisterInstallation(log_);
  const std::string after = TodayText();
  EXPECT_EQ((std::vector<std::string>{"DIR:C:\\KORVANE", kRegLine}), log_.Lines());
  EXPECT_EQ(StringValue("C:\\KORVANE"), Value("InstallDir"));
  const RawValue date = Value("InstallDate");
  EXPECT_TRUE(date == StringValue(before) || date == StringValue(after)) << date.Data;
  EXPECT_EQ(StringValue("x"), Value("Other"));
  EXPECT_FALSE(KeyExists(HKEY_LOCAL_MACHINE,
                         "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Pelmora 1.0"));
}

TEST_F(Registration, KoreanProductNames) {
  InstallSettings.ProductName = "펠모라";
  InstallSettings.ProductTitle = "펠모라 1.0";
  InstallSettings.InstallDir = "C:\\펠모라";
  RegisterInstallation(log_);
  EXPECT_EQ("REG:Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\펠모라 1.0",
            log_.Lines().back());
  RawValue value;
  ASSERT_TRUE(
      QueryValue(HKEY_LOCAL_MACHINE, "Software\\Korvane\\펠모라\\1.0", "InstallDir", value));
  EXPECT_EQ(StringValue("C:\\펠모라"), value);
}

TEST_F(Registration, LineIsLoggedEvenWhenTheKeyCannotBeOpened) {
  MakeKeyReadOnly(HKEY_LOCAL_MACHINE, kProductKey);
  EXPECT_NO_THROW(RegisterInstallation(log_));
  EXPECT_EQ(kRegLine, log_.Lines().back());
  EXPECT_EQ(static_cast<DWORD>(REG_NONE), Value("InstallDir").Type);
  MakeKeyWritable(HKEY_LOCAL_MACHINE, kProductKey);
}
