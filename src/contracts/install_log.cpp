#include "contracts/install_log.h"

#include "win/handles.h"

#include <windows.h>

namespace {

// A log is a few kilobytes; anything this large is not one and is not read.
constexpr DWORD kMaxLogSize = 64u * 1024 * 1024;

}  // namespace

bool TInstallLog::SaveToFile(const std::string& path) const {
  std::string bytes;
  for (const std::string& line : lines_) bytes += line + "\r\n";
  FileHandle file(CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file) return false;
  DWORD written = 0;
  return WriteFile(file.Get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) &&
         written == bytes.size();
}

LogReadResult ReadInstallLog(const std::string& path, std::vector<std::string>& lines) {
  lines.clear();
  FileHandle file(CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file) {
    const DWORD error = GetLastError();
    return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND
               ? LogReadResult::Missing
               : LogReadResult::Unreadable;
  }
  DWORD high = 0;
  const DWORD size = GetFileSize(file.Get(), &high);
  // A size the platform cannot report, or one far beyond any log, is not read.
  if (size == INVALID_FILE_SIZE || high != 0 || size > kMaxLogSize) {
    return LogReadResult::Unreadable;
  }
  std::string bytes(size, '\0');
  DWORD got = 0;
  if (size > 0 && (!ReadFile(file.Get(), &bytes[0], size, &got, nullptr) || got != size)) {
    return LogReadResult::Unreadable;
  }
  lines = SplitLogText(bytes);
  return LogReadResult::Read;
}
