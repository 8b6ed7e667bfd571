#include "uninstaller/removal_passes.h"

#include "contracts/install_log.h"
#include "text/text.h"
#include "uninstaller/registry_tree.h"
#include "uninstaller/uninstall_key_guard.h"
#include "win/errors.h"
#include "win/handles.h"
#include "win/long_path.h"

#include <windows.h>

namespace {

// Clears the read-only mark of a logged file or empty directory for one more try;
// the mark is put back when that try fails too.
template <typename Remove>
void RetryWithoutReadOnly(const WideString& path, DWORD attributes, Remove remove) {
  if (!SetFileAttributesW(path.c_str(), attributes & ~FILE_ATTRIBUTE_READONLY)) return;
  if (!remove()) SetFileAttributesW(path.c_str(), attributes);
}

bool IsEmptyDirectory(const std::string& fullPath) {
  const std::string pattern = fullPath + (EndsWith(fullPath, "\\") ? "*" : "\\*");
  WIN32_FIND_DATAW found;
  FindHandle search(FindFirstFileW(WideFilePath(pattern).c_str(), &found));
  if (!search) return false;
  do {
    const WideString name = found.cFileName;
    if (name != L"." && name != L"..") return false;
  } while (FindNextFileW(search.Get(), &found));
  return true;
}

}  // namespace

// The common path is one call per file; only a refusal of a read-only file costs more.
void SystemRemovalSteps::DeleteLoggedFile(const std::string& fullPath) {
  const WideString path = WideFilePath(fullPath);
  if (DeleteFileW(path.c_str()) || GetLastError() != ERROR_ACCESS_DENIED) return;
  const DWORD attributes = GetFileAttributesW(path.c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_DIRECTORY) ||
      !(attributes & FILE_ATTRIBUTE_READONLY)) {
    return;
  }
  RetryWithoutReadOnly(path, attributes, [&] { return DeleteFileW(path.c_str()) != FALSE; });
}

// A read-only mark on a folder is mostly the shell's customisation flag, not a
// protection: it is touched only when the folder is empty and its removal failed.
void SystemRemovalSteps::RemoveLoggedDirectory(const std::string& fullPath) {
  const WideString path = WideFilePath(fullPath);
  if (RemoveDirectoryW(path.c_str())) return;
  const DWORD attributes = GetFileAttributesW(path.c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES || !(attributes & FILE_ATTRIBUTE_DIRECTORY) ||
      !(attributes & FILE_ATTRIBUTE_READONLY) || !IsEmptyDirectory(fullPath)) {
    return;
  }
  RetryWithoutReadOnly(path, attributes, [&] { return RemoveDirectoryW(path.c_str()) != FALSE; });
}

void SystemRemovalSteps::RemoveLoggedKey(const std::string& keyPath) {
  DeleteRegistryTree(keyPath);
}

void RunRemovalPasses(const std::vector<std::string>& lines, RemovalSteps& steps) {
  for (const std::string& path : PassPayloads(lines, LogPass::Files)) {
    RunIgnoringErrors([&] { steps.DeleteLoggedFile(path); });
  }
  for (const std::string& path : PassPayloads(lines, LogPass::Directories)) {
    RunIgnoringErrors([&] { steps.RemoveLoggedDirectory(path); });
  }
  for (const std::string& keyPath : PassPayloads(lines, LogPass::Registry)) {
    // Only a product's own key below the Uninstall key: never the Uninstall key or above.
    if (!IsRemovableUninstallKey(keyPath)) continue;
    RunIgnoringErrors([&] { steps.RemoveLoggedKey(keyPath); });
  }
}
