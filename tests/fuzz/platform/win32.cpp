// The platform functions of windows.h beside this file, acting on the modelled
// machine. They keep the platform's contracts that the kit relies on (results,
// error codes, buffer sizes); what no fuzzed source asks for is not modelled.
#include <windows.h>

#include "code_pages.h"
#include "machine.h"
#include "profile.h"
#include "shlobj.h"

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

namespace {

using model::Machine;
using model::MachineEntry;

DWORD lastError = 0;

BOOL Fail(DWORD error) {
  lastError = error;
  return FALSE;
}

UINT CodePageOf(UINT codePage) {
  return codePage == CP_UTF8 ? model::kCodePageUtf8 : model::kCodePage949;
}

// Copies text and its terminating zero into a buffer of size units: the length
// without the zero; when it does not fit, the size needed with the zero.
template <typename Char>
DWORD CopyOut(const std::basic_string<Char>& text, Char* buffer, DWORD size) {
  if (text.size() + 1 > size) return static_cast<DWORD>(text.size() + 1);
  std::copy(text.begin(), text.end(), buffer);
  buffer[text.size()] = Char(0);
  return static_cast<DWORD>(text.size());
}

std::wstring WideName(LPCSTR name) { return name ? model::Wide(name) : std::wstring(); }

// Days since 1601-01-01 of a date, and back.
std::int64_t DaysOf(int year, int month, int day) {
  year -= month <= 2;
  const int era = year / 400;
  const int yoe = year - era * 400;
  const int doy = (153 * (month + (month > 2 ? -3 : 9)) + 2) / 5 + day - 1;
  const int doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
  return static_cast<std::int64_t>(era) * 146097 + doe - 584694;  // 1601-01-01 is day 0
}

void DateOf(std::int64_t days, int& year, int& month, int& day) {
  days += 584694;
  const std::int64_t era = days / 146097;
  const int doe = static_cast<int>(days - era * 146097);
  const int yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
  const int doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
  const int mp = (5 * doy + 2) / 153;
  day = doy - (153 * mp + 2) / 5 + 1;
  month = mp < 10 ? mp + 3 : mp - 9;
  year = static_cast<int>(yoe + era * 400) + (month <= 2);
}

constexpr std::uint64_t kTicksPerDay = 864000000000ull;

std::uint64_t TicksOf(const FILETIME& time) {
  return static_cast<std::uint64_t>(time.dwHighDateTime) << 32 | time.dwLowDateTime;
}

void SetTicks(FILETIME& time, std::uint64_t ticks) {
  time.dwLowDateTime = static_cast<DWORD>(ticks);
  time.dwHighDateTime = static_cast<DWORD>(ticks >> 32);
}

HANDLE OpenFile(const std::wstring& name, DWORD access, DWORD disposition) {
  Machine& machine = Machine::Current();
  const std::wstring full = machine.FullPath(name);
  if (full.empty()) return Fail(ERROR_PATH_NOT_FOUND), INVALID_HANDLE_VALUE;
  MachineEntry* entry = machine.At(full);
  if (entry && entry->Directory) return Fail(ERROR_ACCESS_DENIED), INVALID_HANDLE_VALUE;
  const bool write = (access & GENERIC_WRITE) != 0;
  if (entry && write && (entry->Attributes & FILE_ATTRIBUTE_READONLY)) {
    return Fail(ERROR_ACCESS_DENIED), INVALID_HANDLE_VALUE;
  }
  switch (disposition) {
    case OPEN_EXISTING:
    case TRUNCATE_EXISTING:
      if (!entry) return Fail(ERROR_FILE_NOT_FOUND), INVALID_HANDLE_VALUE;
      if (disposition == TRUNCATE_EXISTING) entry->Data.clear();
      break;
    case CREATE_NEW:
      if (entry) return Fail(ERROR_FILE_EXISTS), INVALID_HANDLE_VALUE;
      [[fallthrough]];
    case CREATE_ALWAYS:
    case OPEN_ALWAYS:
      if (!machine.ParentExists(full)) return Fail(ERROR_PATH_NOT_FOUND), INVALID_HANDLE_VALUE;
      if (!entry || disposition != OPEN_ALWAYS) machine.PutFileAt(full, std::string());
      entry = machine.At(full);
      break;
    default:
      return Fail(ERROR_INVALID_PARAMETER), INVALID_HANDLE_VALUE;
  }
  Machine::OpenFile file;
  file.Key = entry->Path;
  file.Write = write;
  lastError = 0;
  return machine.Open(file);
}

// The entry an open file handle stands for, or null.
MachineEntry* EntryOf(HANDLE handle, Machine::OpenFile** file = nullptr) {
  Machine::OpenFile* open = Machine::Current().Handle(handle);
  if (!open || open->Search) return nullptr;
  if (file) *file = open;
  return Machine::Current().At(open->Key);
}

DWORD AttributesOf(const std::wstring& name) {
  const MachineEntry* entry = Machine::Current().Find(name);
  if (!entry) return Fail(ERROR_FILE_NOT_FOUND), INVALID_FILE_ATTRIBUTES;
  return entry->Attributes;
}

BOOL SetAttributes(const std::wstring& name, DWORD attributes) {
  MachineEntry* entry = Machine::Current().Find(name);
  if (!entry) return Fail(ERROR_FILE_NOT_FOUND);
  constexpr DWORD kSettable = FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN |
                              FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_ARCHIVE;
  entry->Attributes = (attributes & kSettable) | (entry->Directory ? FILE_ATTRIBUTE_DIRECTORY : 0);
  if (!entry->Directory && entry->Attributes == 0) entry->Attributes = FILE_ATTRIBUTE_NORMAL;
  return TRUE;
}

BOOL MakeDirectory(const std::wstring& name) {
  Machine& machine = Machine::Current();
  if (machine.Find(name)) return Fail(ERROR_ALREADY_EXISTS);
  if (!machine.MakeDirectory(name)) return Fail(ERROR_PATH_NOT_FOUND);
  return TRUE;
}

BOOL RemoveEntry(const std::wstring& name, bool directory) {
  Machine& machine = Machine::Current();
  const MachineEntry* entry = machine.Find(name);
  if (!entry) return Fail(ERROR_FILE_NOT_FOUND);
  if (entry->Directory != directory) return Fail(directory ? 267 : ERROR_ACCESS_DENIED);
  if (entry->Attributes & FILE_ATTRIBUTE_READONLY) return Fail(ERROR_ACCESS_DENIED);
  if (directory && !machine.Below(entry->Path).empty()) return Fail(ERROR_DIR_NOT_EMPTY);
  machine.RemoveAt(entry->Path);
  return TRUE;
}

template <typename Char>
DWORD FullPathOf(const std::wstring& name, DWORD size, Char* buffer,
                 std::basic_string<Char> (*convert)(const std::wstring&)) {
  const std::wstring full = Machine::Current().FullPath(name);
  if (full.empty()) return Fail(ERROR_INVALID_PARAMETER), 0;
  return CopyOut(convert(full), buffer, size);
}

std::wstring Same(const std::wstring& text) { return text; }

void FillFound(const MachineEntry& entry, WIN32_FIND_DATAW& found) {
  found = WIN32_FIND_DATAW{};
  found.dwFileAttributes = entry.Attributes;
  SetTicks(found.ftLastWriteTime, entry.WriteTime);
  found.nFileSizeLow = static_cast<DWORD>(entry.Data.size());
  const std::wstring name = entry.Path.substr(entry.Path.find_last_of(L'\\') + 1);
  name.copy(found.cFileName, std::min<std::size_t>(name.size(), MAX_PATH - 1));
}

void NarrowFound(const WIN32_FIND_DATAW& wide, WIN32_FIND_DATAA& found) {
  found = WIN32_FIND_DATAA{};
  found.dwFileAttributes = wide.dwFileAttributes;
  found.ftLastWriteTime = wide.ftLastWriteTime;
  found.nFileSizeLow = wide.nFileSizeLow;
  const std::string name = model::Narrow(wide.cFileName);
  std::strncpy(found.cFileName, name.c_str(), MAX_PATH - 1);
}

// The key a handle and a subkey name stand for: "" is HKEY_LOCAL_MACHINE itself.
// Runs of separators count as one; a leading one makes no path.
LONG KeyPath(HKEY base, LPCSTR subKey, std::string& path) {
  const std::string* basePath =
      base == HKEY_LOCAL_MACHINE ? nullptr : Machine::Current().KeyOf(base);
  if (base != HKEY_LOCAL_MACHINE && !basePath) return ERROR_INVALID_HANDLE;
  path = basePath ? *basePath : std::string();
  const std::string sub = subKey ? subKey : "";
  if (!sub.empty() && sub[0] == '\\') return ERROR_BAD_PATHNAME;
  std::size_t at = 0;
  while (at < sub.size()) {
    const std::size_t end = std::min(sub.find('\\', at), sub.size());
    if (end > at) path += (path.empty() ? "" : "\\") + sub.substr(at, end - at);
    at = end + 1;
  }
  return ERROR_SUCCESS;
}

}  // namespace

