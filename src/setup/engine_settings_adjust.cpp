#include "setup/engine_settings_adjust.h"

#include "contracts/engine_settings.h"
#include "text/text.h"
#include "win/registry.h"

namespace {

const char kLanguageDriver[] = "LANGDRIVER";
constexpr int kMaxLocaleLibraries = 8;

}  // namespace

void SetLanguageDriver(short kind, const std::string& driverName) {
  RegistryAccessor reg;
  if (kind == kParadoxDriver) {
    reg.OpenKey(kParadoxDriverInitKey, true);
    reg.WriteString(kLanguageDriver, driverName);
    reg.CloseKey();
    reg.OpenKey(kEngineSystemInitKey, true);
    reg.WriteString(kLanguageDriver, driverName);
  } else if (kind == kDbaseDriver) {
    reg.OpenKey(kDbaseDriverInitKey, true);
    reg.WriteString(kLanguageDriver, driverName);
  }
}

void SetEnginePaths(const std::string& engineDir, const std::string& configFileName) {
  RegistryAccessor reg;
  reg.OpenKey(kEngineLibraryKey, false);  // a missing key makes the first write raise
  reg.WriteString("BLAPIPATH", engineDir);
  for (int n = 1; n <= kMaxLocaleLibraries; ++n) {
    const std::string name = "LOCALE_LIB" + std::to_string(n);
    if (!reg.ValueExists(name)) break;  // values after a gap are not visited
    reg.WriteString(name, engineDir + "\\" + FileNamePart(reg.ReadString(name)));
  }
  reg.CloseKey();
  reg.OpenKey(kEngineKey, false);
  reg.WriteString("CONFIGFILE01", engineDir + "\\" + configFileName);
  reg.WriteString("DLLPATH", engineDir);
}
