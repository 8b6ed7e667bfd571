#include "launcher/temporary_folder.h"

#include <windows.h>
#include <ntsecapi.h>
#include <sddl.h>

#include <cstring>
#include <utility>

namespace {

constexpr int kNameAttempts = 16;
constexpr int kRemoveAttempts = 20;  // a scanner may hold a file setup just closed
constexpr DWORD kRemovePause = 100;
constexpr int kMaxDepth = 16;

bool IsDots(const wchar_t* name) {
  return name[0] == L'.' && (name[1] == L'\0' || (name[1] == L'.' && name[2] == L'\0'));
}

// Removes what the folder (path ends in "\") holds, then the folder itself.
bool RemoveTree(WideText& path, int depth) {
  const std::size_t base = path.Length();
  WIN32_FIND_DATAW found;
  FindHandle find(FindFirstFileW(path.Append(L'*').Text(), &found));
  if (find) {
    do {
      if (IsDots(found.cFileName)) continue;
      path.Truncate(base);
      path.Append(found.cFileName);
      const DWORD attributes = found.dwFileAttributes;
      if (attributes & FILE_ATTRIBUTE_REPARSE_POINT && attributes & FILE_ATTRIBUTE_DIRECTORY) {
        RemoveDirectoryW(path.Text());  // the link, not what it points to
      } else if (attributes & FILE_ATTRIBUTE_DIRECTORY) {
        if (depth < kMaxDepth) RemoveTree(path.Append(L'\\'), depth + 1);
      } else {
        if (attributes & FILE_ATTRIBUTE_READONLY)
          SetFileAttributesW(path.Text(), FILE_ATTRIBUTE_NORMAL);
        DeleteFileW(path.Text());
      }
    } while (FindNextFileW(find.Get(), &found));
  }
  find.Reset();
  path.Truncate(base);
  return RemoveDirectoryW(path.Text()) != FALSE;
}

void AppendHex(WideText& text, const unsigned char* bytes, std::size_t count) {
  for (std::size_t i = 0; i < count; ++i) {
    text.Append(L"0123456789abcdef"[bytes[i] >> 4]).Append(L"0123456789abcdef"[bytes[i] & 15]);
  }
}

}  // namespace

WideText FolderSecurity() {
  WideText text;
  HANDLE token = nullptr;
  if (!OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &token)) return text;
  const ObjectHandle tokenOwner(token);
  DWORD size = 0;
  GetTokenInformation(token, TokenUser, nullptr, 0, &size);
  HeapBlock user(size ? size : 1);
  LPWSTR sid = nullptr;
  if (!GetTokenInformation(token, TokenUser, user.Get(), size, &size) ||
      !ConvertSidToStringSidW(static_cast<TOKEN_USER*>(user.Get())->User.Sid, &sid)) {
    return text;
  }
  const LocalMemory sidOwner(sid);
  return std::move(
      text.Append(L"D:P(A;OICI;FA;;;").Append(sid).Append(L")(A;OICI;FA;;;BA)(A;OICI;FA;;;SY)"));
}

bool TemporaryFolder::Create() {
  const WideText security = FolderSecurity();
  PSECURITY_DESCRIPTOR descriptor = nullptr;
  if (security.Empty() || !ConvertStringSecurityDescriptorToSecurityDescriptorW(
                              security.Text(), SDDL_REVISION_1, &descriptor, nullptr)) {
    return false;
  }
  const LocalMemory descriptorOwner(descriptor);
  SECURITY_ATTRIBUTES attributes = {sizeof attributes, descriptor, FALSE};
  WideText temp;
  const DWORD length = GetTempPathW(MAX_PATH + 1, temp.Buffer(MAX_PATH + 1));
  if (length == 0 || length > MAX_PATH) return false;
  temp.SetLength(length);
  for (int attempt = 0; attempt < kNameAttempts; ++attempt) {
    unsigned char random[8];
    if (!RtlGenRandom(random, sizeof random)) return false;
    WideText path;
    path.Append(temp.Text()).Append(L"kit");
    AppendHex(path, random, sizeof random);
    if (CreateDirectoryW(path.Text(), &attributes)) {
      path.Append(L'\\');
      path_ = std::move(path);
      // Without delete sharing: no one renames or removes the folder while it is open.
      folder_.Reset(CreateFileW(path_.Text(), FILE_LIST_DIRECTORY,
                                FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                                FILE_FLAG_BACKUP_SEMANTICS, nullptr));
      if (folder_) return true;
      Remove();
      return false;
    }
    if (GetLastError() != ERROR_ALREADY_EXISTS) return false;  // never a folder made before
  }
  return false;
}

void TemporaryFolder::ReserveFiles(std::size_t count) {
  if (count <= fileCapacity_) return;
  HeapBlock grown(sizeof(HANDLE) * count);
  if (fileCount_ > 0) std::memcpy(grown.Get(), files_.Get(), sizeof(HANDLE) * fileCount_);
  files_ = std::move(grown);
  fileCapacity_ = count;
}

void TemporaryFolder::Keep(FileHandle file) {
  if (fileCount_ == fileCapacity_) ReserveFiles(fileCapacity_ * 2 + 8);
  static_cast<HANDLE*>(files_.Get())[fileCount_++] = file.Release();
}

bool TemporaryFolder::Remove() {
  for (std::size_t i = 0; i < fileCount_; ++i) CloseHandle(static_cast<HANDLE*>(files_.Get())[i]);
  fileCount_ = 0;
  folder_.Reset();
  if (path_.Empty()) return true;
  for (int attempt = 0; attempt < kRemoveAttempts; ++attempt) {
    if (attempt > 0) Sleep(kRemovePause);
    if (RemoveTree(path_, 0) || GetFileAttributesW(path_.Text()) == INVALID_FILE_ATTRIBUTES) {
      path_.Truncate(0);
      return true;
    }
  }
  return false;
}
