// The shell's folder query of the modelled machine (win32.cpp): the Program Files
// folder is C:\\Program Files.
#pragma once

#include <windows.h>

#define CSIDL_PROGRAM_FILES 0x26

extern "C" HRESULT WINAPI SHGetFolderPathA(HWND window, int folder, HANDLE token, DWORD flags,
                                           LPSTR path);
