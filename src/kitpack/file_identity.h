// Which file a path or handle names, whatever the path: short names, "\\?\", another
// drive letter for the same folder.
#pragma once

#include "kitpack/wide_string.h"

#include <windows.h>

#include <optional>

struct FileIdentity {
  DWORD volume = 0;  // the volume's serial number
  DWORD indexHigh = 0;
  DWORD indexLow = 0;
  bool operator==(const FileIdentity& other) const {
    return volume == other.volume && indexHigh == other.indexHigh && indexLow == other.indexLow;
  }
};

FileIdentity IdentityOf(const BY_HANDLE_FILE_INFORMATION& information);

// The identity of the file or directory at path; nothing when it cannot be opened.
std::optional<FileIdentity> IdentityOfPath(const WideString& path);
