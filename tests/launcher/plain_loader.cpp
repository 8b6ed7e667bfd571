// Loads each library named on its command line by its bare name, as a program that
// takes no care does: beside the test's planted libraries it shows that they are
// found. --restrict first: the launcher's first call (RestrictLibrarySearch) runs
// before; --preload: its fallback for the systems that cannot restrict the search
// (PreloadSystemLibraries).
#include "launcher/library_search.h"

#include <windows.h>
#include <shellapi.h>

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  int count = 0;
  wchar_t** arguments = CommandLineToArgvW(GetCommandLineW(), &count);
  for (int i = 1; i < count; ++i) {
    if (lstrcmpW(arguments[i], L"--restrict") == 0) {
      RestrictLibrarySearch();
    } else if (lstrcmpW(arguments[i], L"--preload") == 0) {
      PreloadSystemLibraries();
    } else {
      LoadLibraryW(arguments[i]);
    }
  }
  LocalFree(arguments);
  return 0;
}
