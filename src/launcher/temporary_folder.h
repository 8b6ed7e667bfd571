// The folder the payload's files are written to and setup.exe runs in: new, under the
// user's temporary folder, with a name no one can guess and an access list of its own
// (the user, Administrators and SYSTEM; nothing inherited), so no other user can plant
// or swap a file in it before the elevated setup.exe reads it. While it lives, it is
// held open so it cannot be renamed or removed, and so are the files it keeps.
#pragma once

#include "launcher/heap_memory.h"
#include "win/handles.h"

class TemporaryFolder {
 public:
  TemporaryFolder() = default;
  ~TemporaryFolder() { Remove(); }
  TemporaryFolder(const TemporaryFolder&) = delete;
  TemporaryFolder& operator=(const TemporaryFolder&) = delete;

  // Makes the folder; false when it cannot.
  bool Create();
  // The folder's full path, ending in "\"; empty before Create.
  const WideText& Path() const { return path_; }

  // Keeps the file open until the folder is removed; room for count files.
  void ReserveFiles(std::size_t count);
  void Keep(FileHandle file);

  // Closes what it holds and removes the folder with everything in it; a link in it
  // is removed itself, never followed. True when the folder is gone.
  bool Remove();

 private:
  WideText path_;
  FileHandle folder_;
  HeapBlock files_;  // HANDLEs, closed by Remove
  std::size_t fileCount_ = 0;
  std::size_t fileCapacity_ = 0;
};

// The security descriptor the folder is made with, in the system's text form
// ("D:P(A;OICI;FA;;;<user>)(A;OICI;FA;;;BA)(A;OICI;FA;;;SY)"); empty when the
// process's user cannot be read.
WideText FolderSecurity();
