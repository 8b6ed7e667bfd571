#include "contracts/registry_snapshot.h"

#include "win/handles.h"

#include <windows.h>

#include <vector>

namespace {

RegistryKey OpenKey(const std::string& path, REGSAM access) {
  HKEY key = nullptr;
  if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, path.c_str(), 0, access, &key) != ERROR_SUCCESS) {
    return RegistryKey(nullptr);
  }
  return RegistryKey(key);
}

std::vector<std::string> SubKeyNames(HKEY key) {
  std::vector<std::string> names;
  char name[256];
  for (DWORD i = 0;; ++i) {
    DWORD length = sizeof name;
    if (RegEnumKeyExA(key, i, name, &length, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS) {
      break;
    }
    names.emplace_back(name, length);
  }
  return names;
}

void AddField(std::string& out, const std::string& text) {
  out += text;
  out += '\0';
}

void AddNumber(std::string& out, DWORD value) {
  out.append(reinterpret_cast<const char*>(&value), sizeof value);
}

// Per key "K" relative-path NUL, per value "V" relative-path NUL name NUL type size data.
void AddTree(const std::string& path, const std::string& relative, std::string& out) {
  RegistryKey key = OpenKey(path, KEY_READ);
  if (!key) return;
  out += 'K';
  AddField(out, relative);
  char name[16384];
  std::string data(1 << 16, '\0');
  for (DWORD i = 0;;) {
    DWORD nameLength = sizeof name;
    DWORD type = 0;
    DWORD size = static_cast<DWORD>(data.size());
    const LONG status = RegEnumValueA(key.Get(), i, name, &nameLength, nullptr, &type,
                                      reinterpret_cast<BYTE*>(data.data()), &size);
    if (status == ERROR_MORE_DATA) {
      data.resize(size + 1);
      continue;
    }
    if (status != ERROR_SUCCESS) break;
    out += 'V';
    AddField(out, relative);
    AddField(out, std::string(name, nameLength));
    AddNumber(out, type);
    AddNumber(out, size);
    out.append(data, 0, size);
    ++i;
  }
  for (const std::string& sub : SubKeyNames(key.Get())) {
    AddTree(path + "\\" + sub, relative.empty() ? sub : relative + "\\" + sub, out);
  }
}

// Reads what AddField and AddNumber wrote at at; false past the end.
bool ReadField(const std::string& in, std::size_t& at, std::string& field) {
  const std::size_t end = in.find('\0', at);
  if (end == std::string::npos) return false;
  field = in.substr(at, end - at);
  at = end + 1;
  return true;
}

bool ReadNumber(const std::string& in, std::size_t& at, DWORD& value) {
  if (in.size() - at < sizeof value) return false;
  in.copy(reinterpret_cast<char*>(&value), sizeof value, at);
  at += sizeof value;
  return true;
}

}  // namespace

std::string HexOf(const std::string& bytes) {
  std::string hex;
  hex.reserve(bytes.size() * 2);
  for (const unsigned char c : bytes) {
    for (const int digit : {c >> 4, c & 15}) {
      hex += static_cast<char>(digit < 10 ? '0' + digit : 'A' + digit - 10);
    }
  }
  return hex;
}

bool BytesOfHex(const std::string& hex, std::string& bytes) {
  const auto digit = [](char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
  };
  if (hex.size() % 2 != 0) return false;
  bytes.clear();
  for (std::string::size_type i = 0; i < hex.size(); i += 2) {
    const int high = digit(hex[i]);
    const int low = digit(hex[i + 1]);
    if (high < 0 || low < 0) return false;
    bytes += static_cast<char>(high * 16 + low);
  }
  return true;
}

bool KeyExists(const std::string& path) { return static_cast<bool>(OpenKey(path, KEY_READ)); }

std::string SnapshotKeyTree(const std::string& path) {
  std::string out;
  AddTree(path, std::string(), out);
  return out;
}

bool DeleteKeyTreeAt(const std::string& path) {
  if (RegistryKey key = OpenKey(path, KEY_READ)) {
    for (const std::string& sub : SubKeyNames(key.Get())) DeleteKeyTreeAt(path + "\\" + sub);
  }
  RegDeleteKeyA(HKEY_LOCAL_MACHINE, path.c_str());
  return !KeyExists(path);
}

bool RestoreKeyTree(const std::string& path, const std::string& snapshot) {
  if (!DeleteKeyTreeAt(path)) return false;
  std::size_t at = 0;
  std::string relative, name;
  while (at < snapshot.size()) {
    const char kind = snapshot[at++];
    DWORD type = 0, size = 0;
    if ((kind != 'K' && kind != 'V') || !ReadField(snapshot, at, relative)) return false;
    if (kind == 'V' && (!ReadField(snapshot, at, name) || !ReadNumber(snapshot, at, type) ||
                        !ReadNumber(snapshot, at, size) || snapshot.size() - at < size)) {
      return false;
    }
    HKEY created = nullptr;
    const std::string keyPath = relative.empty() ? path : path + "\\" + relative;
    if (RegCreateKeyExA(HKEY_LOCAL_MACHINE, keyPath.c_str(), 0, nullptr, 0, KEY_WRITE, nullptr,
                        &created, nullptr) != ERROR_SUCCESS) {
      return false;
    }
    RegistryKey key(created);
    if (kind == 'V' && RegSetValueExA(key.Get(), name.c_str(), 0, type,
                                      reinterpret_cast<const BYTE*>(snapshot.data() + at),
                                      size) != ERROR_SUCCESS) {
      return false;
    }
    if (kind == 'V') at += size;
  }
  return true;
}
