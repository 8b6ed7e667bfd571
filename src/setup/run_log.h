// The run log that /LOG asks for: plain text for whoever supports an install, in code
// page 949 with CR LF. Each line reaches the file when it is written, so a run that is
// killed leaves the lines so far. It is not the install log: nothing reads it back.
#pragma once

#include "contracts/undo_journal.h"
#include "win/handles.h"

#include <string>

class RunLog final : public UndoWitness {
 public:
  // Creates the file, replacing one there; false when it cannot be made.
  bool Open(const std::string& path);
  bool IsOpen() const { return file_.Valid(); }
  // Writes the line and CR LF now; nothing when no file is open. A line that cannot
  // be written is lost without stopping the run.
  void Line(const std::string& text);
  // A rollback's step: "되돌림: " and its path; the rollback undoes it.
  bool Undoing(const UndoStep& step) override {
    Line("되돌림: " + step.Path);
    return false;
  }

 private:
  FileHandle file_;
};
