#include "setup/journaled_install.h"

#include "contracts/engine_settings.h"
#include "contracts/install_log.h"
#include "contracts/undo_journal.h"
#include "rar/entry_name.h"
#include "rar/unrar.h"
#include "rar/unrar_codes.h"
#include "setup/install_settings.h"
#include "setup/registration.h"
#include "setup/shell_file_operation.h"
#include "setup/shortcut.h"
#include "text/text.h"
#include "win/file_system.h"

#include <windows.h>

#include <algorithm>

namespace {

const char kEngineBackupSuffix[] = "_2";

// Adds the steps for the missing directories of path, each once: the directories an
// archive makes are few, its entries many, so a run of entries in one directory is
// looked at once. True when path itself is missing: nothing in it exists yet.
class DirectorySteps {
 public:
  explicit DirectorySteps(std::vector<UndoStep>& steps) : steps_(steps) {}
  bool Add(const std::string& path) {
    if (path == last_) return lastMissing_;
    last_ = path;
    const std::vector<std::string> missing = MissingDirectories(path);
    for (const std::string& dir : missing) {
      if (std::find(known_.begin(), known_.end(), dir) != known_.end()) continue;
      known_.push_back(dir);
      steps_.push_back({'D', dir, ""});
    }
    lastMissing_ = !missing.empty();
    return lastMissing_;
  }

 private:
  std::vector<UndoStep>& steps_;
  std::vector<std::string> known_;
  std::string last_;
  bool lastMissing_ = false;
};

}  // namespace

std::vector<std::string> MissingDirectories(const std::string& path) {
  std::vector<std::string> missing;
  std::string dir = path;
  while (dir.size() > 3 && dir.back() == '\\') dir.pop_back();
  while (dir.size() > 3 && !DirectoryExists(dir)) {
    missing.insert(missing.begin(), dir);
    const auto cut = dir.rfind('\\');
    if (cut == std::string::npos || cut < 2) break;
    dir = dir.substr(0, cut);
  }
  return missing;
}

// The entries are read as the library reads them for the extraction, so a damaged
// archive gives those before the damage, as the extraction does.
bool JournalingProgress::Extract(const std::string& archive, const std::string& targetDir,
                                 bool failIfExists) {
  std::vector<UndoStep> steps;
  DirectorySteps directories(steps);
  directories.Add(targetDir);
  std::string name = archive;  // the library takes a writable pointer
  RAROpenArchiveData data{};
  data.ArcName = name.data();
  data.OpenMode = rar_const::kOpenList;
  RarArchiveHandle listing(RAROpenArchive(&data));
  RARHeaderData header{};
  while (listing && data.OpenResult == rar_code::kSuccess &&
         RARReadHeader(listing.Get(), &header) == rar_code::kSuccess) {
    const std::string path = ExtractedEntryPath(targetDir, StoredName(header));
    if ((header.Flags & rar_const::kFlagDirectory) == rar_const::kFlagDirectory) {
      directories.Add(path);
    } else {
      // In a directory still to be made no file can be there: no lookup for each entry.
      if (directories.Add(DirectoryPart(path)) || !FileExists(path)) {
        steps.push_back({'F', path, ""});
      } else if (!failIfExists) {
        steps.push_back({'R', path, ""});
      }
    }
    if (RARProcessFile(listing.Get(), rar_const::kSkip, nullptr, nullptr) != rar_code::kSuccess) {
      break;
    }
  }
  listing.Reset();
  journal_.RecordBatch(std::move(steps));
  return inner_.Extract(archive, targetDir, failIfExists);
}

void JournalingActions::CopyWholeFile(const std::string& from, const std::string& to) {
  if (!FileExists(to)) {
    journal_.RecordNewFile(to);
  } else if (!journal_.SetFileAside(to)) {
    return;  // the old file could not be kept, so it is not replaced
  }
  inner_.CopyWholeFile(from, to);
}

void JournalingActions::SetEngineAside(TShellFileOperation& fop) {
  fop_ = &fop;
  const std::string& dir = InstallSettings.DbEngineDir;
  const std::string backup = dir + kEngineBackupSuffix;
  if (!DirectoryExists(dir)) return;
  if (!DirectoryExists(backup)) {
    journal_.RecordRename(dir, backup);
    inner_.SetEngineAside(fop);
    return;
  }
  // The old files wait in the backup folder and reach the recycle bin when the run
  // completes; the engine's subdirectories stay, as without a record.
  std::vector<UndoStep> steps;
  for (const std::string& file : FilesIn(dir)) steps.push_back({'B', file, ""});
  journal_.RecordBatch(std::move(steps));  // a file in use stays, as the recycle bin would leave it
}

void JournalingActions::ConfigureEngine() {
  journal_.RecordKeyTree(kEngineLibraryKey);
  journal_.RecordKeyTree(kEngineKey);
  inner_.ConfigureEngine();
}

std::string JournalingActions::MakeShortcut(const std::string& folder, const std::string& linkName,
                                            const std::string& target,
                                            const std::string& arguments) {
  const std::string link = ShortcutPath(folder, linkName);
  std::vector<UndoStep> steps;
  DirectorySteps(steps).Add(DirectoryPart(link));
  steps.push_back({FileExists(link) ? 'R' : 'F', link, ""});
  journal_.RecordBatch(std::move(steps));
  return inner_.MakeShortcut(folder, linkName, target, arguments);
}

void JournalingActions::Register(TInstallLog& log, bool uninstallerCopied) {
  journal_.RecordKeyTree(ProductKeyPath());
  if (WantsUninstallEntry(uninstallerCopied)) {
    journal_.RecordKeyTree(kUninstallKeyPrefix + InstallSettings.ProductTitle);
  }
  inner_.Register(log, uninstallerCopied);
}