extern "C" {

DWORD WINAPI GetLastError() { return lastError; }
void WINAPI SetLastError(DWORD error) { lastError = error; }
BOOL WINAPI CloseHandle(HANDLE handle) {
  return Machine::Current().Close(handle) ? TRUE : Fail(ERROR_INVALID_HANDLE);
}
BOOL WINAPI FindClose(HANDLE find) { return CloseHandle(find); }

HANDLE WINAPI CreateFileA(LPCSTR name, DWORD access, DWORD, SECURITY_ATTRIBUTES*, DWORD disposition,
                          DWORD, HANDLE) {
  return OpenFile(WideName(name), access, disposition);
}

HANDLE WINAPI CreateFileW(LPCWSTR name, DWORD access, DWORD, SECURITY_ATTRIBUTES*,
                          DWORD disposition, DWORD, HANDLE) {
  return OpenFile(name ? name : L"", access, disposition);
}

BOOL WINAPI ReadFile(HANDLE handle, void* buffer, DWORD size, DWORD* read, OVERLAPPED*) {
  Machine::OpenFile* file = nullptr;
  const MachineEntry* entry = EntryOf(handle, &file);
  if (read) *read = 0;
  if (!entry) return Fail(ERROR_INVALID_HANDLE);
  const std::uint64_t left =
      file->Position < entry->Data.size() ? entry->Data.size() - file->Position : 0;
  const auto got = static_cast<DWORD>(std::min<std::uint64_t>(left, size));
  if (got > 0) std::memcpy(buffer, entry->Data.data() + file->Position, got);
  file->Position += got;
  if (read) *read = got;
  return TRUE;
}

BOOL WINAPI WriteFile(HANDLE handle, const void* buffer, DWORD size, DWORD* written, OVERLAPPED*) {
  Machine::OpenFile* file = nullptr;
  MachineEntry* entry = EntryOf(handle, &file);
  if (written) *written = 0;
  if (!entry || !file->Write) return Fail(ERROR_ACCESS_DENIED);
  if (file->Position > entry->Data.size()) entry->Data.resize(file->Position, '\0');
  entry->Data.replace(file->Position, size, static_cast<const char*>(buffer), size);
  file->Position += size;
  entry->WriteTime = Machine::Current().Now();
  if (written) *written = size;
  return TRUE;
}

BOOL WINAPI GetFileSizeEx(HANDLE handle, LARGE_INTEGER* size) {
  const MachineEntry* entry = EntryOf(handle);
  if (!entry) return Fail(ERROR_INVALID_HANDLE);
  size->QuadPart = static_cast<LONGLONG>(entry->Data.size());
  return TRUE;
}

DWORD WINAPI GetFileSize(HANDLE handle, DWORD* high) {
  const MachineEntry* entry = EntryOf(handle);
  if (!entry) return Fail(ERROR_INVALID_HANDLE), INVALID_FILE_SIZE;
  if (high) *high = 0;
  return static_cast<DWORD>(entry->Data.size());
}

BOOL WINAPI SetFilePointerEx(HANDLE handle, LARGE_INTEGER distance, LARGE_INTEGER* position,
                             DWORD method) {
  Machine::OpenFile* file = nullptr;
  const MachineEntry* entry = EntryOf(handle, &file);
  if (!entry) return Fail(ERROR_INVALID_HANDLE);
  const LONGLONG base = method == FILE_BEGIN     ? 0
                        : method == FILE_CURRENT ? static_cast<LONGLONG>(file->Position)
                                                 : static_cast<LONGLONG>(entry->Data.size());
  if (base + distance.QuadPart < 0) return Fail(ERROR_INVALID_PARAMETER);
  file->Position = static_cast<std::uint64_t>(base + distance.QuadPart);
  if (position) position->QuadPart = static_cast<LONGLONG>(file->Position);
  return TRUE;
}

BOOL WINAPI SetFileTime(HANDLE handle, const FILETIME*, const FILETIME*, const FILETIME* written) {
  MachineEntry* entry = EntryOf(handle);
  if (!entry) return Fail(ERROR_INVALID_HANDLE);
  if (written) entry->WriteTime = TicksOf(*written);
  return TRUE;
}

DWORD WINAPI GetFileAttributesA(LPCSTR name) { return AttributesOf(WideName(name)); }
DWORD WINAPI GetFileAttributesW(LPCWSTR name) { return AttributesOf(name ? name : L""); }

BOOL WINAPI GetFileAttributesExA(LPCSTR name, GET_FILEEX_INFO_LEVELS, void* data) {
  const MachineEntry* entry = Machine::Current().Find(WideName(name));
  if (!entry) return Fail(ERROR_FILE_NOT_FOUND);
  auto* info = static_cast<WIN32_FILE_ATTRIBUTE_DATA*>(data);
  *info = WIN32_FILE_ATTRIBUTE_DATA{};
  info->dwFileAttributes = entry->Attributes;
  SetTicks(info->ftLastWriteTime, entry->WriteTime);
  info->nFileSizeLow = static_cast<DWORD>(entry->Data.size());
  return TRUE;
}

BOOL WINAPI SetFileAttributesA(LPCSTR name, DWORD attributes) {
  return SetAttributes(WideName(name), attributes);
}
BOOL WINAPI SetFileAttributesW(LPCWSTR name, DWORD attributes) {
  return SetAttributes(name ? name : L"", attributes);
}
BOOL WINAPI CreateDirectoryA(LPCSTR name, SECURITY_ATTRIBUTES*) {
  return MakeDirectory(WideName(name));
}
BOOL WINAPI CreateDirectoryW(LPCWSTR name, SECURITY_ATTRIBUTES*) {
  return MakeDirectory(name ? name : L"");
}
BOOL WINAPI RemoveDirectoryA(LPCSTR name) { return RemoveEntry(WideName(name), true); }
BOOL WINAPI RemoveDirectoryW(LPCWSTR name) { return RemoveEntry(name ? name : L"", true); }
BOOL WINAPI DeleteFileA(LPCSTR name) { return RemoveEntry(WideName(name), false); }
BOOL WINAPI DeleteFileW(LPCWSTR name) { return RemoveEntry(name ? name : L"", false); }

// Patterns "DIR\*" only: every entry directly in the directory.
HANDLE WINAPI FindFirstFileA(LPCSTR pattern, WIN32_FIND_DATAA* found) {
  WIN32_FIND_DATAW wideFound;
  const HANDLE search = FindFirstFileW(WideName(pattern).c_str(), &wideFound);
  if (search != INVALID_HANDLE_VALUE) NarrowFound(wideFound, *found);
  return search;
}

BOOL WINAPI FindNextFileA(HANDLE find, WIN32_FIND_DATAA* found) {
  WIN32_FIND_DATAW wideFound;
  if (!FindNextFileW(find, &wideFound)) return FALSE;
  NarrowFound(wideFound, *found);
  return TRUE;
}

HANDLE WINAPI FindFirstFileW(LPCWSTR pattern, WIN32_FIND_DATAW* found) {
  std::wstring wide = pattern ? pattern : L"";
  if (wide.size() < 2 || wide.compare(wide.size() - 2, 2, L"\\*") != 0) {
    return Fail(ERROR_INVALID_PARAMETER), INVALID_HANDLE_VALUE;
  }
  Machine& machine = Machine::Current();
  const MachineEntry* dir = machine.Find(wide.substr(0, wide.size() - 2));
  if (!dir || !dir->Directory) return Fail(ERROR_PATH_NOT_FOUND), INVALID_HANDLE_VALUE;
  Machine::OpenFile search;
  search.Search = true;
  const std::size_t depth =
      std::count(dir->Path.begin(), dir->Path.end(), L'\\') + (dir->Path.back() == L'\\' ? 0 : 1);
  for (const MachineEntry* entry : machine.Below(dir->Path)) {
    if (static_cast<std::size_t>(std::count(entry->Path.begin(), entry->Path.end(), L'\\')) ==
        depth) {
      search.Found.push_back(entry->Path);
    }
  }
  if (search.Found.empty()) return Fail(ERROR_FILE_NOT_FOUND), INVALID_HANDLE_VALUE;
  FillFound(*machine.At(search.Found.front()), *found);
  search.Found.erase(search.Found.begin());
  return machine.Open(search);
}

BOOL WINAPI FindNextFileW(HANDLE find, WIN32_FIND_DATAW* found) {
  Machine::OpenFile* search = Machine::Current().Handle(find);
  if (!search || !search->Search) return Fail(ERROR_INVALID_HANDLE);
  while (!search->Found.empty()) {
    const MachineEntry* entry = Machine::Current().At(search->Found.front());
    search->Found.erase(search->Found.begin());
    if (entry) {
      FillFound(*entry, *found);
      return TRUE;
    }
  }
  return Fail(ERROR_NO_MORE_FILES);
}

DWORD WINAPI GetFullPathNameA(LPCSTR name, DWORD size, LPSTR buffer, LPSTR*) {
  return FullPathOf<char>(WideName(name), size, buffer, model::Narrow);
}
DWORD WINAPI GetFullPathNameW(LPCWSTR name, DWORD size, LPWSTR buffer, LPWSTR*) {
  return FullPathOf<wchar_t>(name ? name : L"", size, buffer, Same);
}
DWORD WINAPI GetCurrentDirectoryA(DWORD size, LPSTR buffer) {
  return CopyOut(model::Narrow(Machine::Current().CurrentDirectory()), buffer, size);
}
DWORD WINAPI GetCurrentDirectoryW(DWORD size, LPWSTR buffer) {
  return CopyOut(Machine::Current().CurrentDirectory(), buffer, size);
}
UINT WINAPI GetWindowsDirectoryA(LPSTR buffer, UINT size) {
  return CopyOut(Machine::Current().WindowsDirectory, buffer, size);
}
UINT WINAPI GetSystemDirectoryA(LPSTR buffer, UINT size) {
  return CopyOut(Machine::Current().WindowsDirectory + "\\SYSTEM32", buffer, size);
}

// The program lies in C:\MEDIUM; like the platform, a name cut by the buffer is
// left without its terminating zero and the buffer's size is returned.
DWORD WINAPI GetModuleFileNameW(HMODULE, LPWSTR buffer, DWORD size) {
  const std::wstring name = L"C:\\MEDIUM\\setup.exe";
  if (size == 0) return 0;
  const DWORD copied = static_cast<DWORD>(std::min<std::size_t>(name.size(), size));
  std::copy(name.begin(), name.begin() + copied, buffer);
  if (copied < size) buffer[copied] = L'\0';
  return copied;
}
DWORD WINAPI GetModuleFileNameA(HMODULE, LPSTR buffer, DWORD size) {
  const std::string name = "C:\\MEDIUM\\setup.exe";
  if (size == 0) return 0;
  const DWORD copied = static_cast<DWORD>(std::min<std::size_t>(name.size(), size));
  std::copy(name.begin(), name.begin() + copied, buffer);
  if (copied < size) buffer[copied] = '\0';
  return copied;
}

BOOL WINAPI DosDateTimeToFileTime(WORD date, WORD time, FILETIME* fileTime) {
  const int day = date & 31;
  const int month = (date >> 5) & 15;
  const int year = 1980 + (date >> 9);
  if (day < 1 || month < 1 || month > 12 || (time >> 11) > 23 || ((time >> 5) & 63) > 59 ||
      (time & 31) > 29) {
    return Fail(ERROR_INVALID_PARAMETER);
  }
  const std::uint64_t seconds = (time >> 11) * 3600 + ((time >> 5) & 63) * 60 + (time & 31) * 2;
  SetTicks(*fileTime, static_cast<std::uint64_t>(DaysOf(year, month, day)) * kTicksPerDay +
                          seconds * 10000000ull);
  return TRUE;
}

BOOL WINAPI FileTimeToDosDateTime(const FILETIME* fileTime, WORD* date, WORD* time) {
  SYSTEMTIME when;
  if (!FileTimeToSystemTime(fileTime, &when) || when.wYear < 1980 || when.wYear > 2107) {
    return Fail(ERROR_INVALID_PARAMETER);
  }
  *date = static_cast<WORD>((when.wYear - 1980) << 9 | when.wMonth << 5 | when.wDay);
  *time = static_cast<WORD>(when.wHour << 11 | when.wMinute << 5 | when.wSecond / 2);
  return TRUE;
}

// The machine's local time is UTC.
BOOL WINAPI LocalFileTimeToFileTime(const FILETIME* local, FILETIME* utc) {
  *utc = *local;
  return TRUE;
}
BOOL WINAPI FileTimeToLocalFileTime(const FILETIME* utc, FILETIME* local) {
  *local = *utc;
  return TRUE;
}

BOOL WINAPI FileTimeToSystemTime(const FILETIME* fileTime, SYSTEMTIME* systemTime) {
  const std::uint64_t ticks = TicksOf(*fileTime);
  if (ticks >> 63) return Fail(ERROR_INVALID_PARAMETER);
  int year, month, day;
  DateOf(static_cast<std::int64_t>(ticks / kTicksPerDay), year, month, day);
  const std::uint64_t inDay = ticks % kTicksPerDay;
  *systemTime = SYSTEMTIME{};
  systemTime->wYear = static_cast<WORD>(year);
  systemTime->wMonth = static_cast<WORD>(month);
  systemTime->wDay = static_cast<WORD>(day);
  systemTime->wDayOfWeek = static_cast<WORD>((ticks / kTicksPerDay + 1) % 7);  // 1601-01-01: Monday
  systemTime->wHour = static_cast<WORD>(inDay / 36000000000ull);
  systemTime->wMinute = static_cast<WORD>(inDay / 600000000ull % 60);
  systemTime->wSecond = static_cast<WORD>(inDay / 10000000ull % 60);
  systemTime->wMilliseconds = static_cast<WORD>(inDay / 10000ull % 1000);
  return TRUE;
}

BOOL WINAPI SystemTimeToFileTime(const SYSTEMTIME* t, FILETIME* fileTime) {
  if (t->wYear < 1601 || t->wYear > 30827 || t->wMonth < 1 || t->wMonth > 12 || t->wDay < 1 ||
      t->wDay > 31 || t->wHour > 23 || t->wMinute > 59 || t->wSecond > 59 ||
      t->wMilliseconds > 999) {
    return Fail(ERROR_INVALID_PARAMETER);
  }
  const std::uint64_t ms =
      ((t->wHour * 60ull + t->wMinute) * 60 + t->wSecond) * 1000 + t->wMilliseconds;
  SetTicks(
      *fileTime,
      static_cast<std::uint64_t>(DaysOf(t->wYear, t->wMonth, t->wDay)) * kTicksPerDay + ms * 10000);
  return TRUE;
}

void WINAPI GetLocalTime(SYSTEMTIME* now) {
  FILETIME time;
  SetTicks(time, Machine::Current().Now());
  FileTimeToSystemTime(&time, now);
}

int WINAPI MultiByteToWideChar(UINT codePage, DWORD flags, LPCSTR bytes, int size, LPWSTR out,
                               int outSize) {
  if (!bytes || size == 0 || outSize < 0) return Fail(ERROR_INVALID_PARAMETER), 0;
  const std::string text = size < 0 ? std::string(bytes, std::strlen(bytes) + 1)
                                    : std::string(bytes, static_cast<std::size_t>(size));
  std::wstring wide;
  if (!model::ToUtf16(CodePageOf(codePage), text, (flags & MB_ERR_INVALID_CHARS) != 0, wide)) {
    return Fail(ERROR_NO_UNICODE_TRANSLATION), 0;
  }
  if (outSize == 0) return static_cast<int>(wide.size());
  if (static_cast<int>(wide.size()) > outSize) return Fail(ERROR_INSUFFICIENT_BUFFER), 0;
  std::copy(wide.begin(), wide.end(), out);
  return static_cast<int>(wide.size());
}

int WINAPI WideCharToMultiByte(UINT codePage, DWORD flags, LPCWSTR text, int size, LPSTR out,
                               int outSize, LPCSTR, BOOL* usedDefault) {
  if (!text || size == 0 || outSize < 0) return Fail(ERROR_INVALID_PARAMETER), 0;
  const std::wstring wide = size < 0 ? std::wstring(text, std::wcslen(text) + 1)
                                     : std::wstring(text, static_cast<std::size_t>(size));
  std::string bytes;
  bool defaulted = false;
  if (!model::FromUtf16(CodePageOf(codePage), wide, (flags & WC_ERR_INVALID_CHARS) != 0, bytes,
                        defaulted)) {
    return Fail(ERROR_NO_UNICODE_TRANSLATION), 0;
  }
  if (usedDefault) *usedDefault = defaulted;
  if (outSize == 0) return static_cast<int>(bytes.size());
  if (static_cast<int>(bytes.size()) > outSize) return Fail(ERROR_INSUFFICIENT_BUFFER), 0;
  std::copy(bytes.begin(), bytes.end(), out);
  return static_cast<int>(bytes.size());
}

DWORD WINAPI CharUpperBuffW(LPWSTR text, DWORD length) {
  for (DWORD i = 0; i < length; ++i) {
    if (text[i] >= L'a' && text[i] <= L'z') text[i] = static_cast<wchar_t>(text[i] - L'a' + L'A');
  }
  return length;
}

UINT WINAPI GetACP() { return model::kCodePage949; }

DWORD WINAPI GetEnvironmentVariableA(LPCSTR, LPSTR, DWORD) {
  return Fail(ERROR_ENVVAR_NOT_FOUND), 0;
}
HANDLE WINAPI OpenEventA(DWORD, BOOL, LPCSTR) { return Fail(ERROR_FILE_NOT_FOUND), nullptr; }
BOOL WINAPI SetEvent(HANDLE) { return Fail(ERROR_INVALID_HANDLE); }
DWORD WINAPI WaitForSingleObject(HANDLE, DWORD) { return Fail(ERROR_INVALID_HANDLE), WAIT_FAILED; }
DWORD WINAPI MsgWaitForMultipleObjects(DWORD, const HANDLE*, BOOL, DWORD, DWORD) {
  return Fail(ERROR_INVALID_HANDLE), WAIT_FAILED;
}
BOOL WINAPI PeekMessageA(MSG*, HWND, UINT, UINT, UINT) { return FALSE; }
DWORD WINAPI GetTickCount() { return static_cast<DWORD>(Machine::Current().Now() / 10000); }

LONG WINAPI RegOpenKeyExA(HKEY key, LPCSTR subKey, DWORD, REGSAM, PHKEY result) {
  std::string path;
  if (const LONG error = KeyPath(key, subKey, path)) return error;
  if (!Machine::Current().KeyExists(path)) return ERROR_FILE_NOT_FOUND;
  *result = static_cast<HKEY>(Machine::Current().OpenKey(path));
  return ERROR_SUCCESS;
}

LONG WINAPI RegCreateKeyExA(HKEY key, LPCSTR subKey, DWORD, LPSTR, DWORD, REGSAM,
                            SECURITY_ATTRIBUTES*, PHKEY result, DWORD* disposition) {
  std::string path;
  if (const LONG error = KeyPath(key, subKey, path)) return error;
  const bool existed = Machine::Current().KeyExists(path);
  Machine::Current().MakeKey(path);
  if (disposition) *disposition = existed ? 2 : 1;  // opened, created
  *result = static_cast<HKEY>(Machine::Current().OpenKey(path));
  return ERROR_SUCCESS;
}

LONG WINAPI RegCloseKey(HKEY key) {
  return key == HKEY_LOCAL_MACHINE || Machine::Current().CloseKey(key) ? ERROR_SUCCESS
                                                                       : ERROR_INVALID_HANDLE;
}

// The key itself ("" below its base) is never deleted; nor one with subkeys.
LONG WINAPI RegDeleteKeyA(HKEY key, LPCSTR subKey) {
  std::string path;
  if (const LONG error = KeyPath(key, subKey, path)) return error;
  if (!subKey || !*subKey) return ERROR_ACCESS_DENIED;
  if (!Machine::Current().KeyExists(path)) return ERROR_FILE_NOT_FOUND;
  return Machine::Current().RemoveKey(path) ? ERROR_SUCCESS : ERROR_ACCESS_DENIED;
}

// The longest subkey name is counted in UTF-16 units, as the platform does.
LONG WINAPI RegQueryInfoKeyA(HKEY key, LPSTR, DWORD*, DWORD*, DWORD* subKeys, DWORD* longestSubKey,
                             DWORD*, DWORD* values, DWORD*, DWORD*, DWORD*, FILETIME*) {
  std::string path;
  if (const LONG error = KeyPath(key, nullptr, path)) return error;
  const std::vector<std::string> names = Machine::Current().SubKeys(path);
  if (subKeys) *subKeys = static_cast<DWORD>(names.size());
  if (longestSubKey) {
    *longestSubKey = 0;
    for (const std::string& name : names) {
      *longestSubKey = std::max(*longestSubKey, static_cast<DWORD>(model::Wide(name).size()));
    }
  }
  if (values) *values = static_cast<DWORD>(Machine::Current().ValueCount(path));
  return ERROR_SUCCESS;
}

LONG WINAPI RegEnumKeyExA(HKEY key, DWORD index, LPSTR name, DWORD* nameSize, DWORD*, LPSTR, DWORD*,
                          FILETIME*) {
  std::string path;
  if (const LONG error = KeyPath(key, nullptr, path)) return error;
  const std::vector<std::string> names = Machine::Current().SubKeys(path);
  if (index >= names.size()) return ERROR_NO_MORE_ITEMS;
  const std::string& found = names[index];
  if (found.size() + 1 > *nameSize) return ERROR_MORE_DATA;
  std::memcpy(name, found.c_str(), found.size() + 1);
  *nameSize = static_cast<DWORD>(found.size());
  return ERROR_SUCCESS;
}

// Values are kept as text (REG_SZ), their bytes as written.
LONG WINAPI RegSetValueExA(HKEY key, LPCSTR name, DWORD, DWORD, const BYTE* data, DWORD size) {
  std::string path;
  if (const LONG error = KeyPath(key, nullptr, path)) return error;
  const char* text = reinterpret_cast<const char*>(data);
  Machine::Current().SetValue(path, name ? name : "", std::string(text, text ? size : 0));
  return ERROR_SUCCESS;
}

LONG WINAPI RegQueryValueExA(HKEY key, LPCSTR name, DWORD*, DWORD* type, BYTE* data, DWORD* size) {
  std::string path;
  if (const LONG error = KeyPath(key, nullptr, path)) return error;
  const std::string* value = Machine::Current().Value(path, name ? name : "");
  if (!value) return ERROR_FILE_NOT_FOUND;
  if (type) *type = REG_SZ;
  const DWORD needed = static_cast<DWORD>(value->size());
  if (!data) {
    if (size) *size = needed;
    return ERROR_SUCCESS;
  }
  if (!size || *size < needed) {
    if (size) *size = needed;
    return ERROR_MORE_DATA;
  }
  std::memcpy(data, value->data(), needed);
  *size = needed;
  return ERROR_SUCCESS;
}

// The restart is not modelled: a removal handed to it is accepted and waits.
BOOL WINAPI MoveFileExW(LPCWSTR, LPCWSTR, DWORD) { return TRUE; }

HRESULT WINAPI SHGetFolderPathA(HWND, int folder, HANDLE, DWORD, LPSTR path) {
  if (folder != CSIDL_PROGRAM_FILES) return E_FAIL;
  std::strcpy(path, "C:\\Program Files");
  return S_OK;
}

DWORD WINAPI GetPrivateProfileStringA(LPCSTR section, LPCSTR key, LPCSTR defaultValue, LPSTR buffer,
                                      DWORD size, LPCSTR fileName) {
  const MachineEntry* file = Machine::Current().Find(WideName(fileName));
  const bool exists = file && !file->Directory;
  return model::ProfileString(exists ? file->Data : std::string(), exists, section, key,
                              defaultValue, buffer, size);
}

}  // extern "C"
