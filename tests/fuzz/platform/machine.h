// The machine the native fuzz targets run on: a file system in memory, the current
// directory, the system directories and a clock. The functions of the platform
// header (windows.h beside this file) act on it. A target resets it for every input.
#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <vector>

namespace model {

struct MachineEntry {
  std::wstring Path;  // full path as made (its letter case)
  bool Directory = false;
  std::string Data;
  std::uint32_t Attributes = 0;  // as the platform keeps them (directory bit included)
  std::uint64_t WriteTime = 0;   // FILETIME value, UTC
};

class Machine {
 public:
  static Machine& Current();

  // Back to a fresh machine: the directories C:\, C:\WINDOWS, C:\WINDOWS\SYSTEM32,
  // the medium C:\MEDIUM, the current directory C:\WORK and the network share
  // \\SRV\SHARE; no open handles; the clock at 2026-12-07 10:00:00.
  void Reset();

  // The path made absolute and normalised as the platform does (separators, "." and
  // ".." components, a drive-relative or rooted path against the current
  // directory); empty when it names nothing.
  std::wstring FullPath(const std::wstring& path) const;
  const std::wstring& CurrentDirectory() const { return currentDirectory_; }

  // What a path names (made full first), or null. A full path is never made full
  // again: as on the platform, that may change it ("a..\b" is "a.\b", then "a\b").
  MachineEntry* Find(const std::wstring& path) { return At(FullPath(path)); }
  MachineEntry* At(const std::wstring& fullPath);
  bool ParentExists(const std::wstring& fullPath);
  // Creates or replaces a file (its directory must exist); false otherwise.
  bool PutFile(const std::wstring& path, const std::string& data) {
    return PutFileAt(FullPath(path), data);
  }
  bool PutFileAt(const std::wstring& fullPath, const std::string& data);
  bool MakeDirectory(const std::wstring& path);
  bool RemoveAt(const std::wstring& fullPath);
  // Everything below the directory (not the directory itself), in path order.
  std::vector<const MachineEntry*> Below(const std::wstring& fullDirectory) const;
  const std::map<std::wstring, MachineEntry>& Entries() const { return entries_; }

  std::uint64_t Now() const { return now_; }

  // The Windows directory (C:\WINDOWS after a reset); the system directory is its
  // SYSTEM32. A target may make it longer than MAX_PATH.
  std::string WindowsDirectory;

  // The registry below HKEY_LOCAL_MACHINE: keys, and their text values. Paths and
  // value names are names joined by "\" ("" is the root), compared without regard to
  // the case of ASCII letters.
  bool MakeKey(const std::string& path);  // with its missing parents
  bool KeyExists(const std::string& path) const;
  std::vector<std::string> SubKeys(const std::string& path) const;  // names, sorted
  bool RemoveKey(const std::string& path);                          // fails while it has subkeys
  std::vector<std::string> Keys() const;                            // every key's path, as made
  bool SetValue(const std::string& key, const std::string& name, const std::string& data);
  const std::string* Value(const std::string& key, const std::string& name) const;  // or null
  std::size_t ValueCount(const std::string& key) const;
  void* OpenKey(const std::string& path);
  const std::string* KeyOf(void* handle) const;  // null for no open key
  bool CloseKey(void* handle);

  // Open files and searches: the handle is an index into these.
  struct OpenFile {
    std::wstring Key;
    std::uint64_t Position = 0;
    bool Write = false;
    bool Search = false;
    std::vector<std::wstring> Found;  // a search's names, the next one first
  };
  void* Open(OpenFile file);
  OpenFile* Handle(void* handle);
  bool Close(void* handle);
  std::size_t OpenHandles() const;  // files, searches and keys

 private:
  static std::wstring Key(const std::wstring& fullPath);

  std::map<std::wstring, MachineEntry> entries_;  // by upper-cased full path
  std::wstring currentDirectory_;
  std::uint64_t now_ = 0;
  std::vector<OpenFile> handles_;
  std::vector<bool> open_;
  std::map<std::string, std::string> keys_;  // by upper-cased path: the path as made
  std::map<std::string, std::map<std::string, std::string>> values_;  // upper-cased both
  std::vector<std::string> keyHandles_;
  std::vector<bool> keyOpen_;
};

// UTF-16 of code page 949 text and back, as the platform converts (the model's).
std::wstring Wide(const std::string& text);
std::string Narrow(const std::wstring& text);

}  // namespace model
