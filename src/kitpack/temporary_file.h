// The archive while it is being written: a file of its own beside the target (so that
// the last step is a rename within one volume), which takes the target's place only
// when the archive is complete and is removed otherwise.
#pragma once

#include "kitpack/wide_string.h"
#include "win/handles.h"

#include <string>

class TemporaryFile {
 public:
  // Makes the file in the target's directory. Throws PackError (the archive cannot be
  // written) when it cannot.
  explicit TemporaryFile(const WideString& target);
  // Removes the file unless it was committed.
  ~TemporaryFile();
  TemporaryFile(const TemporaryFile&) = delete;
  TemporaryFile& operator=(const TemporaryFile&) = delete;

  HANDLE Handle() const { return file_.Get(); }
  const WideString& Path() const { return path_; }

  // Closes the file for a call that opens it by its path, and opens it again
  // (unshared, at its start). Reopen throws PackError when it cannot.
  void Close() { file_.Reset(); }
  void Reopen();

  // Closes the file and renames it to the target, replacing a file there. Throws
  // PackError (the archive cannot be written) when that fails; the file is removed then.
  void Commit();

 private:
  WideString target_;
  WideString path_;
  FileHandle file_;
  bool committed_ = false;
};
