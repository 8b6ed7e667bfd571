#include "uninstaller/removal_passes.h"

#include "contracts/install_log.h"
#include "uninstaller/registry_tree.h"
#include "uninstaller/uninstall_key_guard.h"
#include "win/errors.h"
#include "win/file_system.h"
#include "win/long_path.h"

#include <windows.h>

#include <optional>

namespace {

// One more try at a removal the read-only mark refused, without the mark; the mark
// is put back when that try fails too.
template <typename Remove>
void RetryWithoutReadOnly(const WideString& path, bool directory, Remove remove) {
  const std::optional<DWORD> attributes = ClearReadOnly(path.c_str(), directory);
  if (attributes && !remove()) SetFileAttributesW(path.c_str(), *attributes);
}

}  // namespace

// The common path is one call per file; only a refusal of a read-only file costs more.
void SystemRemovalSteps::DeleteLoggedFile(const std::string& fullPath) {
  const WideString path = WideFilePath(fullPath);
  if (DeleteFileW(path.c_str()) || GetLastError() != ERROR_ACCESS_DENIED) return;
  RetryWithoutReadOnly(path, false, [&] { return DeleteFileW(path.c_str()) != FALSE; });
}

// A read-only mark on a folder is mostly the shell's customisation flag, not a
// protection: it is touched only when the folder is empty and its removal failed.
void SystemRemovalSteps::RemoveLoggedDirectory(const std::string& fullPath) {
  const WideString path = WideFilePath(fullPath);
  if (RemoveDirectoryW(path.c_str()) || !IsEmptyDirectory(fullPath)) return;
  RetryWithoutReadOnly(path, true, [&] { return RemoveDirectoryW(path.c_str()) != FALSE; });
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
