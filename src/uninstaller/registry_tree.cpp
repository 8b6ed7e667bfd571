#include "uninstaller/registry_tree.h"

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

void DeleteRegistryTree(const std::string& keyPath) {
  RegistryAccessor reg(HKEY_LOCAL_MACHINE);
  if (!reg.OpenKeyHandle(keyPath)) return;  // existence test; the handle closes at once
  DeleteKeyTree(reg, keyPath);
}
