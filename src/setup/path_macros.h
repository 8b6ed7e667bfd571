// Path macros: "<WINDIR>", "<WINSYSDIR>", "<BDEDIR>" and "<INSTALLDIR>".
#pragma once

#include <string>

// The path with every token replaced, in the fixed order of the tokens above.
// The system directories are asked for on every call.
std::string ExpandPath(const std::string& path);

// The text with every occurrence of token (given in upper case, found in any
// letter case) replaced by value.
std::string ReplaceMacro(const std::string& text, const std::string& token,
                         const std::string& value);
