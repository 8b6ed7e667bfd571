// A scripted archive library, linked into a test program in place of the import
// library of unrar.dll. Each archive name gets a script: what opening answers,
// which entries the headers show, what processing each entry answers and which
// callbacks it makes. Every call is written to a log.
#pragma once

#include <string>
#include <vector>

struct FakeEntry {
  std::string Name;
  unsigned Flags = 0;
  unsigned UnpSize = 0;
  int ExtractCode = 0;      // RARProcessFile's answer for extract (when no callback cancels)
  int SkipCode = 0;         // its answer for skip
  std::vector<int> Blocks;  // block sizes reported to the process-data callback
  std::vector<std::string> Volumes;  // names reported to the change-volume callback
};

struct FakeArchive {
  int OpenResult = 0;
  bool HandleOnFailure = false;  // return a handle even when opening fails
  std::string Comment;
  unsigned CommentState = 0;
  std::vector<FakeEntry> Entries;
  int EndCode = 10;  // RARReadHeader's answer after the last entry
};

namespace fake_unrar {

// Forgets every script and the log.
void Reset();
void Script(const std::string& archiveName, const FakeArchive& archive);

// The calls so far, one text each: "open NAME", "close", "read", "setvol",
// "setdata", "password TEXT", "process OP DESTPATH|-", "data SIZE=ANSWER",
// "vol NAME MODE=ANSWER".
const std::vector<std::string>& Log();
// The log joined with " | ".
std::string LogText();

// What the component put into the header record's comment fields, as seen at
// the latest RARReadHeader call.
struct HeaderComment {
  const char* Buffer = nullptr;
  unsigned Size = 0;
};
HeaderComment LastHeaderComment();

// Handles opened and not closed.
int OpenHandles();

}  // namespace fake_unrar
