// The part of the Windows API that the kit's readers use, for native fuzz targets
// on Linux (32-bit, like the programs): found before any system header by the
// include path of tools/fuzz.sh. The functions run on a modelled machine
// (machine.h): files and registry keys in memory, code page 949, fixed system
// directories and clock.
// Only what the fuzzed sources call is here; a new caller adds what it needs.
#pragma once

#include <cstddef>
#include <cstdint>

#define WINAPI __attribute__((stdcall))
#define CALLBACK WINAPI
#define __stdcall __attribute__((stdcall))

typedef int BOOL;
typedef unsigned char BYTE;
typedef unsigned short WORD;
typedef std::uint32_t DWORD;
typedef std::int32_t LONG;
typedef long long LONGLONG;
typedef unsigned long long ULONGLONG;
typedef unsigned int UINT;
typedef wchar_t WCHAR;
typedef char CHAR;
typedef const char* LPCSTR;
typedef char* LPSTR;
typedef const wchar_t* LPCWSTR;
typedef wchar_t* LPWSTR;
typedef void* LPVOID;
typedef void* HANDLE;

#define MODEL_DECLARE_HANDLE(name) \
  struct name##__;                 \
  typedef name##__* name
MODEL_DECLARE_HANDLE(HWND);
MODEL_DECLARE_HANDLE(HDC);
MODEL_DECLARE_HANDLE(HFONT);
MODEL_DECLARE_HANDLE(HBRUSH);
MODEL_DECLARE_HANDLE(HBITMAP);
MODEL_DECLARE_HANDLE(HKEY);
MODEL_DECLARE_HANDLE(HINSTANCE);
typedef HINSTANCE HMODULE;
typedef void* HLOCAL;
typedef void* HGDIOBJ;

#define TRUE 1
#define FALSE 0
#define MAX_PATH 260
#define INVALID_HANDLE_VALUE (reinterpret_cast<HANDLE>(static_cast<std::intptr_t>(-1)))
#define INVALID_FILE_ATTRIBUTES (static_cast<DWORD>(-1))
#define INVALID_FILE_SIZE (static_cast<DWORD>(0xFFFFFFFF))
#define LOWORD(l) (static_cast<WORD>(static_cast<DWORD>(l) & 0xFFFF))
#define HIWORD(l) (static_cast<WORD>((static_cast<DWORD>(l) >> 16) & 0xFFFF))

#define ERROR_SUCCESS 0L
#define ERROR_FILE_NOT_FOUND 2L
#define ERROR_PATH_NOT_FOUND 3L
#define ERROR_ACCESS_DENIED 5L
#define ERROR_INVALID_HANDLE 6L
#define ERROR_NO_MORE_FILES 18L
#define ERROR_SHARING_VIOLATION 32L
#define ERROR_FILE_EXISTS 80L
#define ERROR_INVALID_PARAMETER 87L
#define ERROR_INSUFFICIENT_BUFFER 122L
#define ERROR_DIR_NOT_EMPTY 145L
#define ERROR_ALREADY_EXISTS 183L
#define ERROR_NO_UNICODE_TRANSLATION 1113L

#define GENERIC_READ 0x80000000u
#define GENERIC_WRITE 0x40000000u
#define FILE_SHARE_READ 0x1
#define FILE_SHARE_WRITE 0x2
#define FILE_SHARE_DELETE 0x4
#define CREATE_NEW 1
#define CREATE_ALWAYS 2
#define OPEN_EXISTING 3
#define OPEN_ALWAYS 4
#define TRUNCATE_EXISTING 5
#define FILE_BEGIN 0
#define FILE_CURRENT 1
#define FILE_END 2
#define FILE_ATTRIBUTE_READONLY 0x1
#define FILE_ATTRIBUTE_HIDDEN 0x2
#define FILE_ATTRIBUTE_SYSTEM 0x4
#define FILE_ATTRIBUTE_DIRECTORY 0x10
#define FILE_ATTRIBUTE_ARCHIVE 0x20
#define FILE_ATTRIBUTE_NORMAL 0x80
#define FILE_ATTRIBUTE_REPARSE_POINT 0x400
#define FILE_FLAG_SEQUENTIAL_SCAN 0x08000000u

