#include "setup/unattended_progress.h"

#include "rar/entry_name.h"
#include "setup/entry_directories.h"
#include "setup/install_settings.h"

UnattendedProgress::UnattendedProgress(AskFunction ask) : ask_(ask) {
  // Windows must show no dialog of its own either.
  fop_.Options |= foSilent | foNoErrorUI | foNoConfirmation;
  archive_.OnExtracting = [this](TRAR& /*sender*/, const RARHeaderData& entry) {
    LogExtractedEntry(log_, archive_.TargetDir, StoredName(entry), entry.Flags);
  };
}

bool UnattendedProgress::Extract(const std::string& archive, const std::string& targetDir,
                                 bool failIfExists) {
  return archive_.ExtractArchive(archive, targetDir, failIfExists);
}

bool UnattendedProgress::SaveInstallLog() {
  if (!InstallDone || logSaved_) return true;
  log_.AddClosingLines(InstallSettings.InstallDir);
  const std::string path = InstallSettings.InstallDir + "\\" + kInstallLogName;
  logSaved_ = log_.SaveToFile(path);
  if (logSaved_) return true;
  ask_(path + " 파일을 저장할 수 없습니다.", "오류", MB_OK | MB_ICONSTOP);
  return false;
}
