#include "support/long_paths.h"

#include "win/handles.h"

#include <windows.h>

#include <stdexcept>

namespace {

std::wstring Extended(const std::string& path) {
  std::wstring wide = Utf16(path);
  while (!wide.empty() && wide.back() == L'\\') wide.pop_back();
  return L"\\\\?\\" + wide;
}

DWORD Attributes(const std::string& path) { return GetFileAttributesW(Extended(path).c_str()); }

void RemoveTreeWide(const std::wstring& dir) {
  WIN32_FIND_DATAW found;
  FindHandle search(FindFirstFileW((dir + L"\\*").c_str(), &found));
  if (search) {
    do {
      const std::wstring name = found.cFileName;
      if (name == L"." || name == L"..") continue;
      const std::wstring child = dir + L"\\" + name;
      SetFileAttributesW(child.c_str(), FILE_ATTRIBUTE_NORMAL);
      if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
        RemoveTreeWide(child);
      } else {
        DeleteFileW(child.c_str());
      }
    } while (FindNextFileW(search.Get(), &found));
  }
  search.Reset();
  RemoveDirectoryW(dir.c_str());
}

}  // namespace

std::string KoreanText(std::size_t count) {
  static const char* const kSyllables[] = {"가", "나", "다", "라", "마", "바", "사",
                                           "아", "자", "차", "카", "타", "파", "하"};
  std::string text;
  for (std::size_t i = 0; i < count; ++i) text += kSyllables[i % 14];
  return text;
}

bool TwoByteCharacterStartsAt(const std::string& text, std::size_t index) {
  std::size_t i = 0;
  while (i < index && i < text.size()) i += static_cast<unsigned char>(text[i]) >= 0x81 ? 2 : 1;
  return i == index && index < text.size() && static_cast<unsigned char>(text[i]) >= 0x81;
}

std::wstring Utf16(const std::string& text) {
  std::wstring wide(text.size(), L'\0');
  wide.resize(static_cast<std::size_t>(
      MultiByteToWideChar(949, 0, text.data(), static_cast<int>(text.size()), wide.data(),
                          static_cast<int>(wide.size()))));
  return wide;
}

std::size_t Utf16Length(const std::string& path) { return Utf16(path).size(); }

void MakeLongDirectories(const std::string& path) {
  const std::wstring full = Extended(path);
  // After "\\?\X:\" (7 characters) each separator ends a directory to make.
  for (std::size_t pos = full.find(L'\\', 7);; pos = full.find(L'\\', pos + 1)) {
    CreateDirectoryW(full.substr(0, pos).c_str(), nullptr);
    if (pos == std::wstring::npos) return;
  }
}

void WriteLongFile(const std::string& path, const std::string& bytes) {
  FileHandle file(CreateFileW(Extended(path).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr));
  DWORD written = 0;
  if (!file ||
      !WriteFile(file.Get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr)) {
    throw std::runtime_error("cannot write " + path);
  }
}

std::string ReadLongFile(const std::string& path) {
  FileHandle file(CreateFileW(Extended(path).c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                              OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
  std::string bytes;
  char chunk[4096];
  DWORD got = 0;
  while (file && ReadFile(file.Get(), chunk, sizeof chunk, &got, nullptr) && got > 0) {
    bytes.append(chunk, got);
  }
  return bytes;
}

bool LongFileExists(const std::string& path) {
  const DWORD attributes = Attributes(path);
  return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

bool LongDirectoryExists(const std::string& path) {
  const DWORD attributes = Attributes(path);
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

void SetLongAttributes(const std::string& path, unsigned long attributes) {
  SetFileAttributesW(Extended(path).c_str(), attributes);
}

void RemoveLongTree(const std::string& path) { RemoveTreeWide(Extended(path)); }
