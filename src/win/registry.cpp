#include "win/registry.h"

#include "win/errors.h"

#include <cstring>
#include <vector>

namespace {

// A key name has at most 255 characters; in a double-byte code page that is up to
// 510 bytes, more than the character count the platform reports as the longest.
constexpr DWORD kKeyNameBufferSize = 1024;

// Value data can change between the size query and the read; give up after a few tries.
constexpr int kReadAttempts = 4;

std::string Quoted(const char* format, const std::string& name) {
  std::string message = format;
  message.replace(message.find("%s"), 2, name);
  return message;
}

}  // namespace

RegistryAccessor::ResolvedPath RegistryAccessor::Resolve(const std::string& path) const {
  if (!path.empty() && path[0] == '\\') return {root_, path.substr(1)};
  return {current_ ? current_.Get() : root_, path};
}

bool RegistryAccessor::OpenKey(const std::string& path, bool canCreate) {
  const ResolvedPath resolved = Resolve(path);
  HKEY key = nullptr;
  LONG result;
  if (canCreate) {
    DWORD disposition = 0;
    result = RegCreateKeyExA(resolved.Base, resolved.Relative.c_str(), 0, nullptr,
                             REG_OPTION_NON_VOLATILE, KEY_ALL_ACCESS, nullptr, &key, &disposition);
  } else {
    result = RegOpenKeyExA(resolved.Base, resolved.Relative.c_str(), 0, KEY_ALL_ACCESS, &key);
  }
  // The base may be the current key itself: replace it only after the call.
  current_.Reset(result == ERROR_SUCCESS ? key : nullptr);
  return current_.Valid();
}

RegistryKey RegistryAccessor::OpenKeyHandle(const std::string& path) const {
  const ResolvedPath resolved = Resolve(path);
  HKEY key = nullptr;
  if (RegOpenKeyExA(resolved.Base, resolved.Relative.c_str(), 0, KEY_ALL_ACCESS, &key) !=
      ERROR_SUCCESS) {
    return RegistryKey();
  }
  return RegistryKey(key);
}

void RegistryAccessor::WriteString(const std::string& name, const std::string& value) {
  // With no current key there is nowhere to write: that is a failed write too.
  const LONG result = current_ ? RegSetValueExA(current_.Get(), name.c_str(), 0, REG_SZ,
                                                reinterpret_cast<const BYTE*>(value.c_str()),
                                                static_cast<DWORD>(value.size() + 1))
                               : ERROR_INVALID_HANDLE;
  if (result != ERROR_SUCCESS) {
    throw ERegistryException(Quoted("Failed to set data for '%s'", name));
  }
}

void RegistryAccessor::WriteDword(const std::string& name, DWORD value) {
  const LONG result = current_ ? RegSetValueExA(current_.Get(), name.c_str(), 0, REG_DWORD,
                                                reinterpret_cast<const BYTE*>(&value), sizeof value)
                               : ERROR_INVALID_HANDLE;
  if (result != ERROR_SUCCESS) {
    throw ERegistryException(Quoted("Failed to set data for '%s'", name));
  }
}

std::string RegistryAccessor::ReadString(const std::string& name) const {
  if (!current_) return std::string();  // no key, no value
  for (int attempt = 0; attempt < kReadAttempts; ++attempt) {
    DWORD type = REG_NONE;
    DWORD size = 0;
    if (RegQueryValueExA(current_.Get(), name.c_str(), nullptr, &type, nullptr, &size) !=
        ERROR_SUCCESS) {
      return std::string();
    }
    if (type != REG_SZ && type != REG_EXPAND_SZ) {
      throw ERegistryException(Quoted("Invalid data type for '%s'", name));
    }
    std::vector<char> data(size + 1, '\0');  // one more: the stored text may lack its zero
    DWORD got = size;
    const LONG result = RegQueryValueExA(current_.Get(), name.c_str(), nullptr, &type,
                                         reinterpret_cast<BYTE*>(data.data()), &got);
    if (result == ERROR_MORE_DATA) continue;
    if (result != ERROR_SUCCESS) return std::string();
    if (type != REG_SZ && type != REG_EXPAND_SZ) {
      throw ERegistryException(Quoted("Invalid data type for '%s'", name));
    }
    return std::string(data.data(), strnlen(data.data(), got < size ? got : size));
  }
  return std::string();
}

bool RegistryAccessor::ValueExists(const std::string& name) const {
  return current_ && RegQueryValueExA(current_.Get(), name.c_str(), nullptr, nullptr, nullptr,
                                      nullptr) == ERROR_SUCCESS;
}

bool RegistryAccessor::GetKeyInfo(RegistryKeyInfo& info) const {
  if (!current_) return false;
  info = RegistryKeyInfo();
  return RegQueryInfoKeyA(current_.Get(), nullptr, nullptr, nullptr, &info.SubKeyCount,
                          &info.MaxSubKeyNameLength, nullptr, nullptr, nullptr, nullptr, nullptr,
                          nullptr) == ERROR_SUCCESS;
}

bool RegistryAccessor::SubKeyName(DWORD index, std::string& name) const {
  if (!current_) return false;
  char buffer[kKeyNameBufferSize];
  DWORD size = sizeof buffer;
  if (RegEnumKeyExA(current_.Get(), index, buffer, &size, nullptr, nullptr, nullptr, nullptr) !=
      ERROR_SUCCESS) {
    return false;
  }
  name.assign(buffer, strnlen(buffer, size < sizeof buffer ? size : sizeof buffer));
  return true;
}

bool RegistryAccessor::DeleteKey(const std::string& path) {
  const ResolvedPath resolved = Resolve(path);
  // An empty name would make the platform delete the base key itself.
  if (resolved.Relative.empty()) return false;
  return RegDeleteKeyA(resolved.Base, resolved.Relative.c_str()) == ERROR_SUCCESS;
}

CurrentKeyScope::CurrentKeyScope(RegistryAccessor& accessor, RegistryKey key)
    : accessor_(accessor), remembered_(std::move(accessor.current_)) {
  accessor_.current_ = std::move(key);
}

CurrentKeyScope::~CurrentKeyScope() { accessor_.current_ = std::move(remembered_); }
