#include "win/directories.h"

#include <windows.h>

#include <vector>

namespace {

// Asks with MAX_PATH first, then with the size the platform says it needs.
template <typename Query>
std::string AskTwice(Query query) {
  std::vector<char> buffer(MAX_PATH, '\0');
  auto length = query(buffer.data(), buffer.size());
  if (length >= buffer.size()) {
    buffer.assign(length + 1, '\0');
    length = query(buffer.data(), buffer.size());
    if (length >= buffer.size()) return std::string();
  }
  return std::string(buffer.data(), length);
}

}  // namespace

std::string WindowsDirectory() {
  return AskTwice([](char* buffer, std::size_t size) {
    return GetWindowsDirectoryA(buffer, static_cast<UINT>(size));
  });
}

std::string SystemDirectory() {
  return AskTwice([](char* buffer, std::size_t size) {
    return GetSystemDirectoryA(buffer, static_cast<UINT>(size));
  });
}

std::string CurrentDirectory() {
  return AskTwice([](char* buffer, std::size_t size) {
    return GetCurrentDirectoryA(static_cast<DWORD>(size), buffer);
  });
}
