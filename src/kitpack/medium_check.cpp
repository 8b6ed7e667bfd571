#include "kitpack/medium_check.h"

#include "kitpack/console_interruption.h"
#include "kitpack/messages.h"
#include "kitpack/pack_error.h"
#include "win/handles.h"

#include <windows.h>

namespace {

constexpr DWORD kKitcheckErrors = 1;  // kitcheck's code when the medium has errors

WideString DirectoryOf(const WideString& path) {
  const auto end = path.find_last_of(L"\\/:");
  return end == WideString::npos ? WideString(L".\\") : path.substr(0, end + 1);
}

WideString NameOf(const WideString& path) {
  const auto end = path.find_last_of(L"\\/:");
  return end == WideString::npos ? path : path.substr(end + 1);
}

// The process's standard output and error, read to their end.
std::string OutputOf(HANDLE pipe) {
  std::string output;
  char buffer[4096];
  DWORD got = 0;
  while (ReadFile(pipe, buffer, sizeof buffer, &got, nullptr) && got > 0)
    output.append(buffer, got);
  return output;
}

}  // namespace

std::string CheckWithKitcheck(const WideString& kitcheck, const WideString& mediumDir) {
  SECURITY_ATTRIBUTES inherited = {sizeof inherited, nullptr, TRUE};
  HANDLE readEnd = nullptr;
  HANDLE writeEnd = nullptr;
  if (!CreatePipe(&readEnd, &writeEnd, &inherited, 0)) throw PackError(KitcheckFailedText());
  ObjectHandle reader(readEnd);
  ObjectHandle writer(writeEnd);
  SetHandleInformation(readEnd, HANDLE_FLAG_INHERIT, 0);
  STARTUPINFOW startup = {};
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESTDHANDLES;
  startup.hStdOutput = writeEnd;
  startup.hStdError = writeEnd;
  WideString commandLine = L"\"" + kitcheck + L"\" \"" + mediumDir + L"\"";
  PROCESS_INFORMATION started = {};
  if (!CreateProcessW(kitcheck.c_str(), &commandLine[0], nullptr, nullptr, TRUE, CREATE_NO_WINDOW,
                      nullptr, nullptr, &startup, &started)) {
    throw PackError(KitcheckMissingText(kitcheck));
  }
  CloseHandle(started.hThread);
  const ObjectHandle process(started.hProcess);
  writer.Reset();  // the pipe ends when kitcheck's copies of the handle close
  const std::string report = OutputOf(reader.Get());
  DWORD code = 0;
  if (WaitForSingleObject(process.Get(), INFINITE) != WAIT_OBJECT_0 ||
      !GetExitCodeProcess(process.Get(), &code)) {
    throw PackError(KitcheckFailedText());
  }
  if (code == kKitcheckErrors) throw PackError(report + RefusedMediumText());
  if (code != 0) throw PackError(report + KitcheckFailedText());
  return report;
}

StagedMedium::StagedMedium(const WideString& target, const std::vector<WideString>& files) {
  wchar_t path[MAX_PATH];
  if (!GetTempFileNameW(DirectoryOf(target).c_str(), L"kpk", 0, path) || !DeleteFileW(path) ||
      !CreateDirectoryW(path, nullptr)) {
    throw PackError(UnwritableArchiveText(target));
  }
  folder_ = path;
  try {
    for (const WideString& file : files) {
      StopIfInterrupted();
      const WideString copy = folder_ + L"\\" + NameOf(file);
      if (!CopyFileW(file.c_str(), copy.c_str(), TRUE)) throw PackError(UnreadableFileText(file));
      copies_.push_back(copy);
    }
  } catch (...) {  // no destructor runs for a constructor that throws
    Remove();
    throw;
  }
}

StagedMedium::~StagedMedium() { Remove(); }

void StagedMedium::Remove() {
  for (const WideString& copy : copies_) {
    SetFileAttributesW(copy.c_str(), FILE_ATTRIBUTE_NORMAL);
    DeleteFileW(copy.c_str());
  }
  RemoveDirectoryW(folder_.c_str());
}