#define CP_ACP 0
#define CP_OEMCP 1
#define CP_UTF8 65001
#define MB_ERR_INVALID_CHARS 0x8
#define WC_ERR_INVALID_CHARS 0x80
#define WC_NO_BEST_FIT_CHARS 0x400

typedef union _LARGE_INTEGER {
  struct {
    DWORD LowPart;
    LONG HighPart;
  };
  LONGLONG QuadPart;
} LARGE_INTEGER;

typedef struct _FILETIME {
  DWORD dwLowDateTime;
  DWORD dwHighDateTime;
} FILETIME;

typedef struct _SYSTEMTIME {
  WORD wYear;
  WORD wMonth;
  WORD wDayOfWeek;
  WORD wDay;
  WORD wHour;
  WORD wMinute;
  WORD wSecond;
  WORD wMilliseconds;
} SYSTEMTIME;

typedef struct _WIN32_FIND_DATAA {
  DWORD dwFileAttributes;
  FILETIME ftCreationTime;
  FILETIME ftLastAccessTime;
  FILETIME ftLastWriteTime;
  DWORD nFileSizeHigh;
  DWORD nFileSizeLow;
  DWORD dwReserved0;
  DWORD dwReserved1;
  CHAR cFileName[MAX_PATH];
  CHAR cAlternateFileName[14];
} WIN32_FIND_DATAA;

typedef struct _WIN32_FILE_ATTRIBUTE_DATA {
  DWORD dwFileAttributes;
  FILETIME ftCreationTime;
  FILETIME ftLastAccessTime;
  FILETIME ftLastWriteTime;
  DWORD nFileSizeHigh;
  DWORD nFileSizeLow;
} WIN32_FILE_ATTRIBUTE_DATA;

typedef struct _WIN32_FIND_DATAW {
  DWORD dwFileAttributes;
  FILETIME ftCreationTime;
  FILETIME ftLastAccessTime;
  FILETIME ftLastWriteTime;
  DWORD nFileSizeHigh;
  DWORD nFileSizeLow;
  DWORD dwReserved0;
  DWORD dwReserved1;
  WCHAR cFileName[MAX_PATH];
  WCHAR cAlternateFileName[14];
} WIN32_FIND_DATAW;

typedef enum _GET_FILEEX_INFO_LEVELS { GetFileExInfoStandard } GET_FILEEX_INFO_LEVELS;

typedef struct tagPOINT {
  LONG x;
  LONG y;
} POINT;

typedef struct tagMSG {
  HWND hwnd;
  UINT message;
  std::uintptr_t wParam;
  std::intptr_t lParam;
  DWORD time;
  POINT pt;
} MSG;

#define SYNCHRONIZE 0x00100000
#define EVENT_MODIFY_STATE 0x0002
#define WAIT_OBJECT_0 0
#define WAIT_TIMEOUT 258
#define WAIT_FAILED 0xFFFFFFFFu
#define QS_SENDMESSAGE 0x0040
#define PM_NOREMOVE 0x0000
#define PM_QS_SENDMESSAGE (QS_SENDMESSAGE << 16)
#define ERROR_ENVVAR_NOT_FOUND 203L

typedef DWORD REGSAM;
typedef HKEY* PHKEY;
#define HKEY_LOCAL_MACHINE (reinterpret_cast<HKEY>(static_cast<std::uintptr_t>(0x80000002u)))
#define KEY_ALL_ACCESS 0xF003F
#define KEY_READ 0x20019
#define KEY_QUERY_VALUE 0x1
typedef long HRESULT;
#define S_OK 0L
#define E_FAIL static_cast<HRESULT>(0x80004005L)
#define SUCCEEDED(hr) (static_cast<HRESULT>(hr) >= 0)
#define FAILED(hr) (static_cast<HRESULT>(hr) < 0)
#define REG_NONE 0
#define REG_SZ 1
#define REG_EXPAND_SZ 2
#define REG_DWORD 4
#define REG_OPTION_NON_VOLATILE 0
#define ERROR_BAD_PATHNAME 161L
#define ERROR_MORE_DATA 234L
#define ERROR_NO_MORE_ITEMS 259L

