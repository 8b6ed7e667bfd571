#include "unrar_standin/name_rules.h"

namespace {

bool IsSeparatorOrDot(wchar_t c) { return c == L'\\' || c == L'.'; }

bool IsDriveLetter(wchar_t c) { return (c >= L'A' && c <= L'Z') || (c >= L'a' && c <= L'z'); }

void DropThroughLastParentReference(std::wstring& name) {
  const auto pos = name.rfind(L"..\\");
  if (pos != std::wstring::npos) name.erase(0, pos + 3);
}

void DropTrailingParentReference(std::wstring& name) {
  if (name.size() >= 2 && name.compare(name.size() - 2, 2, L"..") == 0) {
    name.erase(name.size() - 2);
  }
}

void DropDrive(std::wstring& name) {
  if (name.size() >= 2 && name[1] == L':' && IsDriveLetter(name[0])) name.erase(0, 2);
}

// "\\server\share\rest" keeps only "rest" ("\\?\C:\rest" too).
void DropUncPrefix(std::wstring& name) {
  if (name.compare(0, 2, L"\\\\") != 0) return;
  const auto serverEnd = name.find(L'\\', 2);
  const auto shareEnd =
      serverEnd == std::wstring::npos ? std::wstring::npos : name.find(L'\\', serverEnd + 1);
  name.erase(0, shareEnd == std::wstring::npos ? name.size() : shareEnd + 1);
}

void DropLeadingSeparatorsAndDots(std::wstring& name) {
  std::wstring::size_type count = 0;
  while (count < name.size() && IsSeparatorOrDot(name[count])) ++count;
  name.erase(0, count);
}

}  // namespace

std::wstring SafeStoredName(std::wstring name) {
  for (wchar_t& c : name) {
    if (c == L'/') c = L'\\';
  }
  DropThroughLastParentReference(name);
  DropTrailingParentReference(name);
  DropDrive(name);
  DropUncPrefix(name);
  DropLeadingSeparatorsAndDots(name);
  return name;
}
