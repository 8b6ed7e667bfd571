// The directories the platform names, in the ANSI code page, whatever their length;
// empty when the platform cannot tell.
#pragma once

#include <string>

std::string WindowsDirectory();
std::string SystemDirectory();
std::string CurrentDirectory();  // without a trailing "\" but at a drive's root ("C:\")
