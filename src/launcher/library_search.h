// Libraries the launcher loads come from the system directory only. It starts from a
// download folder, where a library planted under a system library's name would be
// found first by a load that names no directory.
#pragma once

// Called first thing: where the platform offers it (Windows 8 on, and Vista and 7
// with their update), every later load searches the system directory only. Elsewhere
// the current directory leaves the search and the libraries that Windows itself loads
// by name later are loaded now by full path (PreloadSystemLibraries).
void RestrictLibrarySearch();

// Loads, by their full path in the system directory, the libraries that the windows,
// the shell's start of a program and the random numbers load by name on the systems
// without that restriction, so a later load by name finds them loaded already.
void PreloadSystemLibraries();
