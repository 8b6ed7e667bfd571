// The uninstaller's three passes over the install log's lines.
#pragma once

#include <string>
#include <vector>

// What a pass does with one payload (PassPayloads: a path in its full form, a key
// path as logged). Failures are the step's own business: the passes ignore them and
// go on with the next line.
class RemovalSteps {
 public:
  virtual ~RemovalSteps() = default;
  virtual void DeleteLoggedFile(const std::string& fullPath) = 0;
  virtual void RemoveLoggedDirectory(const std::string& fullPath) = 0;
  virtual void RemoveLoggedKey(const std::string& keyPath) = 0;
};

// The real steps: DeleteFileW, RemoveDirectoryW (empty directories only), both on
// paths of any length (WideFilePath), and DeleteRegistryTree below HKEY_LOCAL_MACHINE. A file
// refused because it is read-only, and an empty directory whose removal failed while it is marked
// read-only, lose the mark for one more try (and keep it when that fails too).
class SystemRemovalSteps : public RemovalSteps {
 public:
  void DeleteLoggedFile(const std::string& fullPath) override;
  void RemoveLoggedDirectory(const std::string& fullPath) override;
  void RemoveLoggedKey(const std::string& keyPath) override;
};

// Files and shortcuts first, then directories, then registry keys, each pass from
// the first line to the last. Every single step runs under its own guard, and only
// keys that IsRemovableUninstallKey allows reach RemoveLoggedKey.
void RunRemovalPasses(const std::vector<std::string>& lines, RemovalSteps& steps);
