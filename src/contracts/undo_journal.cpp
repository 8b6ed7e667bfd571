#include "contracts/undo_journal.h"

#include "contracts/registry_snapshot.h"
#include "win/errors.h"
#include "win/file_owner.h"
#include "win/file_system.h"

#include <windows.h>
#include <shlobj.h>

#include <cstdlib>

namespace {

const char kRecordName[] = "\\UNDO.DAT";
const char kBackupName[] = "\\BACKUP";
const char kUndoRoot[] = "\\Setup Undo";

// The writes so far of this process, for the kill seam.
unsigned writesSoFar = 0;

void StopWhenTheSeamSaysSo() {
  ++writesSoFar;
  const char* at = getenv(kUndoKillVariable);
  if (at != nullptr && strtoul(at, nullptr, 10) == writesSoFar) {
    TerminateProcess(GetCurrentProcess(), 99);
  }
}

bool RemoveFile(const std::string& path) {
  SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
  return DeleteFileA(path.c_str()) || !FileExists(path);
}

// The record's folder and the product folders above it that are then empty.
void RemoveRecordFolder(const std::string& folder) {
  // The record first: a process ended halfway must not leave steps without backups.
  DeleteFileA((folder + kRecordName).c_str());
  const std::string backup = folder + kBackupName;
  for (const std::string& file : FilesIn(backup)) RemoveFile(file);
  RemoveDirectoryA(backup.c_str());
  std::string dir = folder;
  for (int level = 0; level < 4 && RemoveDirectoryA(dir.c_str()); ++level) {
    dir = dir.substr(0, dir.rfind('\\'));
  }
}

HANDLE OpenRecord(const std::string& folder) {
  return CreateFileA((folder + kRecordName).c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                     OPEN_EXISTING, 0, nullptr);
}

// The record's bytes, read through the handle whose owner was checked. The folder lies
// where any user may write: an elevated rollback must never follow a record another
// user planted (it would delete, replace and write registry keys as told).
bool ReadTrustedRecord(const std::string& folder, std::string& bytes) {
  const FileHandle record(OpenRecord(folder));
  if (!record || !OwnedByAdministratorsOrSelf(record.Get())) return false;
  char buffer[4096];
  DWORD got = 0;
  while (ReadFile(record.Get(), buffer, sizeof buffer, &got, nullptr) && got > 0) {
    bytes.append(buffer, got);
  }
  return true;
}

void AddLine(std::string& lines, const UndoStep& step) {
  lines += step.Kind;
  lines += '\t';
  lines += step.Path;
  lines += '\t';
  lines += step.Other;
  lines += "\r\n";
}

// Undoes one step; false when what it changed could not be put back.
bool Undo(const UndoStep& step) {
  switch (step.Kind) {
    case 'D':
      return RemoveDirectoryA(step.Path.c_str()) || !DirectoryExists(step.Path);
    case 'F':
      return RemoveFile(step.Path);
    case 'R':
    case 'B':
      // No backup: the file was never moved, so it is still the old one.
      if (!FileExists(step.Other)) return true;
      return RemoveFile(step.Path) &&
             MoveFileExA(step.Other.c_str(), step.Path.c_str(), MOVEFILE_COPY_ALLOWED);
    case 'K': {
      std::string snapshot;
      return BytesOfHex(step.Other, snapshot) && RestoreKeyTree(step.Path, snapshot);
    }
    case 'N':
      return !DirectoryExists(step.Other) ||
             (!DirectoryExists(step.Path) && MoveFileA(step.Other.c_str(), step.Path.c_str()));
    default:
      return true;  // a step of no known kind changed nothing this program knows
  }
}

}  // namespace

std::vector<std::string> FilesIn(const std::string& dir) {
  std::vector<std::string> files;
  WIN32_FIND_DATAA found;
  FindHandle find(FindFirstFileA((dir + "\\*").c_str(), &found));
  if (!find) return files;
  do {
    if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) {
      files.push_back(dir + "\\" + found.cFileName);
    }
  } while (FindNextFileA(find.Get(), &found));
  return files;
}

std::string UndoRoot() {
  char base[MAX_PATH] = {};
  if (FAILED(SHGetFolderPathA(nullptr, CSIDL_COMMON_APPDATA, nullptr, 0, base))) return {};
  return base + std::string(kUndoRoot);
}

std::string UndoFolderOf(const std::string& company, const std::string& name,
                         const std::string& version) {
  std::string folder = UndoRoot();
  if (folder.empty()) return folder;
  for (const std::string* part : {&company, &name, &version}) {
    if (part->empty()) continue;  // an empty part would make no folder of its own
    folder += '\\';
    folder += *part;
  }
  return folder;
}