typedef struct _SECURITY_ATTRIBUTES SECURITY_ATTRIBUTES;
typedef struct _OVERLAPPED OVERLAPPED;

extern "C" {

DWORD WINAPI GetLastError();
void WINAPI SetLastError(DWORD error);
BOOL WINAPI CloseHandle(HANDLE handle);
BOOL WINAPI FindClose(HANDLE find);

HANDLE WINAPI CreateFileA(LPCSTR name, DWORD access, DWORD share, SECURITY_ATTRIBUTES* security,
                          DWORD disposition, DWORD flags, HANDLE templateFile);
HANDLE WINAPI CreateFileW(LPCWSTR name, DWORD access, DWORD share, SECURITY_ATTRIBUTES* security,
                          DWORD disposition, DWORD flags, HANDLE templateFile);
BOOL WINAPI ReadFile(HANDLE file, void* buffer, DWORD size, DWORD* read, OVERLAPPED* overlapped);
BOOL WINAPI WriteFile(HANDLE file, const void* buffer, DWORD size, DWORD* written,
                      OVERLAPPED* overlapped);
BOOL WINAPI GetFileSizeEx(HANDLE file, LARGE_INTEGER* size);
DWORD WINAPI GetFileSize(HANDLE file, DWORD* high);
BOOL WINAPI SetFilePointerEx(HANDLE file, LARGE_INTEGER distance, LARGE_INTEGER* position,
                             DWORD method);
BOOL WINAPI SetFileTime(HANDLE file, const FILETIME* created, const FILETIME* accessed,
                        const FILETIME* written);
DWORD WINAPI GetFileAttributesA(LPCSTR name);
DWORD WINAPI GetFileAttributesW(LPCWSTR name);
BOOL WINAPI GetFileAttributesExA(LPCSTR name, GET_FILEEX_INFO_LEVELS level, void* data);
BOOL WINAPI SetFileAttributesA(LPCSTR name, DWORD attributes);
BOOL WINAPI SetFileAttributesW(LPCWSTR name, DWORD attributes);
BOOL WINAPI CreateDirectoryA(LPCSTR name, SECURITY_ATTRIBUTES* security);
BOOL WINAPI CreateDirectoryW(LPCWSTR name, SECURITY_ATTRIBUTES* security);
BOOL WINAPI RemoveDirectoryA(LPCSTR name);
BOOL WINAPI RemoveDirectoryW(LPCWSTR name);
#define MOVEFILE_DELAY_UNTIL_REBOOT 0x4
BOOL WINAPI MoveFileExW(LPCWSTR from, LPCWSTR to, DWORD flags);
BOOL WINAPI DeleteFileA(LPCSTR name);
BOOL WINAPI DeleteFileW(LPCWSTR name);
HANDLE WINAPI FindFirstFileA(LPCSTR pattern, WIN32_FIND_DATAA* found);
BOOL WINAPI FindNextFileA(HANDLE find, WIN32_FIND_DATAA* found);
HANDLE WINAPI FindFirstFileW(LPCWSTR pattern, WIN32_FIND_DATAW* found);
BOOL WINAPI FindNextFileW(HANDLE find, WIN32_FIND_DATAW* found);
DWORD WINAPI GetFullPathNameA(LPCSTR name, DWORD size, LPSTR buffer, LPSTR* filePart);
DWORD WINAPI GetFullPathNameW(LPCWSTR name, DWORD size, LPWSTR buffer, LPWSTR* filePart);
DWORD WINAPI GetCurrentDirectoryA(DWORD size, LPSTR buffer);
DWORD WINAPI GetCurrentDirectoryW(DWORD size, LPWSTR buffer);
UINT WINAPI GetWindowsDirectoryA(LPSTR buffer, UINT size);
UINT WINAPI GetSystemDirectoryA(LPSTR buffer, UINT size);
DWORD WINAPI GetModuleFileNameA(HMODULE module, LPSTR buffer, DWORD size);
DWORD WINAPI GetModuleFileNameW(HMODULE module, LPWSTR buffer, DWORD size);

BOOL WINAPI DosDateTimeToFileTime(WORD date, WORD time, FILETIME* fileTime);
BOOL WINAPI FileTimeToDosDateTime(const FILETIME* fileTime, WORD* date, WORD* time);
BOOL WINAPI LocalFileTimeToFileTime(const FILETIME* local, FILETIME* utc);
BOOL WINAPI FileTimeToLocalFileTime(const FILETIME* utc, FILETIME* local);
BOOL WINAPI FileTimeToSystemTime(const FILETIME* fileTime, SYSTEMTIME* systemTime);
BOOL WINAPI SystemTimeToFileTime(const SYSTEMTIME* systemTime, FILETIME* fileTime);
void WINAPI GetLocalTime(SYSTEMTIME* now);

int WINAPI MultiByteToWideChar(UINT codePage, DWORD flags, LPCSTR bytes, int size, LPWSTR out,
                               int outSize);
int WINAPI WideCharToMultiByte(UINT codePage, DWORD flags, LPCWSTR text, int size, LPSTR out,
                               int outSize, LPCSTR defaultChar, BOOL* usedDefault);
DWORD WINAPI CharUpperBuffW(LPWSTR text, DWORD length);
UINT WINAPI GetACP();

DWORD WINAPI GetPrivateProfileStringA(LPCSTR section, LPCSTR key, LPCSTR defaultValue, LPSTR buffer,
                                      DWORD size, LPCSTR fileName);

LONG WINAPI RegOpenKeyExA(HKEY key, LPCSTR subKey, DWORD options, REGSAM access, PHKEY result);
LONG WINAPI RegCreateKeyExA(HKEY key, LPCSTR subKey, DWORD reserved, LPSTR keyClass, DWORD options,
                            REGSAM access, SECURITY_ATTRIBUTES* security, PHKEY result,
                            DWORD* disposition);
LONG WINAPI RegCloseKey(HKEY key);
LONG WINAPI RegDeleteKeyA(HKEY key, LPCSTR subKey);
LONG WINAPI RegQueryInfoKeyA(HKEY key, LPSTR keyClass, DWORD* classSize, DWORD* reserved,
                             DWORD* subKeys, DWORD* longestSubKey, DWORD* longestClass,
                             DWORD* values, DWORD* longestValueName, DWORD* longestValue,
                             DWORD* securityDescriptor, FILETIME* lastWrite);
LONG WINAPI RegEnumKeyExA(HKEY key, DWORD index, LPSTR name, DWORD* nameSize, DWORD* reserved,
                          LPSTR keyClass, DWORD* classSize, FILETIME* lastWrite);
LONG WINAPI RegSetValueExA(HKEY key, LPCSTR name, DWORD reserved, DWORD type, const BYTE* data,
                           DWORD size);
LONG WINAPI RegQueryValueExA(HKEY key, LPCSTR name, DWORD* reserved, DWORD* type, BYTE* data,
                             DWORD* size);

// The machine has no environment: no variable is set. Events, waits and messages
// exist only for code that no variable switches on; they fail.
DWORD WINAPI GetEnvironmentVariableA(LPCSTR name, LPSTR buffer, DWORD size);
HANDLE WINAPI OpenEventA(DWORD access, BOOL inherit, LPCSTR name);
BOOL WINAPI SetEvent(HANDLE event);
DWORD WINAPI WaitForSingleObject(HANDLE object, DWORD milliseconds);
DWORD WINAPI MsgWaitForMultipleObjects(DWORD count, const HANDLE* handles, BOOL all,
                                       DWORD milliseconds, DWORD wakeMask);
BOOL WINAPI PeekMessageA(MSG* message, HWND window, UINT first, UINT last, UINT remove);
DWORD WINAPI GetTickCount();

// Declared for the handle owners of win/handles.h; a fuzzed source never calls them.
BOOL WINAPI DeleteObject(HGDIOBJ object);
BOOL WINAPI FreeLibrary(HMODULE module);
BOOL WINAPI DestroyWindow(HWND window);
BOOL WINAPI DeleteDC(HDC dc);
HLOCAL WINAPI LocalFree(HLOCAL memory);

}  // extern "C"
