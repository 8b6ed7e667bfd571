// Path macros: "<WINDIR>", "<WINSYSDIR>", "<BDEDIR>", "<INSTALLDIR>" and
// "<PROGRAMFILES>".
#pragma once

#include <string>

// The path with every token replaced, in the fixed order of the tokens above.
// The system directories are asked for on every call.
std::string ExpandPath(const std::string& path);

// INSTALLDIR as the script gives it, with "<PROGRAMFILES>" at its start (any letter
// case) replaced, so the wizard shows the real folder.
std::string ExpandInstallDirectory(const std::string& installDir);

// The text with every occurrence of token (given in upper case, found in any
// letter case) replaced by value.
std::string ReplaceMacro(const std::string& text, const std::string& token,
                         const std::string& value);
