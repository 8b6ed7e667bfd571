#include "win/restart_deletion.h"

#include "win/code_page_text.h"
#include "win/handles.h"

#include <windows.h>

#include <vector>

namespace {

const wchar_t kSessionManager[] = L"System\\CurrentControlSet\\Control\\Session Manager";
const wchar_t kPendingOperations[] = L"PendingFileRenameOperations";

// The string that starts at `at` (empty at the end); `at` moves past its zero.
const wchar_t* NextString(const std::vector<wchar_t>& data, std::size_t& at) {
  if (at >= data.size()) return L"";
  const wchar_t* text = data.data() + at;
  while (at < data.size() && data[at] != L'\0') ++at;
  if (at < data.size()) ++at;
  return text;
}

bool QueryOperations(HKEY key, std::vector<wchar_t>& data) {
  for (int attempt = 0; attempt < 3; ++attempt) {  // the list may grow between the calls
    DWORD type = 0;
    DWORD bytes = 0;
    LONG result = RegQueryValueExW(key, kPendingOperations, nullptr, &type, nullptr, &bytes);
    if (result == ERROR_FILE_NOT_FOUND) return true;
    if (result != ERROR_SUCCESS || type != REG_MULTI_SZ) return false;
    data.assign(bytes / sizeof(wchar_t) + 1, L'\0');
    result = RegQueryValueExW(key, kPendingOperations, nullptr, &type,
                              reinterpret_cast<BYTE*>(data.data()), &bytes);
    if (result == ERROR_SUCCESS) {
      data.resize(bytes / sizeof(wchar_t));
      return true;
    }
    if (result != ERROR_MORE_DATA) return false;
  }
  return false;
}

bool WriteOperations(HKEY key, const std::vector<wchar_t>& data) {
  if (data.size() <= 1) return RegDeleteValueW(key, kPendingOperations) == ERROR_SUCCESS;
  return RegSetValueExW(key, kPendingOperations, 0, REG_MULTI_SZ,
                        reinterpret_cast<const BYTE*>(data.data()),
                        static_cast<DWORD>(data.size() * sizeof(wchar_t))) == ERROR_SUCCESS;
}

}  // namespace

bool CancelRestartDeletion(const std::string& fullPath) {
  HKEY opened = nullptr;
  if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, kSessionManager, 0, KEY_QUERY_VALUE | KEY_SET_VALUE,
                    &opened) != ERROR_SUCCESS) {
    return false;
  }
  const RegistryKey key(opened);
  std::vector<wchar_t> data;
  if (!QueryOperations(key.Get(), data)) return false;
  data.push_back(L'\0');  // every string below ends with a zero, also a cut last one
  // The list holds the platform's own form of a path: "\??\" before the drive.
  const WideString named = WideString(L"\\??\\") + WideFromAnsi(fullPath);
  // Pairs of an old name and a new one, empty for a deletion; an empty old name ends it.
  std::vector<wchar_t> kept;
  bool found = false;
  for (std::size_t at = 0; at + 1 < data.size();) {
    const std::size_t from = at;
    if (!*NextString(data, at)) break;
    if (at + 1 >= data.size()) {  // an old name without a new one: kept as it stands
      kept.insert(kept.end(), data.begin() + static_cast<std::ptrdiff_t>(from), data.end() - 1);
      break;
    }
    const wchar_t* to = NextString(data, at);
    if (!*to && lstrcmpiW(data.data() + from, named.c_str()) == 0) {
      found = true;
      continue;
    }
    kept.insert(kept.end(), data.begin() + static_cast<std::ptrdiff_t>(from),
                data.begin() + static_cast<std::ptrdiff_t>(at));
  }
  kept.push_back(L'\0');
  return !found || WriteOperations(key.Get(), kept);
}
