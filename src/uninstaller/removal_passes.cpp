#include "uninstaller/removal_passes.h"

#include "shared/install_log.h"
#include "uninstaller/registry_tree.h"
#include "uninstaller/uninstall_key_guard.h"

#include <windows.h>

namespace {

// One step of a pass: whatever it raises is dropped, the pass goes on.
template <typename Step>
void Guarded(Step step) {
  try {
    step();
  } catch (...) {
  }
}

}  // namespace

void SystemRemovalSteps::DeleteLoggedFile(const std::string& path) {
  DeleteFileA(path.c_str());
}

void SystemRemovalSteps::RemoveLoggedDirectory(const std::string& path) {
  RemoveDirectoryA(path.c_str());
}

void SystemRemovalSteps::RemoveLoggedKey(const std::string& keyPath) {
  DeleteRegistryTree(keyPath);
}

void RunRemovalPasses(const std::vector<std::string>& lines, RemovalSteps& steps) {
  for (const std::string& path : PassPayloads(lines, LogPass::Files)) {
    Guarded([&] { steps.DeleteLoggedFile(path); });
  }
  for (const std::string& path : PassPayloads(lines, LogPass::Directories)) {
    Guarded([&] { steps.RemoveLoggedDirectory(path); });
  }
  for (const std::string& keyPath : PassPayloads(lines, LogPass::Registry)) {
    // Only a product's own key below the Uninstall key: never the Uninstall key or above.
    if (!IsRemovableUninstallKey(keyPath)) continue;
    Guarded([&] { steps.RemoveLoggedKey(keyPath); });
  }
}
