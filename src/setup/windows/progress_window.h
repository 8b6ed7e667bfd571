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

class TfmInstall : public TForm, public TInstallProgress {
 public:
  explicit TfmInstall(TFormHost& host);

  void FormCreate() override;
  void FormActivate() override;
  void FormDestroy() override;
  void RAR1Extracting(TRAR& Sender, const RARHeaderData& eFile);
  int RAR1ProcessData(TRAR& Sender, unsigned char* Addr, int BlockSize, int Position);

  TImage Image1{*this, 13, 10, 49, 49};
  TBevel Bevel1{*this, 10, 8, 54, 52, TBevelShape::Box};
  TLabel Label1{*this, 80, 11, "파일"};
  TLabel lbFile{*this, 80, 30, ""};
  TButton Button1{*this, 232, 85, 89, 25, "취소"};  // no action: a run cannot be stopped
  TProgressBar PB{*this, 80, 50, 449, 17};
  TRAR RAR1;
  TShellFileOperation FOP;
  std::unique_ptr<TInstallLog> InstallLog;  // lives from FormCreate to FormDestroy

  // TInstallProgress
  void ShowProgress() override;
  void HideProgress() override;
  bool Extract(const std::string& archive, const std::string& targetDir,
               bool failIfExists) override;
  TRAR& Archive() override { return RAR1; }
  TShellFileOperation& FileOperation() override { return FOP; }
  TInstallLog& Log() override { return *InstallLog; }
  void ProcessMessages() override;
  int AskUser(const std::string& text, const std::string& caption, UINT flags) override;

  // Puts the file and the bar values of the latest entry on screen now. The handlers
  // do so only when a repaint of the window is due: a window update may cost more
  // than writing a small file, and the screen shows no more anyway.
  void ShowProgressNow();

 private:
  // What the label and the bar are to show.
  struct Progress {
    std::string File;
    int Max = 100;
    int Position = 0;
  };

  void SaveInstallLog();
  void ShowProgressSoon();

  Progress progress_;
  std::string shownFile_;
  // The bar holds 16-bit values: larger entries are shown shifted right by this.
  int barShift_ = 0;
};

extern TfmInstall* fmInstall;

// The install run on the window, as the wizard's summary page starts it. However
// the run ends, the window is hidden afterwards: an aborted run would leave a
// window without any way to be closed.
bool RunInstallIn(TfmInstall& window);
