#include "setup/windows/progress_window.h"

#include "setup/windows/pictures.h"

#include "rar/entry_name.h"
#include "setup/entry_directories.h"
#include "setup/install_engine.h"
#include "setup/install_settings.h"
#include "ui/application.h"
#include "win/errors.h"

#include <cstdint>

TfmInstall* fmInstall = nullptr;
bool InstallLogNotSaved = false;

namespace {

// How far entry sizes and positions are shifted right to fit the bar's 16-bit range.
int BarShift(unsigned entrySize) {
  int shift = 0;
  while ((entrySize >> shift) > static_cast<unsigned>(TProgressBar::kLimit)) ++shift;
  return shift;
}

std::string LogNotSavedMessage(const std::string& path) {
  return path + " 파일을 저장할 수 없습니다.";
}

const char kCancelQuestion[] = "설치를 취소하시겠습니까?";
const char kUndoingText[] = "설치를 취소하고 있습니다...";

}  // namespace

TfmInstall::TfmInstall(TFormHost& host)
    : TForm(host, {"TfmInstall", "설치", 544, 125, FormBorder::DialogNoTitleButtons,
                   FormPlacement::ScreenCenter, TFont{"굴림체", 12}}),
      FOP(Handle()) {
  Image1.SetBitmap(LoadPicture(kInstallPicture));
  RAR1.FailifExists = false;
  RAR1.OnExtracting = [this](TRAR& sender, const RARHeaderData& eFile) {
    RAR1Extracting(sender, eFile);
  };
  RAR1.OnProcessData = [this](TRAR& sender, unsigned char* addr, int blockSize, int position) {
    return RAR1ProcessData(sender, addr, blockSize, position);
  };
  Button1.OnClick = [this] { Button1Click(); };
}

void TfmInstall::FormCreate() {
  InstallDone = false;
  InstallLog = std::make_unique<TInstallLog>();
}

void TfmInstall::FormActivate() {
  progress_.Position = 0;
  progress_.File.clear();
  lbFile.SetText("");
  shownFile_.clear();
  ShowProgressNow();
}

void TfmInstall::RAR1Extracting(TRAR& /*Sender*/, const RARHeaderData& eFile) {
  const std::string path =
      LogExtractedEntry(*InstallLog, RAR1.TargetDir, StoredName(eFile), eFile.Flags);
  barShift_ = BarShift(eFile.UnpSize);
  progress_ = {path, static_cast<int>(eFile.UnpSize >> barShift_), 0};
  ShowProgressSoon();
}

int TfmInstall::RAR1ProcessData(TRAR& /*Sender*/, unsigned char* /*Addr*/, int /*BlockSize*/,
                                int Position) {
  progress_.Position = static_cast<int>(static_cast<std::uint32_t>(Position) >> barShift_);
  ShowProgressSoon();
  return 1;
}

void TfmInstall::ShowProgressSoon() {
  if (!RepaintDue()) return;
  ShowProgressNow();
  if (WantsUninstallAll()) HandleOwnMessages();
}

// A click on Cancel reaches the window only through its messages; those of the other
// windows wait, so nothing else can start while the run goes on.
void TfmInstall::HandleOwnMessages() {
  MSG message;
  while (PeekMessageA(&message, Handle(), 0, 0, PM_REMOVE)) {
    TranslateMessage(&message);
    DispatchMessageA(&message);
  }
}

void TfmInstall::ShowProgressNow() {
  PaintNow([this] {
    if (progress_.File != shownFile_) {
      lbFile.SetText(progress_.File);  // marks what it covers for painting
      shownFile_ = progress_.File;
    }
    if (PB.Max() != progress_.Max || PB.Position() != progress_.Position) {
      PB.SetMax(progress_.Max);
      PB.SetPosition(progress_.Position);
      InvalidateRect(PB.Handle(), nullptr, FALSE);
    }
  });
}

bool TfmInstall::Extract(const std::string& archive, const std::string& targetDir,
                         bool failIfExists) {
  const bool result = RAR1.ExtractArchive(archive, targetDir, failIfExists);
  ShowProgressNow();
  return result;
}

void TfmInstall::FormDestroy() {
  if (!InstallLog) return;  // FormCreate never ran: there is nothing to save
  if (InstallDone) SaveInstallLog();
  InstallLog.reset();
}

bool TfmInstall::SaveInstallLog() {
  if (logSaved_) return true;
  InstallLog->AddClosingLines(InstallSettings.InstallDir);
  const std::string path = InstallSettings.InstallDir + "\\" + kInstallLogName;
  logSaved_ = InstallLog->SaveToFile(path);
  InstallLogNotSaved = !logSaved_;
  if (!logSaved_) Application.MessageBox(LogNotSavedMessage(path), "오류", MB_OK | MB_ICONSTOP);
  return logSaved_;
}

// Only a run that can be undone can be stopped; it stops before its next entry.
void TfmInstall::Button1Click() {
  if (!WantsUninstallAll() || cancelRequested_ || !Visible()) return;
  if (Application.MessageBox(kCancelQuestion, "취소", MB_YESNO | MB_ICONQUESTION | MB_DEFBUTTON2) ==
      IDYES) {
    cancelRequested_ = true;
    RAR1.Stop = true;
  }
}

void TfmInstall::ShowUndoing() {
  Show();
  ActivateNow();            // its reset of the label and the bar comes before the text below
  cancelRequested_ = true;  // nothing more to stop
  progress_ = {kUndoingText, 100, 0};
  ShowProgressNow();
}

void TfmInstall::ShowProgress() {
  cancelRequested_ = false;
  RAR1.Stop = false;  // a Cancel the last run's end came before
  logSaved_ = false;
  Show();
  ActivateNow();  // a second run starts from an empty label and bar, not the last file
  // A tracked run handles the window's messages (its Cancel): an activation on the way
  // must not empty what the run shows.
  HoldActivation(WantsUninstallAll());
  RedrawWindow(Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
  PaintNow();  // all of it at once, however recent the last repaint
}

void TfmInstall::HideProgress() {
  HoldActivation(false);
  Hide();
}

void TfmInstall::ProgressPart::ProcessMessages() { Application.ProcessMessages(); }

int TfmInstall::AskUser(const std::string& text, const std::string& caption, UINT flags) {
  ShowProgressNow();
  return Application.MessageBox(text, caption, flags);
}

bool RunInstallIn(TfmInstall& window) {
  try {
    return RunInstall(window.Progress());
  } catch (...) {
    window.HideProgress();
    throw;
  }
}
