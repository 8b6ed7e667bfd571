#include "support/scopes.h"

#include "support/test_support.h"

#include <windows.h>

#include <vector>

CurrentDirectoryScope::CurrentDirectoryScope(const std::string& enter) {
  std::vector<char> buffer(GetCurrentDirectoryA(0, nullptr) + 1, '\0');
  const DWORD length = GetCurrentDirectoryA(static_cast<DWORD>(buffer.size()), buffer.data());
  previous_.assign(buffer.data(), length < buffer.size() ? length : 0);
  if (!enter.empty()) entered_ = SetCurrentDirectoryA(enter.c_str()) != FALSE;
}

CurrentDirectoryScope::~CurrentDirectoryScope() {
  if (!previous_.empty()) SetCurrentDirectoryA(previous_.c_str());
}

ScratchFolder::ScratchFolder(std::string path) : path_(std::move(path)) { RemoveTree(path_); }

ScratchFolder::~ScratchFolder() { RemoveTree(path_); }
