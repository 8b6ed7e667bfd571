#include "text/full_path_rules.h"

#include "text/text.h"

#include <algorithm>
#include <string_view>

namespace {

using Size = std::string::size_type;
constexpr Size npos = std::string::npos;

bool EqualsUpper(std::string_view text, std::string_view upper) {
  if (text.size() != upper.size()) return false;
  for (Size i = 0; i < text.size(); ++i) {
    if (UpperAscii(text[i]) != upper[i]) return false;
  }
  return true;
}

// CON, NUL.TXT, "com1 .log": the name up to its first "." or ":", blanks cut, is a
// device's, whatever the directory.
bool IsDeviceName(std::string_view name) {
  std::string_view stem = name.substr(0, name.find_first_of(".:"));
  while (!stem.empty() && stem.back() == ' ') stem.remove_suffix(1);
  for (const char* device : {"CON", "PRN", "AUX", "NUL", "CONIN$", "CONOUT$"}) {
    if (EqualsUpper(stem, device)) return true;
  }
  return stem.size() == 4 &&
         (EqualsUpper(stem.substr(0, 3), "COM") || EqualsUpper(stem.substr(0, 3), "LPT")) &&
         stem[3] >= '1' && stem[3] <= '9';
}

// The length of the root, "X:\" or "\\server\share" with its separator when one
// follows; npos when the path has neither.
Size RootLength(const std::string& path) {
  if (path.size() >= 3 && IsAsciiLetter(path[0]) && path[1] == ':' && path[2] == '\\') return 3;
  if (path.size() < 3 || path[0] != '\\' || path[1] != '\\') return npos;
  // "\\?\" and "\\.\" are device paths; "\\\" names no server.
  if (path[2] == '?' || path[2] == '.' || path[2] == '\\') return npos;
  const Size server = path.find('\\', 2);
  if (server == npos || server + 1 == path.size() || path[server + 1] == '\\') return npos;
  const Size share = path.find('\\', server + 1);
  const std::string_view shareName = std::string_view(path).substr(server + 1, share - server - 1);
  if (shareName == "." || shareName == "..") return npos;
  if (share == npos) return path.size();
  if (share + 1 < path.size() && path[share + 1] == '\\') return npos;
  return share + 1;
}

// Takes the last component off full, never into the root.
void DropLastName(std::string& full, Size rootLength) {
  const Size separator = full.rfind('\\');
  full.resize(separator == npos || separator < rootLength ? rootLength : separator);
}

// Appends the components after the root to full, with "." and ".." resolved and the
// dot ending an inner one dropped; endsInSeparator tells whether a separator follows
// the last one. False for a device name and for a component read apart.
bool AppendNames(const std::string& path, Size rootLength, std::string& full,
                 bool& endsInSeparator) {
  for (Size pos = rootLength; pos < path.size();) {
    const Size end = std::min(path.find('\\', pos), path.size());
    const bool inner = end < path.size();
    std::string_view name = std::string_view(path).substr(pos, end - pos);
    pos = end + 1;
    if (name.empty()) continue;  // a run of separators counts as one
    if (IsDeviceName(name)) return false;
    endsInSeparator = inner;
    if (name == ".") continue;
    if (name == "..") {
      DropLastName(full, rootLength);
      continue;
    }
    if (inner && name.back() == '.') {
      if (name[name.size() - 2] == '.') return false;  // "a..", "...": read apart
      name.remove_suffix(1);
    }
    if (full.size() > rootLength) full += '\\';
    full.append(name);
  }
  return true;
}

}  // namespace

std::optional<std::string> NormalFullPath(const std::string& given) {
  if (given.find('\0') != npos || !IsWellFormedCp949(given)) return std::nullopt;
  std::string path = given;
  for (char& c : path) {
    if (c == '/') c = '\\';
  }
  const Size rootLength = RootLength(path);
  if (rootLength == npos) return std::nullopt;
  std::string full = path.substr(0, rootLength);
  bool endsInSeparator = false;
  if (!AppendNames(path, rootLength, full, endsInSeparator)) return std::nullopt;
  if (full.size() == rootLength) return full;
  if (endsInSeparator) return full + '\\';
  // Dots and blanks that end the path go, down to the separator before them.
  while (full.size() > rootLength && (full.back() == '.' || full.back() == ' ')) full.pop_back();
  return full;
}
