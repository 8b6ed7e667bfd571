#include "setup/registration.h"

#include "contracts/install_log.h"
#include "setup/date_settings.h"
#include "setup/install_settings.h"
#include "setup/path_macros.h"
#include "text/text.h"
#include "win/errors.h"
#include "win/registry.h"

#include <windows.h>

namespace {

// An empty title would name the Uninstall key itself, one with "\" a nested key.
bool MakesAKeyOfItsOwn(const std::string& title) {
  return !title.empty() && title.find('\\') == std::string::npos;
}

}  // namespace

void AddUninstallKeyLine(TInstallLog& log) {
  log.Add(kRegTag, kUninstallKeyPrefix + InstallSettings.ProductTitle);
}

void RegisterInstallation(TInstallLog& log) {
  const TInstallSettings& s = InstallSettings;
  AddUninstallKeyLine(log);

  RegistryAccessor reg;
  const std::string productKey =
      "Software\\" + s.CompanyName + "\\" + s.ProductName + "\\" + s.ProductVersion;
  if (!reg.OpenKey(productKey, true)) return;  // no right to write there: not an error
  SYSTEMTIME today;
  GetLocalTime(&today);
  reg.WriteString("InstallDir", s.InstallDir);
  reg.WriteString("InstallDate", FormatShortDate(today));
}

bool WantsUninstallEntry(bool uninstallerCopied) {
  const TInstallSettings& s = InstallSettings;
  return UpperAscii(s.UninstallEntry) == "YES" && uninstallerCopied &&
         MakesAKeyOfItsOwn(s.ProductTitle);
}

void RegisterUninstallEntry(bool uninstallerCopied) {
  const TInstallSettings& s = InstallSettings;
  if (!WantsUninstallEntry(uninstallerCopied)) return;
  RegistryAccessor reg;
  if (!reg.OpenKey(kUninstallKeyPrefix + s.ProductTitle, true)) return;
  const auto text = [&](const char* name, const std::string& value) {
    RunIgnoringErrors([&] { reg.WriteString(name, value); });
  };
  text("DisplayName", s.ProductTitle);
  text("UninstallString", "\"" + ExpandPath(kUninstallerLinkTarget) + "\"");
  text("DisplayVersion", s.ProductVersion);
  text("Publisher", s.CompanyName);
  text("InstallLocation", s.InstallDir);
  if (s.IconCount > 0 && !s.IconEntries[0].Target.empty()) {
    text("DisplayIcon", ExpandPath(s.IconEntries[0].Target));
  }
  RunIgnoringErrors([&] { reg.WriteDword("NoModify", 1); });
  RunIgnoringErrors([&] { reg.WriteDword("NoRepair", 1); });
}
