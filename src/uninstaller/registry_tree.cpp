#include "uninstaller/registry_tree.h"

#include "uninstaller/uninstall_key_guard.h"

namespace {

// An empty name, or "\" alone, resolves to the base key itself.
bool NamesBaseKey(const std::string& keyPath) { return keyPath.empty() || keyPath == "\\"; }

void DeleteSubKeys(RegistryAccessor& reg) {
  RegistryKeyInfo info;
  if (!reg.GetKeyInfo(info)) return;
  std::string name;
  // Highest index first: removing a subkey never moves one still to be visited.
  for (DWORD index = info.SubKeyCount; index-- > 0;) {
    if (reg.SubKeyName(index, name)) DeleteKeyTree(reg, name);
  }
}

}  // namespace

bool DeleteKeyTree(RegistryAccessor& reg, const std::string& keyPath) {
  if (NamesBaseKey(keyPath)) return false;  // never empty the base key itself
  if (RegistryKey key = reg.OpenKeyHandle(keyPath)) {
    CurrentKeyScope scope(reg, std::move(key));  // restores the current key, closes ours
    DeleteSubKeys(reg);
  }
  return reg.DeleteKey(keyPath);
}

namespace {

void DeleteKeyIfEmpty(RegistryAccessor& reg, const std::string& keyPath) {
  if (!reg.OpenKey(keyPath, false)) return;
  RegistryKeyInfo info;
  const bool empty = reg.GetKeyInfo(info) && info.SubKeyCount == 0 && info.ValueCount == 0;
  reg.CloseKey();
  if (empty) reg.DeleteKey(keyPath);
}

}  // namespace

void DeleteProductKey(const std::string& keyPath, const std::string& ownDirectory) {
  RegistryAccessor reg(HKEY_LOCAL_MACHINE);
  if (!reg.OpenKey(keyPath, false)) return;
  // Only the key that names this very installation.
  if (!NamesInstallDirectory(reg.ReadString("InstallDir"), ownDirectory)) return;
  reg.CloseKey();
  if (!DeleteKeyTree(reg, keyPath)) return;
  std::string parent = keyPath;
  for (int level = 0; level < 2; ++level) {  // the name's key, then the company's
    const std::string::size_type cut = parent.rfind('\\');
    if (cut == std::string::npos || cut == 0) return;
    parent.erase(cut);
    DeleteKeyIfEmpty(reg, parent);
  }
}

void DeleteRegistryTree(const std::string& keyPath) {
  RegistryAccessor reg(HKEY_LOCAL_MACHINE);
  if (!reg.OpenKeyHandle(keyPath)) return;  // existence test; the handle closes at once
  DeleteKeyTree(reg, keyPath);
}
