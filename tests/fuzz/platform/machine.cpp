#include "machine.h"

#include "code_pages.h"

namespace model {

namespace {

// 2026-12-07 10:00:00 UTC in 100-nanosecond steps since 1601.
constexpr std::uint64_t kStartTime = 134411112000000000ull;

bool IsSeparator(wchar_t c) { return c == L'\\' || c == L'/'; }

bool IsDriveLetter(wchar_t c) { return (c >= L'A' && c <= L'Z') || (c >= L'a' && c <= L'z'); }

// The components after the root, "." dropped and ".." taking one back, as the
// platform resolves them (text/full_path_rules.h holds the rules checked on Wine).
std::wstring NormalisedTail(const std::wstring& tail) {
  std::vector<std::wstring> parts;
  std::wstring part;
  auto flush = [&] {
    if (part == L"..") {
      if (!parts.empty()) parts.pop_back();
    } else if (!part.empty() && part != L".") {
      parts.push_back(part);
    }
    part.clear();
  };
  for (wchar_t c : tail) {
    if (IsSeparator(c)) {
      // An inner name loses the dot that ends it ("a.\b" is "a\b").
      if (part.size() > 1 && part.back() == L'.' && part != L"..") part.pop_back();
      flush();
    } else {
      part += c;
    }
  }
  const bool trailing = !tail.empty() && IsSeparator(tail.back());
  flush();
  std::wstring result;
  for (std::size_t i = 0; i < parts.size(); ++i) result += (i ? L"\\" : L"") + parts[i];
  // The last name loses trailing dots and blanks, as on the platform.
  while (!result.empty() && (result.back() == L'.' || result.back() == L' ') &&
         result.find_last_of(L'\\') != result.size() - 1) {
    result.pop_back();
  }
  if (trailing && !result.empty()) result += L'\\';
  return result;
}

}  // namespace

Machine& Machine::Current() {
  static Machine machine = [] {
    Machine fresh;
    fresh.Reset();
    return fresh;
  }();
  return machine;
}

void Machine::Reset() {
  entries_.clear();
  handles_.clear();
  open_.clear();
  keys_ = {{"", ""}};
  keyHandles_.clear();
  keyOpen_.clear();
  now_ = kStartTime;
  currentDirectory_ = L"C:\\WORK";
  WindowsDirectory = "C:\\WINDOWS";
  for (const wchar_t* dir :
       {L"C:\\", L"C:\\WINDOWS", L"C:\\WINDOWS\\SYSTEM32", L"C:\\WORK", L"C:\\MEDIUM"}) {
    MakeDirectory(dir);
  }
  MachineEntry& share = entries_[Key(L"\\\\SRV\\SHARE")];  // a network share's root
  share.Path = L"\\\\SRV\\SHARE";
  share.Directory = true;
  share.Attributes = 0x10;
}

std::wstring Machine::Key(const std::wstring& fullPath) {
  std::wstring key = fullPath;
  for (wchar_t& c : key) {
    if (c >= L'a' && c <= L'z') c = static_cast<wchar_t>(c - L'a' + L'A');
  }
  if (key.size() > 3 && key.back() == L'\\') key.pop_back();
  return key;
}

std::wstring Machine::FullPath(const std::wstring& path) const {
  if (path.empty()) return std::wstring();
  // "\\?\" hands the rest over as it is, a network path as "\\?\UNC\server\share".
  if (path.compare(0, 8, L"\\\\?\\UNC\\") == 0) return L"\\\\" + path.substr(8);
  if (path.compare(0, 4, L"\\\\?\\") == 0) return path.substr(4);
  std::wstring root;
  std::wstring tail;
  if (path.size() >= 2 && IsSeparator(path[0]) && IsSeparator(path[1])) {
    // \\server\share: the share is part of the root.
    const std::size_t server = path.find_first_of(L"\\/", 2);
    const std::size_t share =
        server == std::wstring::npos ? server : path.find_first_of(L"\\/", server + 1);
    root = L"\\\\" + path.substr(2, server == std::wstring::npos ? server : server - 2);
    if (server != std::wstring::npos) {
      root +=
          L"\\" + path.substr(server + 1, share == std::wstring::npos ? share : share - server - 1);
    }
    const std::wstring rest =
        NormalisedTail(share == std::wstring::npos ? std::wstring() : path.substr(share + 1));
    return rest.empty() ? root : root + L"\\" + rest;
  }
  if (path.size() >= 2 && IsDriveLetter(path[0]) && path[1] == L':') {
    root = path.substr(0, 2);
    tail = path.substr(2);
    if (tail.empty() || !IsSeparator(tail[0])) {
      // Drive-relative: against the current directory when it is on that drive.
      const bool here = Key(root) == Key(currentDirectory_.substr(0, 2));
      tail = (here ? currentDirectory_.substr(2) : std::wstring()) + L"\\" + tail;
    }
  } else if (IsSeparator(path[0])) {
    root = currentDirectory_.substr(0, 2);
    tail = path;
  } else {
    root = currentDirectory_.substr(0, 2);
    tail = currentDirectory_.substr(2) + L"\\" + path;
  }
  root[0] = static_cast<wchar_t>(root[0] >= L'a' ? root[0] - L'a' + L'A' : root[0]);
  return root + L"\\" + NormalisedTail(tail);
}

MachineEntry* Machine::At(const std::wstring& fullPath) {
  if (fullPath.empty()) return nullptr;
  const auto found = entries_.find(Key(fullPath));
  return found == entries_.end() ? nullptr : &found->second;
}

bool Machine::ParentExists(const std::wstring& fullPath) {
  std::wstring path = fullPath;
  if (path.size() > 3 && path.back() == L'\\') path.pop_back();
  const auto cut = path.find_last_of(L'\\');
  if (cut == std::wstring::npos || cut + 1 == path.size()) return false;
  const MachineEntry* entry = At(path.substr(0, cut == 2 ? 3 : cut));
  return entry && entry->Directory;
}

bool Machine::PutFileAt(const std::wstring& full, const std::string& data) {
  if (full.empty() || !ParentExists(full)) return false;
  MachineEntry& entry = entries_[Key(full)];
  if (entry.Directory) return false;
  entry.Path = full;
  entry.Data = data;
  entry.Attributes = 0x20;  // archive
  entry.WriteTime = now_;
  return true;
}

bool Machine::MakeDirectory(const std::wstring& path) {
  const std::wstring full = FullPath(path);
  const bool root = full.size() == 3;
  if (full.empty() || At(full) || (!root && !ParentExists(full))) return false;
  MachineEntry& entry = entries_[Key(full)];
  entry.Path = full;
  entry.Directory = true;
  entry.Attributes = 0x10;
  entry.WriteTime = now_;
  return true;
}

bool Machine::RemoveAt(const std::wstring& full) {
  return !full.empty() && entries_.erase(Key(full)) == 1;
}

std::vector<const MachineEntry*> Machine::Below(const std::wstring& directory) const {
  std::wstring prefix = Key(directory);
  if (prefix.empty()) return {};
  if (prefix.back() != L'\\') prefix += L'\\';
  std::vector<const MachineEntry*> below;
  for (auto it = entries_.lower_bound(prefix);
       it != entries_.end() && it->first.compare(0, prefix.size(), prefix) == 0; ++it) {
    below.push_back(&it->second);
  }
  return below;
}

void* Machine::Open(OpenFile file) {
  handles_.push_back(std::move(file));
  open_.push_back(true);
  return reinterpret_cast<void*>(static_cast<std::uintptr_t>(0x1000 + 4 * (handles_.size() - 1)));
}

Machine::OpenFile* Machine::Handle(void* handle) {
  const auto value = reinterpret_cast<std::uintptr_t>(handle);
  if (value < 0x1000 || value % 4 != 0) return nullptr;
  const std::size_t index = (value - 0x1000) / 4;
  return index < handles_.size() && open_[index] ? &handles_[index] : nullptr;
}

bool Machine::Close(void* handle) {
  if (!Handle(handle)) return false;
  open_[(reinterpret_cast<std::uintptr_t>(handle) - 0x1000) / 4] = false;
  return true;
}

std::size_t Machine::OpenHandles() const {
  std::size_t count = 0;
  for (bool open : open_) count += open;
  for (bool open : keyOpen_) count += open;
  return count;
}

namespace {

std::string UpperKey(std::string path) {
  for (char& c : path) {
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  }
  return path;
}

std::string ParentKey(const std::string& path) {
  const auto cut = path.rfind('\\');
  return cut == std::string::npos ? std::string() : path.substr(0, cut);
}

}  // namespace

bool Machine::MakeKey(const std::string& path) {
  if (KeyExists(path)) return true;
  if (!path.empty() && !MakeKey(ParentKey(path))) return false;
  keys_[UpperKey(path)] = path;
  return true;
}

bool Machine::KeyExists(const std::string& path) const { return keys_.count(UpperKey(path)) == 1; }

std::vector<std::string> Machine::SubKeys(const std::string& path) const {
  const std::string prefix = path.empty() ? std::string() : UpperKey(path) + "\\";
  std::vector<std::string> names;
  for (auto it = keys_.lower_bound(prefix); it != keys_.end(); ++it) {
    if (it->first.compare(0, prefix.size(), prefix) != 0) break;
    if (it->first.size() == prefix.size()) continue;  // the root itself
    const std::string rest = it->second.substr(prefix.size());
    if (rest.find('\\') == std::string::npos) names.push_back(rest);
  }
  return names;
}

bool Machine::RemoveKey(const std::string& path) {
  if (path.empty() || !KeyExists(path) || !SubKeys(path).empty()) return false;
  keys_.erase(UpperKey(path));
  return true;
}

std::vector<std::string> Machine::Keys() const {
  std::vector<std::string> paths;
  for (const auto& key : keys_) paths.push_back(key.second);
  return paths;
}

void* Machine::OpenKey(const std::string& path) {
  keyHandles_.push_back(keys_.at(UpperKey(path)));
  keyOpen_.push_back(true);
  return reinterpret_cast<void*>(
      static_cast<std::uintptr_t>(0x40000000 + 4 * (keyHandles_.size() - 1)));
}

const std::string* Machine::KeyOf(void* handle) const {
  const auto value = reinterpret_cast<std::uintptr_t>(handle);
  if (value < 0x40000000 || value % 4 != 0) return nullptr;
  const std::size_t index = (value - 0x40000000) / 4;
  if (index >= keyHandles_.size() || !keyOpen_[index]) return nullptr;
  return &keyHandles_[index];
}

bool Machine::CloseKey(void* handle) {
  if (!KeyOf(handle)) return false;
  keyOpen_[(reinterpret_cast<std::uintptr_t>(handle) - 0x40000000) / 4] = false;
  return true;
}

std::wstring Wide(const std::string& text) {
  std::wstring wide;
  ToUtf16(kCodePage949, text, false, wide);
  return wide;
}

std::string Narrow(const std::wstring& text) {
  std::string narrow;
  bool usedDefault = false;
  FromUtf16(kCodePage949, text, false, narrow, usedDefault);
  return narrow;
}

}  // namespace model
