// The engine's date rule: whether the engine archive keeps the installed engine files.
#include "setup/engine_date_rule.h"

#include "setup/date_settings.h"
#include "setup/install_settings.h"
#include "setup/support/setup_globals.h"
#include "support/test_support.h"
#include "win/errors.h"

#include <gtest/gtest.h>

namespace {

class EngineDateRule : public ::testing::Test {
 protected:
  SetupGlobalsScope globals;

  void SetUp() override {
    SetStartupDateSettings();
    engine = ScratchDir("engine-date-rule") + "BDE";
    InstallSettings.DbEngineDir = engine;
    InstallSettings.DbEngineDate = "96-05-01";
    InstallSettings.DbEngineOverwrite = "FALSE";
  }
  void InstallEngine(const std::string& content, const SYSTEMTIME& written) {
    MakeDirectories(engine);
    WriteFileBytes(engine + "\\IDAPI32.DLL", content);
    SetLastWriteTime(engine + "\\IDAPI32.DLL", written);
  }

  std::string engine;
};

}  // namespace

TEST_F(EngineDateRule, TheOverwriteDecisionFollowsTheSwitchAndTheDates) {
  TInstallSettings& s = InstallSettings;
  EXPECT_FALSE(EngineFailIfExists());  // nothing installed
  s.DbEngineDate = "not a date";
  EXPECT_FALSE(EngineFailIfExists());  // the date is read only for an installed engine

  InstallEngine("installed", MakeSystemTime(2020, 1, 2, 10, 0, 0));
  EXPECT_THROW(EngineFailIfExists(), Exception);
  s.DbEngineOverwrite = "true";
  EXPECT_FALSE(EngineFailIfExists());
  s.DbEngineOverwrite = "yes";
  EXPECT_THROW(EngineFailIfExists(), Exception);

  s.DbEngineDate = "2020-01-02";  // midnight is not later than 10:00 that day
  EXPECT_TRUE(EngineFailIfExists());
  s.DbEngineDate = "2020-01-03";
  EXPECT_FALSE(EngineFailIfExists());
  s.DbEngineDate = "2020-01-02 10:00:00";  // the same moment keeps the installed files
  EXPECT_TRUE(EngineFailIfExists());
  s.DbEngineDate = "2020-01-02 10:00:01";
  EXPECT_FALSE(EngineFailIfExists());

  // The file date has a two-second resolution.
  SetLastWriteTime(engine + "\\IDAPI32.DLL", MakeSystemTime(2020, 1, 2, 10, 0, 1, 500));
  EXPECT_FALSE(EngineFailIfExists());
  const SYSTEMTIME date = FileDate(engine + "\\IDAPI32.DLL");
  EXPECT_EQ(0, date.wSecond);
  EXPECT_EQ(0, date.wMilliseconds);
  EXPECT_EQ(10, date.wHour);

  // A two-digit year lies in the current century: later than any installed engine.
  s.DbEngineDate = "96-05-01";
  EXPECT_EQ(2096, StrToDateTime("96-05-01").wYear);
  EXPECT_FALSE(EngineFailIfExists());
  s.DbEngineDate = "0096-05-01";  // the year 96 itself
  EXPECT_TRUE(EngineFailIfExists());

  EXPECT_TRUE(LaterThan(MakeSystemTime(96, 5, 1), MakeSystemTime(95, 12, 31, 23, 59, 59, 999)));
  EXPECT_FALSE(LaterThan(MakeSystemTime(2020, 1, 2), MakeSystemTime(2020, 1, 2)));
}
