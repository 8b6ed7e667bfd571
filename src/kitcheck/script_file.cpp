#include "kitcheck/script_file.h"

#include "shared/file_system.h"
#include "shared/text.h"

#include <windows.h>

#include <vector>

namespace {

bool Decodes(UINT codePage, const std::string& bytes) {
  if (bytes.empty()) return true;
  return MultiByteToWideChar(codePage, MB_ERR_INVALID_CHARS, bytes.data(),
                             static_cast<int>(bytes.size()), nullptr, 0) > 0;
}

bool HasHighBytes(const std::string& bytes) {
  for (char c : bytes) {
    if (static_cast<unsigned char>(c) >= 0x80) return true;
  }
  return false;
}

// The section's key names as GetPrivateProfileString lists them.
std::vector<std::string> KeyNames(const std::string& path, const char* section) {
  std::vector<char> buffer(32 * 1024, '\0');
  const DWORD length = GetPrivateProfileStringA(section, nullptr, "", buffer.data(),
                                                static_cast<DWORD>(buffer.size()), path.c_str());
  std::vector<std::string> names;
  for (DWORD at = 0; at < length && buffer[at] != '\0';) {
    names.emplace_back(&buffer[at]);
    at += static_cast<DWORD>(names.back().size()) + 1;
  }
  return names;
}

// Keys named prefix + digits (the prefix in any letter case).
std::vector<NumberedKey> NumberedKeys(const std::vector<std::string>& names,
                                      const std::string& prefix) {
  std::vector<NumberedKey> keys;
  for (const std::string& name : names) {
    const std::string upper = UpperAscii(Trim(name));
    if (upper.size() <= prefix.size() || upper.compare(0, prefix.size(), prefix) != 0) continue;
    const std::string digits = upper.substr(prefix.size());
    if (digits.size() > 6 || digits.find_first_not_of("0123456789") != std::string::npos) continue;
    keys.push_back({name, static_cast<unsigned>(std::stoul(digits))});
  }
  return keys;
}

}  // namespace

ScriptEncoding EncodingOf(const std::string& bytes, unsigned& firstBadLine) {
  firstBadLine = 0;
  if (bytes.compare(0, 3, "\xEF\xBB\xBF") == 0) return ScriptEncoding::Utf8WithMark;
  if (!HasHighBytes(bytes)) return ScriptEncoding::Cp949;
  if (Decodes(CP_UTF8, bytes)) return ScriptEncoding::Utf8;
  unsigned line = 1;
  for (std::string::size_type start = 0; start <= bytes.size(); ++line) {
    const auto end = bytes.find('\n', start);
    const std::string text = bytes.substr(start, end == std::string::npos ? end : end - start);
    if (!Decodes(949, text)) {
      firstBadLine = line;
      return ScriptEncoding::NotCp949;
    }
    if (end == std::string::npos) break;
    start = end + 1;
  }
  return ScriptEncoding::Cp949;
}

ScriptFile ReadScriptFile(const std::string& path) {
  ScriptFile script;
  std::string bytes;
  if (!FileExists(path) || !ReadWholeFile(path, bytes)) return script;
  script.Encoding = EncodingOf(bytes, script.BadLine);
  script.FileKeys = NumberedKeys(KeyNames(path, "FILES"), "FILE");
  script.IconKeys = NumberedKeys(KeyNames(path, "ICONS"), "ICON");
  return script;
}
