// The registry accessor: one root key and at most one current (open) key.
//
// Key paths are resolved the same way everywhere: a path that starts with "\" is
// relative to the root (the "\" is dropped); any other path is relative to the
// current key, or to the root when no key is current.
//
// Every value the kit writes is a REG_SZ string stored with its terminating zero,
// but for the two flags of the entry in the system's list of installed programs.
// Failed writes and reads of the wrong type raise ERegistryException.
//
// Removing a key tree is written on the accessor like this, without a raw HKEY:
//
//   bool DeleteKeyTree(RegistryAccessor& reg, const std::string& path) {
//     if (RegistryKey key = reg.OpenKeyHandle(path)) {   // resolved, not made current
//       CurrentKeyScope scope(reg, std::move(key));      // remembers the current key
//       RegistryKeyInfo info;
//       if (reg.GetKeyInfo(info)) {
//         std::string name;
//         for (DWORD i = info.SubKeyCount; i-- > 0;)      // highest index first
//           if (reg.SubKeyName(i, name)) DeleteKeyTree(reg, name);
//       }
//     }                               // the remembered key is current again, ours closed
//     return reg.DeleteKey(path);     // resolved against that same current key
//   }
#pragma once

#include "win/handles.h"

#include <windows.h>

#include <string>

struct RegistryKeyInfo {
  DWORD SubKeyCount = 0;
  DWORD MaxSubKeyNameLength = 0;  // as the platform reports it (characters, not bytes)
};

class RegistryAccessor {
 public:
  explicit RegistryAccessor(HKEY root = HKEY_LOCAL_MACHINE) : root_(root) {}
  RegistryAccessor(const RegistryAccessor&) = delete;
  RegistryAccessor& operator=(const RegistryAccessor&) = delete;

  HKEY RootKey() const { return root_; }
  bool HasCurrentKey() const { return current_.Valid(); }

  // Opens the key with full access (creating it and its missing parents when
  // canCreate) and makes it current. The previous current key is closed either way,
  // so after a failure there is no current key and the writes that follow fail.
  bool OpenKey(const std::string& path, bool canCreate);
  void CloseKey() { current_.Reset(); }

  // Opens the key with full access without touching the current key.
  // An invalid handle when it cannot be opened.
  RegistryKey OpenKeyHandle(const std::string& path) const;

  // Writes a REG_SZ value into the current key; raises "Failed to set data for '%s'".
  void WriteString(const std::string& name, const std::string& value);
  // The same for a REG_DWORD value (only the entry in the system's program list has any).
  void WriteDword(const std::string& name, DWORD value);

  // A REG_SZ or REG_EXPAND_SZ value of the current key, up to its first zero byte;
  // empty when absent. Any other type raises "Invalid data type for '%s'".
  std::string ReadString(const std::string& name) const;

  bool ValueExists(const std::string& name) const;

  // Information about the current key; false when there is none or the query fails.
  bool GetKeyInfo(RegistryKeyInfo& info) const;

  // The name of the current key's subkey at index; false when it cannot be read.
  // The name is read whatever its length in bytes, also for double-byte names.
  bool SubKeyName(DWORD index, std::string& name) const;

  // Deletes the key (which must have no subkeys); the path resolves as above.
  bool DeleteKey(const std::string& path);

 private:
  friend class CurrentKeyScope;

  struct ResolvedPath {
    HKEY Base;
    std::string Relative;
  };
  ResolvedPath Resolve(const std::string& path) const;

  HKEY root_;
  RegistryKey current_;
};

// Makes an opened key the accessor's current key for the scope's lifetime, then makes
// the key that was current before current again and closes the opened one.
class CurrentKeyScope {
 public:
  CurrentKeyScope(RegistryAccessor& accessor, RegistryKey key);
  ~CurrentKeyScope();
  CurrentKeyScope(const CurrentKeyScope&) = delete;
  CurrentKeyScope& operator=(const CurrentKeyScope&) = delete;

 private:
  RegistryAccessor& accessor_;
  RegistryKey remembered_;
};
