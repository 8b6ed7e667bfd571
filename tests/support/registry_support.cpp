#include "support/registry_support.h"

#include "win/handles.h"

#include <sddl.h>
#include <shlwapi.h>

#include <algorithm>
#include <stdexcept>
#include <vector>

namespace {

RegistryKey CreateKey(HKEY root, const std::string& key, REGSAM access) {
  HKEY handle = nullptr;
  if (RegCreateKeyExA(root, key.c_str(), 0, nullptr, 0, access, nullptr, &handle, nullptr) !=
      ERROR_SUCCESS) {
    throw std::runtime_error("cannot create key " + key);
  }
  return RegistryKey(handle);
}

RegistryKey OpenKey(HKEY root, const std::string& key, REGSAM access) {
  HKEY handle = nullptr;
  if (RegOpenKeyExA(root, key.c_str(), 0, access, &handle) != ERROR_SUCCESS) return {};
  return RegistryKey(handle);
}

void SetSecurity(HKEY root, const std::string& key, const char* descriptor) {
  RegistryKey handle = CreateKey(root, key, READ_CONTROL | WRITE_DAC);
  PSECURITY_DESCRIPTOR sd = nullptr;
  if (!ConvertStringSecurityDescriptorToSecurityDescriptorA(descriptor, SDDL_REVISION_1, &sd,
                                                            nullptr)) {
    throw std::runtime_error("bad security descriptor");
  }
  const LONG result = RegSetKeySecurity(handle.Get(), DACL_SECURITY_INFORMATION, sd);
  LocalFree(sd);
  if (result != ERROR_SUCCESS) throw std::runtime_error("cannot secure key " + key);
}

}  // namespace

RawValue StringValue(const std::string& text) { return {REG_SZ, text + std::string(1, '\0')}; }

bool KeyExists(HKEY root, const std::string& key) { return OpenKey(root, key, KEY_READ).Valid(); }

bool QueryValue(HKEY root, const std::string& key, const std::string& name, RawValue& value) {
  RegistryKey handle = OpenKey(root, key, KEY_READ);
  if (!handle) return false;
  DWORD size = 0;
  if (RegQueryValueExA(handle.Get(), name.c_str(), nullptr, &value.Type, nullptr, &size) !=
      ERROR_SUCCESS) {
    return false;
  }
  std::vector<char> data(size + 1);
  if (RegQueryValueExA(handle.Get(), name.c_str(), nullptr, &value.Type,
                       reinterpret_cast<BYTE*>(data.data()), &size) != ERROR_SUCCESS) {
    return false;
  }
  value.Data.assign(data.data(), size);
  return true;
}

std::map<std::string, RawValue> KeyValues(HKEY root, const std::string& key) {
  std::map<std::string, RawValue> values;
  RegistryKey handle = OpenKey(root, key, KEY_READ);
  if (!handle) return values;
  for (DWORD index = 0;; ++index) {
    char name[1024];
    DWORD size = sizeof name;
    if (RegEnumValueA(handle.Get(), index, name, &size, nullptr, nullptr, nullptr, nullptr) !=
        ERROR_SUCCESS) {
      break;
    }
    RawValue value;
    QueryValue(root, key, std::string(name, size), value);
    values[std::string(name, size)] = value;
  }
  return values;
}

void SetRawValue(HKEY root, const std::string& key, const std::string& name, DWORD type,
                 const std::string& bytes) {
  RegistryKey handle = CreateKey(root, key, KEY_ALL_ACCESS);
  if (RegSetValueExA(handle.Get(), name.c_str(), 0, type,
                     reinterpret_cast<const BYTE*>(bytes.data()),
                     static_cast<DWORD>(bytes.size())) != ERROR_SUCCESS) {
    throw std::runtime_error("cannot set value " + name);
  }
}

void DeleteRawValue(HKEY root, const std::string& key, const std::string& name) {
  RegistryKey handle = OpenKey(root, key, KEY_ALL_ACCESS);
  if (handle) RegDeleteValueA(handle.Get(), name.c_str());
}

void DeleteKeyTree(HKEY root, const std::string& key) { SHDeleteKeyA(root, key.c_str()); }

void MakeKeyReadOnly(HKEY root, const std::string& key) {
  SetSecurity(root, key, "D:P(A;;KR;;;WD)");
}

void MakeKeyWritable(HKEY root, const std::string& key) {
  SetSecurity(root, key, "D:P(A;;KA;;;WD)");
}

namespace {

const char kSessionManager[] = "System\\CurrentControlSet\\Control\\Session Manager";
const char kPending[] = "PendingFileRenameOperations";

}  // namespace

void ClearWaitingForRestart() { DeleteRawValue(HKEY_LOCAL_MACHINE, kSessionManager, kPending); }

std::string WaitingForRestart() {
  RawValue value;
  if (!QueryValue(HKEY_LOCAL_MACHINE, kSessionManager, kPending, value)) return "";
  std::string paths;
  for (std::size_t at = 0; at < value.Data.size();) {
    const std::size_t end = std::min(value.Data.find('\0', at), value.Data.size());
    const std::string entry = value.Data.substr(at, end - at);
    if (entry.compare(0, 4, "\\??\\") == 0) paths += entry.substr(4) + "\n";
    at = end + 1;
  }
  return paths;
}
