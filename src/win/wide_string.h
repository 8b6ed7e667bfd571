// UTF-16 text for the platform's W functions.
#pragma once

#include <string>

// Not std::wstring: the run-time library links every member of that in one piece
// (about 35 KB). With traits of its own the string is made from the headers, and
// only the members a program uses are compiled in.
struct WideCharTraits : std::char_traits<wchar_t> {};
using WideString = std::basic_string<wchar_t, WideCharTraits>;
