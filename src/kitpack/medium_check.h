// The check a one-file medium passes first: kitcheck.exe's own, so that kitpack
// carries none of its code.
#pragma once

#include "kitpack/wide_string.h"

#include <string>
#include <vector>

// Runs kitcheck on mediumDir (without a trailing separator) and returns its report
// (code page 949). Throws PackError with that report when it finds an error, or
// naming kitcheck when it could not run or be started.
std::string CheckWithKitcheck(const WideString& kitcheck, const WideString& mediumDir);

// Several diskette folders as the one folder the launcher makes of them: a folder
// beside target, holding copies of the files, removed again with this object.
class StagedMedium {
 public:
  // Throws PackError when the folder or a copy cannot be made.
  StagedMedium(const WideString& target, const std::vector<WideString>& files);
  ~StagedMedium();
  StagedMedium(const StagedMedium&) = delete;
  StagedMedium& operator=(const StagedMedium&) = delete;

  const WideString& Folder() const { return folder_; }

 private:
  void Remove();

  WideString folder_;
  std::vector<WideString> copies_;
};
