#include "text/text.h"

namespace {

bool IsBlank(char c) { return static_cast<unsigned char>(c) <= 32; }

std::string::size_type LastSeparator(const std::string& path) { return path.find_last_of("\\:"); }

}  // namespace

std::string Trim(const std::string& text) {
  std::string::size_type first = 0;
  std::string::size_type last = text.size();
  while (first < last && IsBlank(text[first])) ++first;
  while (last > first && IsBlank(text[last - 1])) --last;
  return text.substr(first, last - first);
}

std::string UpperAscii(std::string text) {
  for (char& c : text) c = UpperAscii(c);
  return text;
}

std::string DirectoryPart(const std::string& path) {
  const auto pos = LastSeparator(path);
  return pos == std::string::npos ? std::string() : path.substr(0, pos + 1);
}

std::string FileNamePart(const std::string& path) {
  const auto pos = LastSeparator(path);
  return pos == std::string::npos ? path : path.substr(pos + 1);
}

std::string FileExtension(const std::string& path) {
  const auto dot = path.rfind('.');
  if (dot == std::string::npos || path.find_first_of("\\:", dot) != std::string::npos) {
    return std::string();
  }
  return path.substr(dot);
}

bool StartsWith(const std::string& text, const std::string& prefix) {
  return text.compare(0, prefix.size(), prefix) == 0;
}

bool EndsWith(const std::string& text, const std::string& suffix) {
  return text.size() >= suffix.size() &&
         text.compare(text.size() - suffix.size(), suffix.size(), suffix) == 0;
}

bool IsWellFormedCp949(const std::string& text) {
  for (std::string::size_type i = 0; i < text.size(); ++i) {
    const auto lead = static_cast<unsigned char>(text[i]);
    if (lead < 0x81 || lead > 0xFE) continue;
    if (++i == text.size()) return false;
    const auto trail = static_cast<unsigned char>(text[i]);
    if (!IsAsciiLetter(trail) && (trail < 0x81 || trail > 0xFE)) return false;
  }
  return true;
}
