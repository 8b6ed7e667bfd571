// Libraries the programs load while they run. A library asked for by its bare name
// is searched for in the program's own directory first: for a program started from
// a download folder that is where a planted copy would lie.
#pragma once

#include <windows.h>

// Loads a library of the system directory by its full path; null when it is not there.
// The library stays loaded until the program ends.
HMODULE LoadSystemLibrary(const char* name);

// Where the platform offers it (Windows 8 on, and earlier systems with the update),
// restricts every later library load to the system directory. Libraries the program
// imports, the archive library from the medium among them, are bound before this.
void RestrictLibrarySearchToSystemDirectory();