UndoJournal::UndoJournal(std::string folder) : folder_(std::move(folder)) {
  if (folder_.empty()) return;
  // Made by the first tracked run, the records' root keeps other users out.
  const std::string root = UndoRoot();
  if (!root.empty() && folder_.compare(0, root.size(), root) == 0) {
    MakeAdministratorsOnlyDirectory(root.c_str());
  }
  SHCreateDirectoryExA(nullptr, (folder_ + kBackupName).c_str(), nullptr);
  // Never CREATE_ALWAYS: a record there is another run's, live or killed, with its backups.
  file_.Reset(CreateFileA((folder_ + kRecordName).c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr,
                          CREATE_NEW, FILE_FLAG_WRITE_THROUGH, nullptr));
  ready_ = file_.Valid();
}

void UndoJournal::Write(const std::string& lines) {
  DWORD written = 0;
  if (!file_ ||
      !WriteFile(file_.Get(), lines.data(), static_cast<DWORD>(lines.size()), &written, nullptr) ||
      written != lines.size() || !FlushFileBuffers(file_.Get())) {
    throw Exception("the undo record cannot be written");
  }
  StopWhenTheSeamSaysSo();
}

void UndoJournal::RecordNewFile(const std::string& path) { RecordBatch({{'F', path, ""}}); }

bool UndoJournal::SetFileAside(const std::string& path, bool toRecycleBin) {
  return RecordBatch({{toRecycleBin ? 'B' : 'R', path, ""}});
}

bool UndoJournal::RecordBatch(std::vector<UndoStep> recorded) {
  std::string lines;
  for (UndoStep& step : recorded) {
    if (step.Kind == 'R' || step.Kind == 'B') {
      do {
        step.Other = folder_ + kBackupName + "\\" + std::to_string(++backups_);
      } while (FileExists(step.Other));  // a backup that an earlier record could not remove
    }
    AddLine(lines, step);
  }
  if (lines.empty()) return true;
  Write(lines);
  bool all = true;
  for (UndoStep& step : recorded) {
    if (step.Kind != 'R' && step.Kind != 'B') continue;
    if (!MoveFileExA(step.Path.c_str(), step.Other.c_str(), MOVEFILE_COPY_ALLOWED)) {
      all = false;
    } else if (step.Kind == 'B') {
      toRecycle_.push_back(std::move(step));
    }
  }
  return all;
}

void UndoJournal::RecordKeyTree(const std::string& path) {
  // The shallowest missing key below the root's first level goes away whole.
  std::string::size_type at = path.find('\\');
  while (at != std::string::npos && KeyExists(path.substr(0, at))) at = path.find('\\', at + 1);
  const std::string key = at == std::string::npos ? path : path.substr(0, at);
  std::string line;
  AddLine(line, {'K', key, HexOf(SnapshotKeyTree(key))});
  Write(line);
}

void UndoJournal::RecordRename(const std::string& from, const std::string& to) {
  std::string line;
  AddLine(line, {'N', from, to});
  Write(line);
}

void UndoJournal::Close() { file_.Reset(); }

std::vector<UndoStep> UndoJournal::Finish() {
  Close();
  // From here on nothing may roll the completed run back, whatever ends the process.
  DeleteFileA((folder_ + kRecordName).c_str());
  return std::move(toRecycle_);
}

void UndoJournal::Discard() {
  Close();
  RemoveRecordFolder(folder_);
}

std::vector<std::string> UndoJournal::RollBack(UndoWitness& witness) {
  Close();
  return RollBackRecord(folder_, witness);
}

std::vector<UndoStep> ReadUndoRecord(const std::string& folder) {
  std::string bytes;
  std::vector<UndoStep> steps;
  if (folder.empty() || !ReadTrustedRecord(folder, bytes)) return steps;
  std::string::size_type start = 0;
  // A line cut short by the end of the process is no step: its change never began.
  for (std::string::size_type end; (end = bytes.find("\r\n", start)) != std::string::npos;
       start = end + 2) {
    const std::string line = bytes.substr(start, end - start);
    const auto tab1 = line.find('\t');
    const auto tab2 = tab1 == std::string::npos ? tab1 : line.find('\t', tab1 + 1);
    if (tab1 != 1 || tab2 == std::string::npos) continue;
    steps.push_back({line[0], line.substr(2, tab2 - 2), line.substr(tab2 + 1)});
  }
  return steps;
}

bool HasUnfinishedRun(const std::string& folder) {
  if (folder.empty()) return false;
  // A live run holds its record open for writing: this open, which allows no writer, fails.
  const FileHandle record(OpenRecord(folder));
  return record.Valid() && OwnedByAdministratorsOrSelf(record.Get());
}

std::vector<std::string> RollBackRecord(const std::string& folder, UndoWitness& witness) {
  const std::vector<UndoStep> steps = ReadUndoRecord(folder);
  std::vector<std::string> left;
  for (auto step = steps.rbegin(); step != steps.rend(); ++step) {
    if (!witness.Undoing(*step) && !Undo(*step)) left.push_back(step->Path);
  }
  // What could not be put back keeps its record and backup for the next attempt.
  if (left.empty()) RemoveRecordFolder(folder);
  return left;
}

std::string NotUndoneMessage(const std::vector<std::string>& left) {
  std::string text = "다음 항목을 되돌리지 못했습니다.";
  for (const std::string& path : left) text += "\r\n" + path;
  return text;
}
