#include "launcher/library_search.h"

#include "launcher/heap_memory.h"

#include <windows.h>

void RestrictLibrarySearch() {
  using SetDirectories = BOOL(WINAPI*)(DWORD);
  // Only looked up: Vista and 7 without the update do not have it.
  const auto set = reinterpret_cast<SetDirectories>(reinterpret_cast<void*>(
      GetProcAddress(GetModuleHandleW(L"kernel32.dll"), "SetDefaultDllDirectories")));
  if (set && set(LOAD_LIBRARY_SEARCH_SYSTEM32)) return;
  SetDllDirectoryW(L"");
  PreloadSystemLibraries();
}

void PreloadSystemLibraries() {
  static const wchar_t* const kNames[] = {
      L"uxtheme.dll", L"dwmapi.dll",  L"cryptbase.dll", L"cryptsp.dll",  L"profapi.dll",
      L"userenv.dll", L"version.dll", L"apphelp.dll",   L"propsys.dll",  L"ntmarta.dll",
      L"sspicli.dll", L"wldp.dll",    L"oleacc.dll",    L"setupapi.dll", L"clbcatq.dll"};
  WideText path;
  const UINT length = GetSystemDirectoryW(path.Buffer(MAX_PATH), MAX_PATH);
  if (length == 0 || length >= MAX_PATH) return;
  for (const wchar_t* name : kNames) {
    path.SetLength(length);
    path.Append(L'\\').Append(name);
    LoadLibraryExW(path.Text(), nullptr, LOAD_WITH_ALTERED_SEARCH_PATH);  // stays loaded
  }
}
