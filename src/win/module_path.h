// The running program's own file name, however long.
#pragma once

#include <windows.h>

#include <string>

// Full path of the module (the program when module is null), in the ANSI code page;
// empty when it cannot be learnt or the code page cannot write it.
std::string ModuleFileName(HMODULE module = nullptr);

// DirectoryPart of the program's own path: it ends in "\" (or ":").
std::string ProgramDirectory();
