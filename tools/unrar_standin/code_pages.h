// Conversions between the library's 8-bit texts and UTF-16.
#pragma once

#include <windows.h>

#include <string>

std::wstring ToWide(const std::string& text, UINT codePage);
std::string FromWide(const std::wstring& text, UINT codePage);
