#include "settings_tool/settings_tool.h"

#include "contracts/engine_settings.h"
#include "rar/rar_check.h"
#include "settings_tool/delete_matching_files.h"
#include "settings_tool/engine_archive.h"
#include "settings_tool/engine_extraction.h"

const char kSettingsToolCaption[] = "BDE 환경설정";
const char kMissingArchiveText[] =
    "데이타베이스 엔진 설정에 필요한 파일이 없습니다.\n\n"
    "자세한 내용은 041-552-7180, 7181로 연락주세요.";
const char kReconfigureQuestion[] = "데이타베이스 엔진을 다시 설정 하시겠습니까?";

int RunSettingsTool(const std::string& programDirectory, const MessageBoxFunction& showBox) {
  const std::string archive = SelectEngineArchive(programDirectory);
  if (archive.empty()) {
    showBox(kMissingArchiveText, kSettingsToolCaption, kMissingArchiveFlags);
    return 0;
  }
  // Only Yes goes on: a box that could not be shown (0) is no consent.
  if (showBox(kReconfigureQuestion, kSettingsToolCaption, kReconfigureFlags) != IDYES) return 0;
  WriteEngineSettings();
  // A damaged archive would leave the engine directory emptied and never refilled.
  if (!ArchiveIsIntact(archive)) return 0;
  DeleteMatchingFiles(std::string(kEngineDirectory) + "\\*.*");
  ExtractEngineArchive(archive, kEngineDirectory);  // what does not come out goes unreported
  return 0;
}
