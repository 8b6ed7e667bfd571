#include "shared/module_path.h"

#include "shared/text.h"

#include <vector>

std::string ModuleFileName(HMODULE module) {
  // A full buffer means the name was cut (and left unterminated): grow and ask again.
  std::vector<char> buffer(MAX_PATH);
  for (;;) {
    const DWORD size = static_cast<DWORD>(buffer.size());
    const DWORD length = GetModuleFileNameA(module, buffer.data(), size);
    if (length == 0) return std::string();
    if (length < size) return std::string(buffer.data(), length);
    if (size >= 65536) return std::string();
    buffer.resize(buffer.size() * 2);
  }
}

std::string ProgramDirectory() { return DirectoryPart(ModuleFileName()); }
