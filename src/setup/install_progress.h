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
  // The window's archive component, with its per-entry handlers attached.
  virtual TRAR& Archive() = 0;
  virtual TShellFileOperation& FileOperation() = 0;
  virtual TInstallLog& Log() = 0;
  // Handles every window message waiting now.
  virtual void ProcessMessages() = 0;
  // A modal message box owned by the application; returns the button pressed
  // (0 when no box could be shown).
  virtual int AskUser(const std::string& text, const std::string& caption, UINT flags) = 0;

 protected:
  ~TInstallProgress() = default;
};
