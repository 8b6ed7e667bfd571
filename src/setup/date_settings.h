// The process-wide date settings of setup: how it writes and reads dates.
// Unset until start-up calls SetStartupDateSettings.
#pragma once

#include <windows.h>

#include <string>

struct TDateSettings {
  // Letters Y, M and D (any case) stand for year, month and day; a run of three or
  // more Y gives four digits, otherwise two; "MM"/"DD" pad to two digits. "/" stands
  // for DateSeparator; any other character is copied as it is.
  std::string ShortDateFormat;
  std::string LongDateFormat;
  char DateSeparator = '\0';  // '\0': unset
};

extern TDateSettings DateSettings;

// Year-month-day with "-": "YYYY-MM-DD" for both formats, "-" as the separator.
void SetStartupDateSettings();

// The date (time of day ignored) in the short date format.
std::string FormatShortDate(const SYSTEMTIME& date);

// Converts a date text: numbers separated by DateSeparator in the order of the
// short date format (two numbers: month and day of the current year); a year of
// one or two digits gets the current century added; a time of day
// "H:M[:S[.mmm]]" may follow after blanks. Raises Exception when the text does not
// convert. The result is local time; its day of the week is not filled in.
SYSTEMTIME StrToDateTime(const std::string& text);

// The same with the current year given, for a fixed century.
SYSTEMTIME StrToDateTime(const std::string& text, WORD currentYear);
