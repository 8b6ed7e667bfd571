#include "win/system_library.h"

#include "win/directories.h"

#include <string>

HMODULE LoadSystemLibrary(const char* name) {
  const std::string directory = SystemDirectory();
  if (directory.empty()) return nullptr;
  const std::string path = directory + "\\" + name;
  return LoadLibraryExA(path.c_str(), nullptr, LOAD_WITH_ALTERED_SEARCH_PATH);
}

void RestrictLibrarySearchToSystemDirectory() {
  using SetDirectories = BOOL(WINAPI*)(DWORD);
  constexpr DWORD kSearchSystem32 = 0x00000800;             // LOAD_LIBRARY_SEARCH_SYSTEM32
  const HMODULE kernel = GetModuleHandleA("kernel32.dll");  // always loaded
  if (!kernel) return;
  const auto set = reinterpret_cast<SetDirectories>(
      reinterpret_cast<void*>(GetProcAddress(kernel, "SetDefaultDllDirectories")));
  if (set) set(kSearchSystem32);
}
