// What the install engine needs of the progress window, and the two process-wide
// flags that govern the window's install log. The window implements the interface;
// the engine knows nothing else of windows.
#pragma once

#include <windows.h>

#include <string>

class TInstallLog;
class TRAR;
class TShellFileOperation;

// While true, the progress window adds no "FILE:" line per extracted entry.
extern bool NoFileLog;
// True once an install run reached its normal end; the log is saved only then.
extern bool InstallDone;

class TInstallProgress {
 public:
  // Shows the window (not modal) and paints it at once.
  virtual void ShowProgress() = 0;
  virtual void HideProgress() = 0;
  // Extracts every entry of the archive into targetDir through the window's archive
  // component, whose handlers log and show each entry; the window shows the last
  // one when the call returns. The result is the component's.
  virtual bool Extract(const std::string& archive, const std::string& targetDir,
                       bool failIfExists) = 0;
  // The window's archive component: its TargetDir is the last extraction's target.
  virtual TRAR& Archive() = 0;
  virtual TShellFileOperation& FileOperation() = 0;
  virtual TInstallLog& Log() = 0;
  // Handles every window message waiting now.
  virtual void ProcessMessages() = 0;
  // A modal message box owned by the application; returns the button pressed
  // (0 when no box could be shown).
  virtual int AskUser(const std::string& text, const std::string& caption, UINT flags) = 0;

  // True once the user asked to stop the run: the engine ends it after the current
  // entry. Only a window that can offer it (a run that can be undone) says so.
  virtual bool CancelRequested() { return false; }
  // Writes the install log of the completed run into the install directory now,
  // telling the user when it cannot; later calls write nothing. False when it could
  // not be written. A progress without an install log file has nothing to write.
  virtual bool SaveInstallLog() { return true; }
  // Shows that the changes of a run that did not complete are being undone.
  virtual void ShowUndoing() {}

 protected:
  ~TInstallProgress() = default;
};

// Hands every call to another progress: a progress that adds to a step overrides that
// step alone (the run log's, the undo record's).
class ForwardingProgress : public TInstallProgress {
 public:
  explicit ForwardingProgress(TInstallProgress& inner) : inner_(inner) {}

  void ShowProgress() override { inner_.ShowProgress(); }
  void HideProgress() override { inner_.HideProgress(); }
  bool Extract(const std::string& archive, const std::string& targetDir,
               bool failIfExists) override {
    return inner_.Extract(archive, targetDir, failIfExists);
  }
  TRAR& Archive() override { return inner_.Archive(); }
  TShellFileOperation& FileOperation() override { return inner_.FileOperation(); }
  TInstallLog& Log() override { return inner_.Log(); }
  void ProcessMessages() override { inner_.ProcessMessages(); }
  int AskUser(const std::string& text, const std::string& caption, UINT flags) override {
    return inner_.AskUser(text, caption, flags);
  }
  bool CancelRequested() override { return inner_.CancelRequested(); }
  bool SaveInstallLog() override { return inner_.SaveInstallLog(); }
  void ShowUndoing() override { inner_.ShowUndoing(); }

 protected:
  ~ForwardingProgress() = default;

  TInstallProgress& inner_;
};
