// A progress and a set of install actions that write each change's undo step to the
// run's undo record before handing the change to the real ones.
#pragma once

#include "setup/install_actions.h"
#include "setup/install_progress.h"

#include <string>
#include <vector>

class UndoJournal;

// Before an archive is extracted: one record of the directories it makes, the files it
// makes and the files it replaces (those set aside first).
class JournalingProgress final : public ForwardingProgress {
 public:
  JournalingProgress(TInstallProgress& inner, UndoJournal& journal)
      : ForwardingProgress(inner), journal_(journal) {}

  bool Extract(const std::string& archive, const std::string& targetDir,
               bool failIfExists) override;

 private:
  UndoJournal& journal_;
};

// Whole files (set aside when they replace one), the engine's directory (its rename,
// or its old files set aside for the recycle bin), the registry trees of the engine
// and of the product, and shortcuts.
class JournalingActions final : public TInstallActions {
 public:
  JournalingActions(TInstallActions& inner, UndoJournal& journal)
      : inner_(inner), journal_(journal) {}

  void CopyWholeFile(const std::string& from, const std::string& to) override;
  void SetEngineAside(TShellFileOperation& fop) override;
  bool EngineFailIfExists() override { return inner_.EngineFailIfExists(); }
  void ConfigureEngine() override;
  std::string MakeShortcut(const std::string& folder, const std::string& linkName,
                           const std::string& target, const std::string& arguments) override;
  void Register(TInstallLog& log, bool uninstallerCopied) override;
  void EnterInstallDirectory() override { inner_.EnterInstallDirectory(); }

  // The shell file operation the engine's old files go to the recycle bin with.
  TShellFileOperation* EngineFileOperation() const { return fop_; }

 private:
  TInstallActions& inner_;
  UndoJournal& journal_;
  TShellFileOperation* fop_ = nullptr;
};

// The steps that make path and its missing parents, the outermost first.
std::vector<std::string> MissingDirectories(const std::string& path);
