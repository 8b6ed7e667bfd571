#include "win/module_path.h"

#include "text/text.h"
#include "win/code_page_text.h"

namespace {

// The longest path the wide calls take, in UTF-16 units with the terminating zero.
constexpr DWORD kLongestPath = 32768;

}  // namespace

// The wide call, since the ANSI one can cut a name short of a two-byte character and
// report it as whole; the name then takes the code page's form.
std::string ModuleFileName(HMODULE module) {
  WideString buffer(MAX_PATH, L'\0');
  for (;;) {
    const DWORD size = static_cast<DWORD>(buffer.size());
    const DWORD length = GetModuleFileNameW(module, buffer.data(), size);
    if (length == 0) return std::string();
    if (length < size) {
      buffer.resize(length);
      std::string name;
      return AnsiFromWide(buffer, name) ? name : std::string();
    }
    // A full buffer means the name was cut: grow and ask again.
    if (size >= kLongestPath) return std::string();
    buffer.resize(buffer.size() * 2);
  }
}

std::string ProgramDirectory() { return DirectoryPart(ModuleFileName()); }
