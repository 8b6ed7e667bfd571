// Which file a path or handle names, whatever the path: short names, "\\?\", another
// drive letter for the same folder.
#pragma once

#include "kitpack/wide_string.h"

#include <windows.h>

#include <optional>

struct FileIdentity {
  DWORD Volume = 0;  // the volume's serial number
  DWORD IndexHigh = 0;
  DWORD IndexLow = 0;
  bool operator==(const FileIdentity& other) const {
    return Volume == other.Volume && IndexHigh == other.IndexHigh && IndexLow == other.IndexLow;
  }
};

FileIdentity IdentityOf(const BY_HANDLE_FILE_INFORMATION& information);

// The identity of the file or directory at path; nothing when it cannot be opened.
std::optional<FileIdentity> IdentityOfPath(const WideString& path);
