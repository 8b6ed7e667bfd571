#include "setup/engine_date_rule.h"

#include "setup/date_settings.h"
#include "setup/install_settings.h"
#include "text/text.h"
#include "win/file_system.h"

#include <tuple>

namespace {

const char kEngineProbe[] = "\\IDAPI32.DLL";

}  // namespace

bool EngineFailIfExists() {
  const TInstallSettings& s = InstallSettings;
  if (UpperAscii(s.DbEngineOverwrite) == "TRUE") return false;
  const std::string installed = s.DbEngineDir + kEngineProbe;
  if (!FileExists(installed)) return false;
  const SYSTEMTIME shipped = StrToDateTime(s.DbEngineDate);
  // The installed engine is kept when it is as new as the shipped one or newer.
  return !LaterThan(shipped, FileDate(installed));
}

SYSTEMTIME FileDate(const std::string& path) {
  WIN32_FILE_ATTRIBUTE_DATA data;
  FILETIME local;
  SYSTEMTIME date = {};
  if (!GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &data) ||
      !FileTimeToLocalFileTime(&data.ftLastWriteTime, &local) ||
      !FileTimeToSystemTime(&local, &date)) {
    return SYSTEMTIME{};
  }
  date.wDayOfWeek = 0;
  date.wSecond = static_cast<WORD>(date.wSecond - date.wSecond % 2);
  date.wMilliseconds = 0;
  return date;
}

bool LaterThan(const SYSTEMTIME& a, const SYSTEMTIME& b) {
  const auto fields = [](const SYSTEMTIME& t) {
    return std::make_tuple(t.wYear, t.wMonth, t.wDay, t.wHour, t.wMinute, t.wSecond,
                           t.wMilliseconds);
  };
  return fields(a) > fields(b);
}
