// Stands in for setup.exe on the tests' one-file media: reports what it finds where
// the launcher started it, in KIT_PROBE_REPORT ("key=value" lines, code page 949),
// and ends with the code KIT_PROBE_EXIT asks for (0 when not given).
#include <windows.h>
#include <aclapi.h>
#include <sddl.h>

#include <cstdio>
#include <cstdlib>
#include <string>

namespace {

std::string Security(const std::string& path) {
  PSECURITY_DESCRIPTOR descriptor = nullptr;
  if (GetNamedSecurityInfoA(path.c_str(), SE_FILE_OBJECT, DACL_SECURITY_INFORMATION, nullptr,
                            nullptr, nullptr, nullptr, &descriptor) != ERROR_SUCCESS) {
    return "unreadable";
  }
  char* text = nullptr;
  std::string result = "unconvertible";
  if (ConvertSecurityDescriptorToStringSecurityDescriptorA(
          descriptor, SDDL_REVISION_1, DACL_SECURITY_INFORMATION, &text, nullptr)) {
    result = text;
    LocalFree(text);
  }
  LocalFree(descriptor);
  return result;
}

// 0 when it worked, else the error.
DWORD Outcome(BOOL worked) { return worked ? 0 : GetLastError(); }

DWORD OpenForWriting(const std::string& path) {
  const HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE,
                                  FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                  OPEN_EXISTING, 0, nullptr);
  if (file == INVALID_HANDLE_VALUE) return GetLastError();
  CloseHandle(file);
  return 0;
}

std::string Files(const std::string& folder) {
  std::string names;
  WIN32_FIND_DATAA found;
  const HANDLE find = FindFirstFileA((folder + "*").c_str(), &found);
  if (find == INVALID_HANDLE_VALUE) return names;
  do {
    if (found.cFileName[0] == '.') continue;
    names += std::string(names.empty() ? "" : ",") + found.cFileName;
  } while (FindNextFileA(find, &found));
  FindClose(find);
  return names;
}

}  // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  char reportPath[MAX_PATH] = {}, code[16] = {};
  GetEnvironmentVariableA("KIT_PROBE_EXIT", code, sizeof code);
  if (GetEnvironmentVariableA("KIT_PROBE_REPORT", reportPath, MAX_PATH)) {
    char program[MAX_PATH] = {}, current[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, program, MAX_PATH);
    GetCurrentDirectoryA(MAX_PATH, current);
    std::string folder = program;
    folder.erase(folder.rfind('\\') + 1);
    std::string folderPath = folder.substr(0, folder.size() - 1);
    std::string report;
    report += "command=" + std::string(GetCommandLineA()) + "\n";
    report += "program=" + std::string(program) + "\n";
    report += "directory=" + std::string(current) + "\n";
    report += "files=" + Files(folder) + "\n";
    report += "folder_security=" + Security(folderPath) + "\n";
    report += "write_open=" + std::to_string(OpenForWriting(folder + "UNRAR.DLL")) + "\n";
    report +=
        "delete=" + std::to_string(Outcome(DeleteFileA((folder + "UNRAR.DLL").c_str()))) + "\n";
    report += "rename_file=" +
              std::to_string(Outcome(
                  MoveFileA((folder + "UNRAR.DLL").c_str(), (folder + "OTHER.DLL").c_str()))) +
              "\n";
    report += "rename_folder=" +
              std::to_string(Outcome(MoveFileA(folderPath.c_str(), (folderPath + "x").c_str()))) +
              "\n";
    report += "progress_window=" +
              std::to_string(FindWindowW(L"KitLauncherProgress", nullptr) != nullptr) + "\n";
    if (FILE* file = std::fopen(reportPath, "wb")) {
      std::fwrite(report.data(), 1, report.size(), file);
      std::fclose(file);
    }
  }
  return std::atoi(code);
}
