#include "kitpack/file_identity.h"

#include "win/handles.h"

FileIdentity IdentityOf(const BY_HANDLE_FILE_INFORMATION& information) {
  return {information.dwVolumeSerialNumber, information.nFileIndexHigh, information.nFileIndexLow};
}

std::optional<FileIdentity> IdentityOfPath(const WideString& path) {
  // No access asked: a file open in another program is still identified.
  FileHandle file(CreateFileW(path.c_str(), 0,
                              FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                              OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
  BY_HANDLE_FILE_INFORMATION information;
  if (!file || !GetFileInformationByHandle(file.Get(), &information)) return std::nullopt;
  return IdentityOf(information);
}
