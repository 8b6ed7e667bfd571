// The install run's progress without any window, for /VERYSILENT: the archive
// component, the shell file operation and the install log that the progress window
// owns otherwise, with the same lines logged per extracted entry.
#pragma once

#include "contracts/install_log.h"
#include "rar/rar_component.h"
#include "setup/install_progress.h"
#include "setup/shell_file_operation.h"

#include <string>

using AskFunction = int (*)(const std::string& text, const std::string& caption, UINT flags);

class UnattendedProgress final : public TInstallProgress {
 public:
  // ask answers every box the run would show.
  explicit UnattendedProgress(AskFunction ask);

  void ShowProgress() override {}
  void HideProgress() override {}
  bool Extract(const std::string& archive, const std::string& targetDir,
               bool failIfExists) override;
  TRAR& Archive() override { return archive_; }
  TShellFileOperation& FileOperation() override { return fop_; }
  TInstallLog& Log() override { return log_; }
  void ProcessMessages() override {}
  int AskUser(const std::string& text, const std::string& caption, UINT flags) override {
    return ask_(text, caption, flags);
  }

  // What the progress window does when it is destroyed: the closing lines, and the
  // install log saved when the run completed (once). False when that save failed
  // (the box saying so has gone through ask).
  bool SaveInstallLog() override;

 private:
  bool logSaved_ = false;
  AskFunction ask_;
  TRAR archive_;
  TShellFileOperation fop_;
  TInstallLog log_;
};
