// The directories the platform names, in the ANSI code page, whatever their length;
// empty when the platform cannot tell.
#pragma once

#include <string>

std::string WindowsDirectory();
std::string SystemDirectory();
std::string CurrentDirectory();
// The Program Files folder of this (32-bit) program: "C:\Program Files (x86)" on
// 64-bit Windows (program_files.cpp).
std::string ProgramFilesDirectory();  // without a trailing "\" but at a drive's root ("C:\")
