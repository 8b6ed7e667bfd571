#include "testing/console_program.h"

#include "win/file_system.h"
#include "win/handles.h"

#include <stdexcept>
#include <vector>

namespace {

// A file of the temporary directory that takes one stream of the program.
class OutputFile {
 public:
  explicit OutputFile(const char* prefix) {
    char dir[MAX_PATH] = {};
    char path[MAX_PATH] = {};
    GetTempPathA(MAX_PATH, dir);
    GetTempFileNameA(dir, prefix, 0, path);
    path_ = path;
    SECURITY_ATTRIBUTES inherit = {sizeof inherit, nullptr, TRUE};
    handle_.Reset(CreateFileA(path, GENERIC_READ | GENERIC_WRITE,
                              FILE_SHARE_READ | FILE_SHARE_WRITE, &inherit, CREATE_ALWAYS,
                              FILE_ATTRIBUTE_TEMPORARY, nullptr));
  }
  ~OutputFile() {
    handle_.Reset();
    DeleteFileA(path_.c_str());
  }
  OutputFile(const OutputFile&) = delete;
  OutputFile& operator=(const OutputFile&) = delete;

  HANDLE Handle() const { return handle_.Get(); }
  // What the program wrote; the file is closed first.
  std::string Contents() {
    handle_.Reset();
    std::string bytes;
    ReadWholeFile(path_, bytes);
    return bytes;
  }

 private:
  std::string path_;
  FileHandle handle_;
};

}  // namespace

ConsoleRun RunConsoleProgram(const std::string& commandLine, const std::string& workingDirectory,
                             DWORD timeout) {
  OutputFile output("out");
  OutputFile errors("err");
  STARTUPINFOA startup = {};
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESTDHANDLES;
  startup.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
  startup.hStdOutput = output.Handle();
  startup.hStdError = errors.Handle();
  PROCESS_INFORMATION started = {};
  std::vector<char> line(commandLine.begin(), commandLine.end());
  line.push_back('\0');
  if (!CreateProcessA(nullptr, line.data(), nullptr, nullptr, TRUE, CREATE_NO_WINDOW, nullptr,
                      workingDirectory.empty() ? nullptr : workingDirectory.c_str(), &startup,
                      &started)) {
    throw std::runtime_error("cannot start " + commandLine);
  }
  ObjectHandle process(started.hProcess);
  ObjectHandle thread(started.hThread);
  if (WaitForSingleObject(process.Get(), timeout) != WAIT_OBJECT_0) {
    TerminateProcess(process.Get(), 255);
    throw std::runtime_error("did not end in time: " + commandLine);
  }
  ConsoleRun run;
  GetExitCodeProcess(process.Get(), &run.ExitCode);
  run.Output = output.Contents();
  run.Errors = errors.Contents();
  return run;
}
