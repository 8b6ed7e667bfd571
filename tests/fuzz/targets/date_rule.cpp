// libFuzzer's entry for the date_rule target (tools/fuzz.sh): setup's reading of the
// engine's release date on the modelled machine (whose clock says 2026). The input:
// a byte choosing the date settings (setup's own, or a short date format and
// separator taken from the input), a byte giving the current year's offset, then
// the date text. What must hold for any input: a date that converts is a real date
// and time of day; a year of one or two digits lies in the current century; with
// setup's settings, the date written back converts to the same day.
#include "machine.h"

#include "setup/date_settings.h"
#include "win/errors.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

namespace {

void Require(bool condition) {
  if (!condition) std::abort();
}

bool IsLeapYear(int year) { return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0; }

bool IsRealDate(const SYSTEMTIME& t) {
  static const int kDays[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  if (t.wMonth < 1 || t.wMonth > 12 || t.wDay < 1 || t.wYear < 1) return false;
  const int days = t.wMonth == 2 && IsLeapYear(t.wYear) ? 29 : kDays[t.wMonth - 1];
  return t.wDay <= days && t.wHour < 24 && t.wMinute < 60 && t.wSecond < 60 &&
         t.wMilliseconds < 1000;
}

bool Converts(const std::string& text, WORD year, SYSTEMTIME& date) {
  try {
    date = year ? StrToDateTime(text, year) : StrToDateTime(text);
    return true;
  } catch (const Exception&) {
    return false;
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 2) return 0;
  const bool ownSettings = (data[0] & 0x80) == 0;
  std::string text(reinterpret_cast<const char*>(data + 2), size - 2);
  model::Machine::Current().Reset();
  SetStartupDateSettings();
  if (!ownSettings) {
    // The first bytes of the text are the format, up to a zero byte; the byte
    // after it is the separator.
    const std::size_t zero = text.find('\0');
    DateSettings.ShortDateFormat = text.substr(0, zero);
    DateSettings.DateSeparator = zero + 1 < text.size() ? text[zero + 1] : '/';
    text = zero + 2 < text.size() ? text.substr(zero + 2) : std::string();
  }
  const WORD year = data[1] == 0 ? 0 : static_cast<WORD>(1900 + data[1]);
  SYSTEMTIME date;
  if (!Converts(text, year, date)) return 0;
  Require(IsRealDate(date));
  const int century = (year ? year : 2026) / 100 * 100;
  if (ownSettings) {
    // Year-month-day: a year of one or two digits lies in the current century.
    const std::size_t start = text.find_first_not_of(" \t");
    const std::size_t yearEnd = text.find('-', start);
    const std::size_t dateEnd = text.find_first_of(" \t", start);
    const bool threeNumbers = yearEnd != std::string::npos &&
                              text.find('-', yearEnd + 1) < std::min(dateEnd, text.size());
    if (threeNumbers && yearEnd - start <= 2) {
      Require(date.wYear >= century && date.wYear < century + 100);
    }
    SYSTEMTIME again;
    Require(Converts(FormatShortDate(date), year, again));
    Require(again.wYear == date.wYear && again.wMonth == date.wMonth && again.wDay == date.wDay);
  }
  return 0;
}
