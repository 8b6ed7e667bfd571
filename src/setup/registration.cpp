#include "setup/registration.h"

#include "setup/date_settings.h"
#include "setup/install_settings.h"
#include "shared/install_log.h"
#include "shared/registry.h"

#include <windows.h>

namespace {}  // namespace

void RegisterInstallation(TInstallLog& log) {
  const TInstallSettings& s = InstallSettings;
  log.Add(kRegTag, kUninstallKeyPrefix + s.ProductTitle);

  RegistryAccessor reg;
  const std::string productKey =
      "Software\\" + s.CompanyName + "\\" + s.ProductName + "\\" + s.ProductVersion;
  if (!reg.OpenKey(productKey, true)) return;  // no right to write there: not an error
  SYSTEMTIME today;
  GetLocalTime(&today);
  reg.WriteString("InstallDir", s.InstallDir);
  reg.WriteString("InstallDate", FormatShortDate(today));
}
