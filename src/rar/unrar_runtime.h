// The archive library bound while the program runs, for a program that must start
// without one (the distributors' checker). It defines the library's functions of
// rar/unrar.h as forwarders to a library loaded by full path, so the archive
// component and the archive checks work unchanged; link it instead of the import
// library. Until a library is loaded the functions fail as for a bad archive.
#pragma once

#include <string>

// Loads the library at fullPath (a full path: a bare name would be searched for)
// and binds its functions; false, and nothing bound, when it cannot be loaded or
// lacks one of them. A library bound before stays bound then.
bool LoadArchiveLibrary(const std::string& fullPath);

// The full path of the bound library; empty while none is.
const std::string& ArchiveLibraryPath();
