#include "uninstaller/removal_passes.h"

#include "contracts/install_log.h"
#include "text/text.h"
#include "uninstaller/registry_tree.h"
#include "uninstaller/uninstall_key_guard.h"
#include "win/code_page_text.h"
#include "win/errors.h"
#include "win/file_system.h"
#include "win/handles.h"
#include "win/long_path.h"
#include "win/module_path.h"

#include <windows.h>

#include <optional>
#include <utility>

namespace {

// One more try at a removal the read-only mark refused, without the mark; the mark
// is put back when that try fails too.
template <typename Remove>
void RetryWithoutReadOnly(const WideString& path, bool directory, Remove remove) {
  const std::optional<DWORD> attributes = ClearReadOnly(path.c_str(), directory);
  if (attributes && !remove()) SetFileAttributesW(path.c_str(), *attributes);
}

}  // namespace

SystemRemovalSteps::SystemRemovalSteps(std::string programPath)
    : programPath_(programPath.empty() ? ModuleFileName() : std::move(programPath)) {}

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

void SystemRemovalSteps::RemoveLoggedProductKey(const std::string& keyPath) {
  const std::string directory = DirectoryPart(programPath_);
  if (directory.empty()) return;  // without its own place it names no installation
  DeleteProductKey(keyPath, directory);
}

bool SystemRemovalSteps::Present(const std::string& fullPath) {
  return GetFileAttributesW(WideFilePath(fullPath).c_str()) != INVALID_FILE_ATTRIBUTES;
}

std::vector<std::string> SystemRemovalSteps::Contents(const std::string& fullPath) {
  const std::string base = EndsWith(fullPath, "\\") ? fullPath : fullPath + "\\";
  WIN32_FIND_DATAW found;
  FindHandle search(FindFirstFileW(WideFilePath(base + "*").c_str(), &found));
  // What cannot be listed counts as something else in it.
  if (!search) return {base + "?"};
  std::vector<std::string> entries;
  do {
    const WideString name = found.cFileName;
    if (name == L"." || name == L"..") continue;
    std::string narrow;
    // A name the code page cannot hold is something else that stays.
    if (!AnsiFromWide(name, narrow)) narrow = "?";
    entries.push_back(base + narrow);
  } while (FindNextFileW(search.Get(), &found));
  return entries;
}

bool SystemRemovalSteps::RemoveAtRestart(const std::string& fullPath) {
  return MoveFileExW(WideFilePath(fullPath).c_str(), nullptr, MOVEFILE_DELAY_UNTIL_REBOOT) != FALSE;
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
  for (const std::string& keyPath : PassPayloads(lines, LogPass::ProductKey)) {
    // Exactly a product key: never "Software" or anything above or beside it.
    if (!IsRemovableProductKey(keyPath)) continue;
    RunIgnoringErrors([&] { steps.RemoveLoggedProductKey(keyPath); });
  }
}
