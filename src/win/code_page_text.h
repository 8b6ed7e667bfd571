// Texts between the ANSI code page (949) of the kit and UTF-16, for the wide calls.
#pragma once

#include "win/wide_string.h"

#include <string>

// The UTF-16 form of an ANSI text, as the ANSI calls convert it.
WideString WideFromAnsi(const std::string& text);

// The ANSI form of a UTF-16 text; false (and narrow empty) when the code page lacks a
// character: a stand-in would name something else.
bool AnsiFromWide(const WideString& text, std::string& narrow);
