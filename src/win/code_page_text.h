// Texts between the kit's code page and UTF-16, for the wide calls. The programs
// convert with the ANSI code page, which is the kit's on the machines they are made for;
// the distributors' tools, which may run on any, name the kit's code page.
#pragma once

#include "win/wide_string.h"

#include <cstddef>
#include <string>

// Every text of the kit is in this code page.
constexpr unsigned kKitCodePage = 949;

// The UTF-16 form of an ANSI text, as the ANSI calls convert it.
WideString WideFromAnsi(const std::string& text);

// The ANSI form of a UTF-16 text; false (and narrow empty) when the code page lacks a
// character: a stand-in would name something else.
bool AnsiFromWide(const WideString& text, std::string& narrow);

// For messages: the UTF-16 text in the kit's code page, a character without a form
// there shown as "?".
std::string Cp949ForDisplay(const wchar_t* text, std::size_t length);
