#include "setup/entry_directories.h"

#include "contracts/install_log.h"
#include "rar/entry_name.h"
#include "rar/unrar_codes.h"
#include "setup/install_progress.h"
#include "setup/install_settings.h"
#include "text/text.h"

void NoteEntryDirectories(TInstallLog& log, const std::string& path, std::uint32_t flags) {
  if ((flags & rar_const::kFlagDirectory) == rar_const::kFlagDirectory) {
    log.NoteDirectory(path);
  } else {
    log.NoteDirectory(DirectoryPart(path));
  }
}

std::string LogExtractedEntry(TInstallLog& log, const std::string& targetDir,
                              const std::string& storedName, std::uint32_t flags) {
  const std::string path = ExtractedEntryPath(targetDir, storedName);
  if (NoFileLog) return path;
  log.Add(kFileTag, path);
  if (WantsUninstallAll()) NoteEntryDirectories(log, path, flags);
  return path;
}
