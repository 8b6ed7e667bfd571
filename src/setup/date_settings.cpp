#include "setup/date_settings.h"

#include "win/errors.h"

TDateSettings DateSettings;

namespace {

constexpr int kMaxDigits = 4;  // no field of a date or time has more

char Upper(char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c; }

// The value in decimal, padded with zeros to width digits. (No printf: its
// formatter would add some 25 KB to the program.)
std::string Number(int value, int width) {
  std::string digits = std::to_string(value < 0 ? -static_cast<long long>(value) : value);
  if (static_cast<int>(digits.size()) < width) digits.insert(0, width - digits.size(), '0');
  return value < 0 ? "-" + digits : digits;
}

bool IsLeapYear(int year) { return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0; }

int DaysInMonth(int year, int month) {
  static const int kDays[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  return month == 2 && IsLeapYear(year) ? 29 : kDays[month - 1];
}

// Walks a date or time text; every Expect/Read either moves on or fails for good.
class Scanner {
 public:
  explicit Scanner(const std::string& text) : text_(text) {}

  bool AtEnd() const { return pos_ >= text_.size(); }
  void SkipBlanks() {
    while (!AtEnd() && static_cast<unsigned char>(text_[pos_]) <= 32) ++pos_;
  }
  bool Accept(char c) {
    if (AtEnd() || text_[pos_] != c) return false;
    ++pos_;
    return true;
  }
  bool ReadNumber(int& value, int& digits) {
    value = 0;
    digits = 0;
    while (!AtEnd() && text_[pos_] >= '0' && text_[pos_] <= '9') {
      if (++digits > kMaxDigits) return false;  // keeps the value far from overflow
      value = value * 10 + (text_[pos_++] - '0');
    }
    return digits > 0;
  }

 private:
  const std::string& text_;
  std::string::size_type pos_ = 0;
};

// "YMD", "MDY" or "DMY" from the first of those letters in the short date format.
std::string DateOrder() {
  for (char c : DateSettings.ShortDateFormat) {
    switch (Upper(c)) {
      case 'Y':
        return "YMD";
      case 'M':
        return "MDY";
      case 'D':
        return "DMY";
    }
  }
  return std::string();
}

bool ScanDate(Scanner& in, WORD currentYear, SYSTEMTIME& result) {
  const std::string order = DateOrder();
  const char separator = DateSettings.DateSeparator;
  if (order.empty() || separator == '\0') return false;  // settings never set
  int values[3] = {};
  int digits[3] = {};
  int count = 0;
  do {
    if (!in.ReadNumber(values[count], digits[count])) return false;
    ++count;
  } while (count < 3 && in.Accept(separator));
  if (count < 2) return false;

  int year = currentYear, month = 0, day = 0, yearDigits = kMaxDigits;
  const std::string fields = count == 3 ? order : (order == "DMY" ? "DM" : "MD");
  for (int i = 0; i < count; ++i) {
    if (fields[i] == 'Y') {
      year = values[i];
      yearDigits = digits[i];
    }
    if (fields[i] == 'M') month = values[i];
    if (fields[i] == 'D') day = values[i];
  }
  if (yearDigits <= 2) year += currentYear / 100 * 100;
  if (year < 1 || month < 1 || month > 12 || day < 1 || day > DaysInMonth(year, month)) {
    return false;
  }
  result.wYear = static_cast<WORD>(year);
  result.wMonth = static_cast<WORD>(month);
  result.wDay = static_cast<WORD>(day);
  return true;
}

bool ScanTime(Scanner& in, SYSTEMTIME& result) {
  int hour = 0, minute = 0, second = 0, millisecond = 0, digits = 0;
  if (!in.ReadNumber(hour, digits) || !in.Accept(':') || !in.ReadNumber(minute, digits)) {
    return false;
  }
  if (in.Accept(':')) {
    if (!in.ReadNumber(second, digits)) return false;
    if (in.Accept('.') && !in.ReadNumber(millisecond, digits)) return false;
  }
  if (hour > 23 || minute > 59 || second > 59 || millisecond > 999) return false;
  result.wHour = static_cast<WORD>(hour);
  result.wMinute = static_cast<WORD>(minute);
  result.wSecond = static_cast<WORD>(second);
  result.wMilliseconds = static_cast<WORD>(millisecond);
  return true;
}

}  // namespace

void SetStartupDateSettings() {
  DateSettings.ShortDateFormat = "YYYY-MM-DD";
  DateSettings.LongDateFormat = "YYYY-MM-DD";
  DateSettings.DateSeparator = '-';
}

std::string FormatShortDate(const SYSTEMTIME& date) {
  const std::string& format = DateSettings.ShortDateFormat;
  std::string text;
  for (std::string::size_type i = 0; i < format.size();) {
    const char letter = Upper(format[i]);
    std::string::size_type run = 1;
    while (i + run < format.size() && Upper(format[i + run]) == letter) ++run;
    if (letter == 'Y') {
      text += run >= 3 ? Number(date.wYear, 4) : Number(date.wYear % 100, 2);
    } else if (letter == 'M') {
      text += Number(date.wMonth, run >= 2 ? 2 : 1);
    } else if (letter == 'D') {
      text += Number(date.wDay, run >= 2 ? 2 : 1);
    } else {
      run = 1;
      if (format[i] != '/') {
        text += format[i];
      } else if (DateSettings.DateSeparator != '\0') {
        text += DateSettings.DateSeparator;
      }
    }
    i += run;
  }
  return text;
}

SYSTEMTIME StrToDateTime(const std::string& text, WORD currentYear) {
  SYSTEMTIME result = {};
  Scanner in(text);
  in.SkipBlanks();
  bool valid = ScanDate(in, currentYear, result);
  in.SkipBlanks();
  if (valid && !in.AtEnd()) valid = ScanTime(in, result);
  in.SkipBlanks();
  if (!valid || !in.AtEnd()) {
    throw Exception("'" + text + "' is not a valid date and time");
  }
  return result;
}

SYSTEMTIME StrToDateTime(const std::string& text) {
  SYSTEMTIME now;
  GetLocalTime(&now);
  return StrToDateTime(text, now.wYear);
}
