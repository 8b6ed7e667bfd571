// The undo record of a tracked install run: before the run changes anything it
// writes here, through to the disk, how to undo that change, so that a run that
// does not complete (it failed, was cancelled or killed) can be rolled back in
// reverse order, now or at the next start of setup or Halvex.
// It is shared by setup, which writes it, and Halvex, which may roll it back.
//
// The record lives in one folder per product,
//   <common application data>\Setup Undo\COMPANY\NAME\VERSION
// with the file UNDO.DAT, one line per step, and the folder BACKUP, where the files
// the run replaces wait with their bytes, times and attributes.
#pragma once

#include "win/handles.h"

#include <string>
#include <vector>

// <common application data>\Setup Undo, where the records lie; empty when unknown.
std::string UndoRoot();

// The record's folder of the product named by the setup script.
std::string UndoFolderOf(const std::string& company, const std::string& name,
                         const std::string& version);

// One step to undo, as the record holds it.
struct UndoStep {
  char Kind;          // D directory made, F file made, R/B file replaced (B: for the
                      // recycle bin), K key tree, N directory renamed
  std::string Path;   // the file, directory or key
  std::string Other;  // the backup, the renamed directory's new name, the key's snapshot
};

// Told of each step as a rollback comes to it, last first.
class UndoWitness {
 public:
  // The step about to be undone (its Path names it). True when the witness has dealt
  // with it itself (what the running program cannot undo now, such as its own file);
  // the rollback then leaves the step alone.
  virtual bool Undoing(const UndoStep& step) = 0;

 protected:
  ~UndoWitness() = default;
};

class UndoJournal {
 public:
  // Starts an empty record in folder (made when missing). An unfinished record there
  // is never written over: the journal is not Ready then (roll that one back first).
  explicit UndoJournal(std::string folder);
  UndoJournal(const UndoJournal&) = delete;
  UndoJournal& operator=(const UndoJournal&) = delete;

  // False when the record cannot be written: the run must not change anything then.
  bool Ready() const { return ready_; }

  // Each of these writes its steps through to the disk before returning; the caller
  // makes the change afterwards. They raise when the record cannot be written.
  void RecordNewFile(const std::string& path);  // a file the run makes
  // A file the run replaces: moved into the backup folder now; false when it could
  // not be moved (the file is then left as it is, and so is the record).
  bool SetFileAside(const std::string& path, bool toRecycleBin = false);
  // Several steps in one write: Kind 'D' (directory made), 'F' (file made), 'R' (file
  // replaced: moved aside after the write). False when a file could not be moved aside
  // (it is then left as it is, and so is its step).
  bool RecordBatch(std::vector<UndoStep> steps);
  void RecordKeyTree(const std::string& path);  // a registry key tree the run changes
  void RecordRename(const std::string& from, const std::string& to);  // a directory renamed

  // The run completed: the record is closed and removed, so nothing rolls the run back
  // from now on, and the steps of the files set aside for the recycle bin are returned
  // (Other: where each waits); Discard then removes the backups.
  std::vector<UndoStep> Finish();
  void Discard();

  // Undoes every recorded step, last first, and removes the record (see RollBackRecord).
  std::vector<std::string> RollBack(UndoWitness& witness);

  const std::string& Folder() const { return folder_; }

 private:
  void Write(const std::string& lines);
  void Close();

  std::string folder_;
  FileHandle file_;
  bool ready_ = false;
  unsigned backups_ = 0;
  std::vector<UndoStep> toRecycle_;
};

// The steps of the record in folder, complete lines only; empty when there is none.
std::vector<UndoStep> ReadUndoRecord(const std::string& folder);

// True when folder holds a record of a run that did not complete and no longer runs.
bool HasUnfinishedRun(const std::string& folder);

// Undoes the steps of the record in folder, last first, each named to the witness, and
// removes the record. Returns what could not be undone (its path), which keeps the
// record and its backups for a later attempt.
std::vector<std::string> RollBackRecord(const std::string& folder, UndoWitness& witness);

// What setup and Halvex say after rolling back an unfinished run.
inline constexpr char kUnfinishedRunRolledBack[] = "완료되지 않은 설치를 되돌렸습니다.";
// The list of what could not be put back.
std::string NotUndoneMessage(const std::vector<std::string>& left);

// The full paths of the files (not the directories) in dir.
std::vector<std::string> FilesIn(const std::string& dir);

// The environment variable that tests set to stop the process right after the record
// of its Nth undo step is written (counting from 1).
inline constexpr char kUndoKillVariable[] = "KIT_UNDO_KILL_AT";
