#include "support/test_support.h"

#include "win/file_system.h"
#include "win/handles.h"

#include <windows.h>

#include <cstdio>
#include <stdexcept>

namespace {

std::string EnvironmentValue(const char* name) {
  char buffer[4096] = {};
  const DWORD length = GetEnvironmentVariableA(name, buffer, sizeof buffer);
  if (length == 0 || length >= sizeof buffer) {
    throw std::runtime_error(std::string("environment variable missing: ") + name);
  }
  return std::string(buffer, length);
}

}  // namespace

void RemoveTree(const std::string& path) {
  std::string base = path;
  if (!base.empty() && base.back() == '\\') base.pop_back();
  WIN32_FIND_DATAA data;
  FindHandle find(FindFirstFileA((base + "\\*").c_str(), &data));
  if (find) {
    do {
      const std::string name = data.cFileName;
      if (name == "." || name == "..") continue;
      const std::string child = base + "\\" + name;
      SetFileAttributesA(child.c_str(), FILE_ATTRIBUTE_NORMAL);
      if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
        RemoveTree(child);
      } else {
        DeleteFileA(child.c_str());
      }
    } while (FindNextFileA(find.Get(), &data));
  }
  find.Reset();
  RemoveDirectoryA(base.c_str());
}

void MakeDirectories(const std::string& path) {
  for (std::string::size_type pos = 3; pos <= path.size(); ++pos) {
    if (pos == path.size() || path[pos] == '\\') {
      CreateDirectoryA(path.substr(0, pos).c_str(), nullptr);
    }
  }
}

std::string ScratchDir(const std::string& name) {
  const std::string dir = "C:\\kit-tests\\" + name;
  RemoveTree(dir);
  MakeDirectories(dir);
  return dir + "\\";
}

void WriteFileBytes(const std::string& path, const std::string& bytes) {
  FileHandle file(CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file) throw std::runtime_error("cannot create " + path);
  DWORD written = 0;
  if (!WriteFile(file.Get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) ||
      written != bytes.size()) {
    throw std::runtime_error("cannot write " + path);
  }
}

std::string ReadFileBytes(const std::string& path) {
  std::string bytes;
  ReadWholeFile(path, bytes);
  return bytes;
}

std::string PatternBytes(std::size_t size, unsigned seed) {
  std::string bytes(size, '\0');
  for (std::size_t i = 0; i < size; ++i) bytes[i] = static_cast<char>((i * seed + i / 251) & 0xFF);
  return bytes;
}

std::string Joined(const std::vector<std::string>& texts, const std::string& separator) {
  std::string joined;
  for (const std::string& text : texts) joined += (joined.empty() ? "" : separator) + text;
  return joined;
}

std::string TodayText() {
  SYSTEMTIME now;
  GetLocalTime(&now);
  char text[16];
  std::snprintf(text, sizeof text, "%04u-%02u-%02u", now.wYear, now.wMonth, now.wDay);
  return text;
}

std::string WindowsPathOfUnix(const std::string& unixPath) {
  std::string path = "Z:" + unixPath;
  for (char& c : path) {
    if (c == '/') c = '\\';
  }
  return path;
}

std::string BuildTreePath(const std::string& relativePath) {
  return WindowsPathOfUnix(EnvironmentValue("KIT_BUILD_DIR") + "/" + relativePath);
}

std::string KitOutputPath(const std::string& fileName) {
  return WindowsPathOfUnix(EnvironmentValue("KIT_OUTPUT_DIR") + "/" + fileName);
}

std::string SourceTreePath(const std::string& relativePath) {
  return WindowsPathOfUnix(EnvironmentValue("KIT_SOURCE_DIR") + "/" + relativePath);
}

SYSTEMTIME MakeSystemTime(WORD year, WORD month, WORD day, WORD hour, WORD minute, WORD second,
                          WORD milliseconds) {
  SYSTEMTIME time = {};
  time.wYear = year;
  time.wMonth = month;
  time.wDay = day;
  time.wHour = hour;
  time.wMinute = minute;
  time.wSecond = second;
  time.wMilliseconds = milliseconds;
  return time;
}

void SetLastWriteTime(const std::string& path, const SYSTEMTIME& local) {
  FILETIME localTime, utc;
  FileHandle file(CreateFileA(path.c_str(), FILE_WRITE_ATTRIBUTES, FILE_SHARE_READ, nullptr,
                              OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
  if (!SystemTimeToFileTime(&local, &localTime) || !LocalFileTimeToFileTime(&localTime, &utc) ||
      !file || !SetFileTime(file.Get(), nullptr, nullptr, &utc)) {
    throw std::runtime_error("cannot set the time of " + path);
  }
}
