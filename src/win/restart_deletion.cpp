#include "win/restart_deletion.h"

#include "win/code_page_text.h"
#include "win/handles.h"

#include <windows.h>

#include <utility>
#include <vector>

namespace {

const wchar_t kSessionManager[] = L"System\\CurrentControlSet\\Control\\Session Manager";
const wchar_t kPendingOperations[] = L"PendingFileRenameOperations";

// One entry of the list: the old name and the new one, empty for a deletion.
struct PendingOperation {
  WideString From;
  WideString To;
};

// The list is a string pair after string pair; an empty old name ends it.
std::vector<PendingOperation> ReadOperations(const std::vector<wchar_t>& data) {
  std::vector<PendingOperation> operations;
  std::size_t at = 0;
  auto next = [&](WideString& into) {
    const std::size_t start = at;
    while (at < data.size() && data[at] != L'\0') ++at;
    into.assign(data.data() + start, at - start);
    if (at < data.size()) ++at;
  };
  while (at < data.size()) {
    PendingOperation operation;
    next(operation.From);
    if (operation.From.empty()) break;
    next(operation.To);
    operations.push_back(std::move(operation));
  }
  return operations;
}

WideString Upper(WideString text) {
  if (!text.empty()) CharUpperBuffW(&text[0], static_cast<DWORD>(text.size()));
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

bool WriteOperations(HKEY key, const std::vector<PendingOperation>& operations) {
  if (operations.empty()) return RegDeleteValueW(key, kPendingOperations) == ERROR_SUCCESS;
  std::vector<wchar_t> data;
  for (const PendingOperation& operation : operations) {
    data.insert(data.end(), operation.From.begin(), operation.From.end());
    data.push_back(L'\0');
    data.insert(data.end(), operation.To.begin(), operation.To.end());
    data.push_back(L'\0');
  }
  data.push_back(L'\0');
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
  // The list holds the platform's own form of a path: "\??\" before the drive.
  const WideString named = Upper(WideString(L"\\??\\") + WideFromAnsi(fullPath));
  std::vector<PendingOperation> operations = ReadOperations(data);
  const std::size_t before = operations.size();
  for (std::size_t i = operations.size(); i-- > 0;) {
    if (operations[i].To.empty() && Upper(operations[i].From) == named) {
      operations.erase(operations.begin() + static_cast<std::ptrdiff_t>(i));
    }
  }
  return operations.size() == before || WriteOperations(key.Get(), operations);
}
