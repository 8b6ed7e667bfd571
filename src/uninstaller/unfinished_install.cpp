#include "uninstaller/unfinished_install.h"

#include "contracts/install_log.h"
#include "contracts/undo_journal.h"
#include "text/full_path_rules.h"
#include "text/text.h"
#include "uninstaller/removal_passes.h"
#include "uninstaller/uninstall_key_guard.h"
#include "win/errors.h"
#include "win/handles.h"

#include <windows.h>

#include <algorithm>
#include <optional>

namespace {

// Company, name and version of a product key "Software\C\N\V".
std::string RecordOfProductKey(const std::string& key) {
  std::vector<std::string> parts(1);
  for (const char c : key) {  // CP949 trail bytes are never "\"
    if (c == '\\') {
      parts.emplace_back();
    } else {
      parts.back() += c;
    }
  }
  return UndoFolderOf(parts[1], parts[2], parts[3]);
}

bool NamesFileIn(const std::vector<UndoStep>& steps, const std::string& directory) {
  return std::any_of(steps.begin(), steps.end(), [&](const UndoStep& step) {
    return (step.Kind == 'F' || step.Kind == 'R' || step.Kind == 'B') &&
           UpperAscii(DirectoryPart(step.Path)) == directory;
  });
}

std::vector<std::string> SubdirectoriesOf(const std::string& dir) {
  std::vector<std::string> found;
  WIN32_FIND_DATAA data;
  FindHandle find(FindFirstFileA((dir + "\\*").c_str(), &data));
  if (!find) return found;
  do {
    const std::string name = data.cFileName;
    if ((data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) && name != "." && name != "..") {
      found.push_back(dir + "\\" + name);
    }
  } while (FindNextFileA(find.Get(), &data));
  return found;
}

// The records lie at most three levels below the root (COMPANY\NAME\VERSION, fewer when
// a part is empty); directory is upper-cased.
std::string RecordNaming(const std::string& dir, const std::string& directory, int depth) {
  if (HasUnfinishedRun(dir) && NamesFileIn(ReadUndoRecord(dir), directory)) return dir;
  if (depth == 3) return std::string();
  for (const std::string& sub : SubdirectoriesOf(dir)) {
    std::string record = RecordNaming(sub, directory, depth + 1);
    if (!record.empty()) return record;
  }
  return std::string();
}

// Undoes for the rollback what the running program cannot undo as the others are.
class RestartWitness final : public UndoWitness {
 public:
  RestartWitness(RemovalSteps& steps, std::set<std::string>& waiting)
      : steps_(steps), waiting_(waiting) {
    own_ = UpperAscii(NormalFullPath(steps.ProgramPath()).value_or(std::string()));
  }
  bool Undoing(const UndoStep& step) override {
    bool done = false;
    RunIgnoringErrors([&] { done = Take(step); });
    return done;
  }

 private:
  bool Take(const UndoStep& step) {
    const bool own = !own_.empty() && UpperAscii(step.Path) == own_;
    if (own && step.Kind == 'F') return steps_.Present(step.Path) && Wait(step.Path);
    if (own && (step.Kind == 'R' || step.Kind == 'B')) return PutBackUnderUs(step);
    return step.Kind == 'D' && HoldsOnlyWaiting(step.Path) && Wait(step.Path);
  }

  bool Wait(const std::string& path) {
    if (!steps_.RemoveAtRestart(path)) return false;
    waiting_.insert(UpperAscii(path));
    return true;
  }

  bool HoldsOnlyWaiting(const std::string& dir) {
    if (!steps_.Present(dir)) return false;
    const std::vector<std::string> entries = steps_.Contents(dir);
    return !entries.empty() && std::all_of(entries.begin(), entries.end(), [&](const auto& e) {
      return waiting_.count(UpperAscii(e)) == 1;
    });
  }

  // A running program's file may be renamed, not deleted: the old file takes its name
  // now and the running one, renamed, waits for the restart.
  bool PutBackUnderUs(const UndoStep& step) {
    if (!steps_.Present(step.Other)) return false;  // never moved aside: nothing to put back
    const std::string aside = step.Path + ".undone";
    if (!MoveFileExA(step.Path.c_str(), aside.c_str(), MOVEFILE_REPLACE_EXISTING)) return false;
    if (!MoveFileExA(step.Other.c_str(), step.Path.c_str(), MOVEFILE_COPY_ALLOWED)) {
      MoveFileExA(aside.c_str(), step.Path.c_str(), 0);
      return false;
    }
    Wait(aside);  // the old file is back; a refusal leaves only a renamed copy
    return true;
  }

  RemovalSteps& steps_;
  std::set<std::string>& waiting_;
  std::string own_;
};

}  // namespace

std::string UnfinishedRunRecord(const std::vector<std::string>& logLines,
                                const std::string& directory) {
  for (const std::string& key : PassPayloads(logLines, LogPass::ProductKey)) {
    if (!IsRemovableProductKey(key)) continue;
    const std::string folder = RecordOfProductKey(key);
    if (HasUnfinishedRun(folder)) return folder;
  }
  if (directory.empty()) return std::string();
  const std::string root = UndoFolderOf(std::string(), std::string(), std::string());
  return root.empty() ? root : RecordNaming(root, UpperAscii(directory), 0);
}

std::vector<std::string> RollBackRunRecord(const std::string& folder, RemovalSteps& steps,
                                           std::set<std::string>& waiting) {
  RestartWitness witness(steps, waiting);
  return RollBackRecord(folder, witness);
}

bool RollBackUnfinishedRunAndSay(const std::string& logPath, const MessageBoxFunction& showBox,
                                 RemovalSteps& steps, std::set<std::string>& waiting) {
  std::vector<std::string> lines;
  // Without a log read whole only the records' own steps tell which one is ours.
  if (ReadInstallLog(logPath, lines) != LogReadResult::Read) lines.clear();
  const std::string folder = UnfinishedRunRecord(lines, DirectoryPart(logPath));
  if (folder.empty()) return false;
  const std::vector<std::string> left = RollBackRunRecord(folder, steps, waiting);
  std::string text = kUnfinishedRunRolledBack;
  UINT icon = MB_ICONINFORMATION;
  if (!left.empty()) {
    icon = MB_ICONWARNING;
    text += "\r\n\r\n" + NotUndoneMessage(left);
  }
  showBox(text, "설치", MB_OK | icon);
  return true;
}
