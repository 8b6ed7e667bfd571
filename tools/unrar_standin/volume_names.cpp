#include "unrar_standin/volume_names.h"

namespace {

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// Where the extension's dot is; npos when the last name has none.
std::string::size_type ExtensionDot(const std::string& name) {
  const auto dot = name.rfind('.');
  const auto separator = name.find_last_of("\\/:");
  if (dot == std::string::npos || (separator != std::string::npos && dot < separator)) {
    return std::string::npos;
  }
  return dot;
}

// Adds one to the decimal digits in name[first, last); a carry out of the
// first digit puts a "1" in front.
std::string Increment(std::string name, std::string::size_type first, std::string::size_type last) {
  for (auto pos = last; pos > first; --pos) {
    char& digit = name[pos - 1];
    if (digit != '9') {
      ++digit;
      return name;
    }
    digit = '0';
  }
  return name.insert(first, "1");
}

std::string NextOldStyle(const std::string& name) {
  const auto dot = ExtensionDot(name);
  if (dot == std::string::npos) return name + ".r00";
  std::string ext = name.substr(dot + 1);
  const bool upper = !ext.empty() && ext[0] >= 'A' && ext[0] <= 'Z';
  if (ext.size() != 3 || !IsDigit(ext[1]) || !IsDigit(ext[2])) {
    return name.substr(0, dot + 1) + (upper ? "R00" : "r00");
  }
  if (ext[1] == '9' && ext[2] == '9') {
    ext = std::string(1, static_cast<char>(ext[0] + 1)) + "00";
  } else {
    ext = Increment(ext, 1, 3);
  }
  return name.substr(0, dot + 1) + ext;
}

}  // namespace

std::string NextVolumeName(const std::string& name, bool newNaming) {
  const auto dot = ExtensionDot(name);
  if (!newNaming || dot == std::string::npos) return NextOldStyle(name);
  auto first = dot;
  while (first > 0 && IsDigit(name[first - 1])) --first;
  if (first == dot) return NextOldStyle(name);
  return Increment(name, first, dot);
}
