#include "kitpack/temporary_file.h"

#include "kitpack/messages.h"
#include "kitpack/pack_error.h"

#include <windows.h>

namespace {

// The path up to its last separator; "." for a bare file name.
WideString DirectoryOf(const WideString& path) {
  const auto end = path.find_last_of(L"\\/:");
  if (end == WideString::npos) return L".";
  return path.substr(0, end + 1);
}

}  // namespace

TemporaryFile::TemporaryFile(const WideString& target) : target_(target) {
  const WideString directory = DirectoryOf(target);
  wchar_t path[MAX_PATH];
  if (!GetTempFileNameW(directory.c_str(), L"kpk", 0, path)) {
    throw PackError(UnwritableArchiveText(target));
  }
  path_ = path;
  file_.Reset(CreateFileW(path, GENERIC_READ | GENERIC_WRITE, 0, nullptr, TRUNCATE_EXISTING,
                          FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file_) {
    DeleteFileW(path);
    throw PackError(UnwritableArchiveText(target));
  }
}

TemporaryFile::~TemporaryFile() {
  file_.Reset();
  if (!committed_) DeleteFileW(path_.c_str());
}

void TemporaryFile::Reopen() {
  file_.Reset(CreateFileW(path_.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                          FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file_) throw PackError(UnwritableArchiveText(target_));
}

void TemporaryFile::Commit() {
  const bool flushed = FlushFileBuffers(file_.Get()) != FALSE;
  file_.Reset();
  if (!flushed || !MoveFileExW(path_.c_str(), target_.c_str(), MOVEFILE_REPLACE_EXISTING)) {
    throw PackError(UnwritableArchiveText(target_));
  }
  committed_ = true;
}
