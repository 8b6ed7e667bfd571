// The install run told in the run log: a progress and a set of actions that write a
// line for each step and its outcome, then hand the step to the real ones. The engine
// and what it leaves on the machine stay exactly as without them.
#pragma once

#include "setup/install_actions.h"
#include "setup/install_progress.h"

class RunLog;

class LoggingProgress final : public ForwardingProgress {
 public:
  LoggingProgress(TInstallProgress& inner, RunLog& log) : ForwardingProgress(inner), log_(log) {}

  // One line per archive: its target, the entries it gave and whether it came out whole.
  bool Extract(const std::string& archive, const std::string& targetDir,
               bool failIfExists) override;

 private:
  RunLog& log_;
};

class LoggingActions final : public TInstallActions {
 public:
  LoggingActions(TInstallActions& inner, RunLog& log) : inner_(inner), log_(log) {}

  void CopyWholeFile(const std::string& from, const std::string& to) override;
  void SetEngineAside(TShellFileOperation& fop) override;
  bool EngineFailIfExists() override;
  void ConfigureEngine() override;
  std::string MakeShortcut(const std::string& folder, const std::string& linkName,
                           const std::string& target, const std::string& arguments) override;
  void Register(TInstallLog& log, bool uninstallerCopied) override;
  void EnterInstallDirectory() override { inner_.EnterInstallDirectory(); }

 private:
  TInstallActions& inner_;
  RunLog& log_;
};
