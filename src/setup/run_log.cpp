#include "setup/run_log.h"

#include <windows.h>

bool RunLog::Open(const std::string& path) {
  file_.Reset(CreateFileA(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, CREATE_ALWAYS,
                          FILE_ATTRIBUTE_NORMAL, nullptr));
  return file_.Valid();
}

void RunLog::Line(const std::string& text) {
  if (!file_) return;
  const std::string line = text + "\r\n";
  DWORD written = 0;
  // Unbuffered: the system has the bytes once the call returns.
  WriteFile(file_.Get(), line.data(), static_cast<DWORD>(line.size()), &written, nullptr);
}
