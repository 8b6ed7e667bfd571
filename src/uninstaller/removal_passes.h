// The uninstaller's passes over the install log's lines.
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
  // A "KEY:" payload that passed IsRemovableProductKey; the step checks the key's
  // "InstallDir" against the program's own directory.
  virtual void RemoveLoggedProductKey(const std::string& keyPath) = 0;

  // For what the running program cannot remove (restart_removal.h): its own full
  // path, whether a path is there, a directory's entries as full paths, and the
  // removal of a file or empty directory at the next restart (false when refused).
  virtual std::string ProgramPath() = 0;
  virtual bool Present(const std::string& fullPath) = 0;
  virtual std::vector<std::string> Contents(const std::string& fullPath) = 0;
  virtual bool RemoveAtRestart(const std::string& fullPath) = 0;
};

// The real steps: DeleteFileW, RemoveDirectoryW (empty directories only), both on
// paths of any length (WideFilePath), and DeleteRegistryTree below HKEY_LOCAL_MACHINE. A file
// refused because it is read-only, and an empty directory whose removal failed while it is marked
// read-only, lose the mark for one more try (and keep it when that fails too).
// The product key goes by DeleteProductKey with the program's directory; what waits for
// the restart by MoveFileExW with MOVEFILE_DELAY_UNTIL_REBOOT.
class SystemRemovalSteps : public RemovalSteps {
 public:
  // programPath: the uninstaller's own file (the running program's when empty).
  explicit SystemRemovalSteps(std::string programPath = std::string());
  void DeleteLoggedFile(const std::string& fullPath) override;
  void RemoveLoggedDirectory(const std::string& fullPath) override;
  void RemoveLoggedKey(const std::string& keyPath) override;
  void RemoveLoggedProductKey(const std::string& keyPath) override;
  std::string ProgramPath() override { return programPath_; }
  bool Present(const std::string& fullPath) override;
  std::vector<std::string> Contents(const std::string& fullPath) override;
  bool RemoveAtRestart(const std::string& fullPath) override;

 private:
  std::string programPath_;
};

// Files and shortcuts first, then directories, then registry keys, then product keys,
// each pass from the first line to the last. Every single step runs under its own
// guard; only keys that IsRemovableUninstallKey allows reach RemoveLoggedKey, only
// those IsRemovableProductKey allows RemoveLoggedProductKey.
void RunRemovalPasses(const std::vector<std::string>& lines, RemovalSteps& steps);
