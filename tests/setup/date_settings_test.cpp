#include "setup/date_settings.h"

#include "support/test_support.h"
#include "win/errors.h"

#include <gtest/gtest.h>

namespace {

// "YYYY-MM-DD hh:mm:ss" of a parsed text, or "error".
std::string Parsed(const std::string& text, WORD currentYear = 2025) {
  try {
    const SYSTEMTIME t = StrToDateTime(text, currentYear);
    char out[32];
    std::snprintf(out, sizeof out, "%04u-%02u-%02u %02u:%02u:%02u", t.wYear, t.wMonth, t.wDay,
                  t.wHour, t.wMinute, t.wSecond);
    return out;
  } catch (const Exception&) {
    return "error";
  }
}

class DateSettingsTest : public ::testing::Test {
 protected:
  void SetUp() override { SetStartupDateSettings(); }
  void TearDown() override { DateSettings = TDateSettings(); }
};

}  // namespace

TEST(UnsetDateSettings, NothingFormatsOrConverts) {
  DateSettings = TDateSettings();
  EXPECT_EQ("", FormatShortDate(MakeSystemTime(1998, 3, 5)));
  EXPECT_EQ("error", Parsed("1998-03-05"));
}

TEST_F(DateSettingsTest, StartupFormat) {
  EXPECT_EQ("YYYY-MM-DD", DateSettings.ShortDateFormat);
  EXPECT_EQ("YYYY-MM-DD", DateSettings.LongDateFormat);
  EXPECT_EQ('-', DateSettings.DateSeparator);
  EXPECT_EQ("1998-03-05", FormatShortDate(MakeSystemTime(1998, 3, 5)));
  EXPECT_EQ("2031-12-31", FormatShortDate(MakeSystemTime(2031, 12, 31, 23, 59, 59)));
}

TEST_F(DateSettingsTest, OtherFormatsAndSeparators) {
  DateSettings.ShortDateFormat = "d/m/yy";
  DateSettings.DateSeparator = '.';
  EXPECT_EQ("5.3.98", FormatShortDate(MakeSystemTime(1998, 3, 5)));
  EXPECT_EQ("2025-03-05 00:00:00", Parsed("5.3.25"));
  EXPECT_EQ("error", Parsed("1998-03-05"));
  DateSettings.ShortDateFormat = "MM/DD/YYYY";
  EXPECT_EQ("03.05.1998", FormatShortDate(MakeSystemTime(1998, 3, 5)));
  EXPECT_EQ("1998-03-05 00:00:00", Parsed("3.5.1998"));
}

TEST_F(DateSettingsTest, EngineDatesConvert) {
  EXPECT_EQ("2096-05-01 00:00:00", Parsed("96-05-01"));  // the script's default
  EXPECT_EQ("1996-05-01 00:00:00", Parsed("96-05-01", 1998));
  EXPECT_EQ("2005-05-01 00:00:00", Parsed("5-5-1"));
  EXPECT_EQ("1998-03-05 00:00:00", Parsed(" 1998-3-5 "));
  EXPECT_EQ("0096-05-01 00:00:00", Parsed("0096-05-01"));  // four digits: as written
  EXPECT_EQ("2025-05-01 00:00:00", Parsed("05-01"));       // month and day of this year
  EXPECT_EQ("1998-03-05 10:20:00", Parsed("1998-03-05 10:20"));
  EXPECT_EQ("1998-03-05 10:20:30", Parsed("1998-03-05  10:20:30.500"));
  EXPECT_EQ("2000-02-29 00:00:00", Parsed("2000-02-29"));
}

TEST_F(DateSettingsTest, TextsThatDoNotConvertRaise) {
  for (const char* text :
       {"", "  ", "abc", "1998/03/05", "1998-02-29", "1900-02-29", "1998-13-01", "1998-00-10",
        "1998-04-31", "1998-03-05x", "1998--05", "1998-03-", "12345-01-01", "1998-03-05 25:00",
        "1998-03-05 10", "1998-03-05 10:61", "1998-03-05-07", "5"}) {
    EXPECT_EQ("error", Parsed(text)) << text;
  }
  EXPECT_THROW(StrToDateTime("x"), Exception);
}
