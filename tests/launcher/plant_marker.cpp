// A library planted under a system library's name (dwmapi.dll, ...): when anything
// loads it, it leaves "<its name>.loaded" in the folder KIT_PLANT_MARKERS names.
#include <windows.h>

BOOL WINAPI DllMain(HINSTANCE module, DWORD reason, LPVOID) {
  if (reason != DLL_PROCESS_ATTACH) return TRUE;
  wchar_t folder[MAX_PATH] = {}, path[MAX_PATH] = {};
  if (!GetEnvironmentVariableW(L"KIT_PLANT_MARKERS", folder, MAX_PATH) ||
      !GetModuleFileNameW(module, path, MAX_PATH)) {
    return TRUE;
  }
  const wchar_t* name = path;
  for (const wchar_t* p = path; *p; ++p) {
    if (*p == L'\\') name = p + 1;
  }
  lstrcatW(folder, L"\\");
  lstrcatW(folder, name);
  lstrcatW(folder, L".loaded");
  const HANDLE marker =
      CreateFileW(folder, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (marker != INVALID_HANDLE_VALUE) CloseHandle(marker);
  return TRUE;
}
