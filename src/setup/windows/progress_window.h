// The install progress window: shown while the install engine runs, it owns the
// archive component, the shell file operation and the install log, shows the file
// being extracted and its progress, and saves the log when it is destroyed.
#pragma once

#include "contracts/install_log.h"
#include "rar/rar_component.h"
#include "setup/install_progress.h"
#include "setup/shell_file_operation.h"
#include "ui/controls.h"
#include "ui/form.h"
#include "ui/graphics.h"
#include "ui/label.h"

#include <memory>
#include <string>

// The window is the install engine's progress through Progress(): it holds that
// interface rather than deriving from it, which keeps the run-time's support for
// multiple inheritance (3 KB) out of the program.
class TfmInstall : public TForm {
 public:
  explicit TfmInstall(TFormHost& host);

  TInstallProgress& Progress() { return progressPart_; }

  void FormCreate() override;
  void FormActivate() override;
  void FormDestroy() override;
  void RAR1Extracting(TRAR& Sender, const RARHeaderData& eFile);
  int RAR1ProcessData(TRAR& Sender, unsigned char* Addr, int BlockSize, int Position);

  TImage Image1{*this, 13, 10, 49, 49};
  TBevel Bevel1{*this, 10, 8, 54, 52, TBevelShape::Box};
  TLabel Label1{*this, 80, 11, "파일"};
  TLabel lbFile{*this, 80, 30, ""};
  // Stops a tracked run (one that can be undone) after the current entry; otherwise
  // no action: a run cannot be stopped.
  TButton Button1{*this, 232, 85, 89, 25, "취소"};
  TProgressBar PB{*this, 80, 50, 449, 17};
  TRAR RAR1;
  TShellFileOperation FOP;
  std::unique_ptr<TInstallLog> InstallLog;  // lives from FormCreate to FormDestroy

  // What Progress() hands on (see TInstallProgress).
  void ShowProgress();
  void HideProgress();
  bool Extract(const std::string& archive, const std::string& targetDir, bool failIfExists);
  int AskUser(const std::string& text, const std::string& caption, UINT flags);
  bool CancelRequested() const { return cancelRequested_; }
  bool SaveInstallLog();
  void ShowUndoing();

  // Puts the file and the bar values of the latest entry on screen now. The handlers
  // do so only when a repaint of the window is due: a window update may cost more
  // than writing a small file, and the screen shows no more anyway.
  void ShowProgressNow();

 private:
  // What the label and the bar are to show.
  struct Shown {
    std::string File;
    int Max = 100;
    int Position = 0;
  };

  class ProgressPart final : public TInstallProgress {
   public:
    explicit ProgressPart(TfmInstall& window) : window_(window) {}
    void ShowProgress() override { window_.ShowProgress(); }
    void HideProgress() override { window_.HideProgress(); }
    bool Extract(const std::string& archive, const std::string& targetDir,
                 bool failIfExists) override {
      return window_.Extract(archive, targetDir, failIfExists);
    }
    TRAR& Archive() override { return window_.RAR1; }
    TShellFileOperation& FileOperation() override { return window_.FOP; }
    TInstallLog& Log() override { return *window_.InstallLog; }
    void ProcessMessages() override;
    int AskUser(const std::string& text, const std::string& caption, UINT flags) override {
      return window_.AskUser(text, caption, flags);
    }
    bool CancelRequested() override { return window_.CancelRequested(); }
    bool SaveInstallLog() override { return window_.SaveInstallLog(); }
    void ShowUndoing() override { window_.ShowUndoing(); }

   private:
    TfmInstall& window_;
  };

  void ShowProgressSoon();
  void HandleOwnMessages();
  void Button1Click();

  ProgressPart progressPart_{*this};
  bool cancelRequested_ = false;
  bool logSaved_ = false;
  Shown progress_;
  std::string shownFile_;
  // The bar holds 16-bit values: larger entries are shown shifted right by this.
  int barShift_ = 0;
};

extern TfmInstall* fmInstall;

// Set when a completed run's install log could not be saved (the user was told).
extern bool InstallLogNotSaved;

// The install run on the window, as the wizard's summary page starts it. However
// the run ends, the window is hidden afterwards: an aborted run would leave a
// window without any way to be closed.
bool RunInstallIn(TfmInstall& window);
