// Byte-string helpers. Every text of the kit is 8-bit, code page 949;
// none of these functions looks inside multi-byte characters.
#pragma once

#include <string>

// Removes leading and trailing bytes of code 32 or less (never bytes of 128 and above).
std::string Trim(const std::string& text);

// A to Z and a to z, in 8-bit and in wide text alike.
template <typename Char>
constexpr bool IsAsciiLetter(Char c) {
  return (c >= Char('A') && c <= Char('Z')) || (c >= Char('a') && c <= Char('z'));
}

// Upper-cases the ASCII letters a to z only; every other byte stays as it is.
constexpr char UpperAscii(char c) {
  return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
}
std::string UpperAscii(std::string text);

// The text up to and including its last "\" or ":"; empty when it has neither.
std::string DirectoryPart(const std::string& path);

// The text after its last "\" or ":"; the whole text when it has neither.
std::string FileNamePart(const std::string& path);

// The text from the last "." to the end when no "\" or ":" follows that "."; otherwise
// empty.
std::string FileExtension(const std::string& path);

bool StartsWith(const std::string& text, const std::string& prefix);
bool EndsWith(const std::string& text, const std::string& suffix);

// True when each lead byte of a two-byte character (0x81 to 0xFE) is followed by a
// byte that can end one (A to Z, a to z, 0x81 to 0xFE): only then do "\", "/", "."
// and ":" stand for themselves. The platform's conversion takes a lead byte and the
// byte after it as one (broken) character, separator or not, so it would split a
// broken text elsewhere than its bytes do.
bool IsWellFormedCp949(const std::string& text);
