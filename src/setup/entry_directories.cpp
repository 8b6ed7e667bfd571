#include "setup/entry_directories.h"

#include "contracts/install_log.h"
#include "rar/unrar_codes.h"
#include "text/text.h"

void NoteEntryDirectories(TInstallLog& log, const std::string& path, std::uint32_t flags) {
  if ((flags & rar_const::kFlagDirectory) == rar_const::kFlagDirectory) {
    log.NoteDirectory(path);
  } else {
    log.NoteDirectory(DirectoryPart(path));
  }
}
