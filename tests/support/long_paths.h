// Files and directories at any length, for tests that set up or look at what the
// ANSI calls cannot reach: through the wide calls with the "\\?\" prefix, written
// here on their own so that the code under test does not check itself.
#pragma once

#include <cstddef>
#include <string>

// count Korean characters (two bytes each in code page 949), 가 나 다 ... in turn.
std::string KoreanText(std::size_t count);

// True when a character of code page 949 text starts at index and takes two bytes:
// a cut at index would fall right before it.
bool TwoByteCharacterStartsAt(const std::string& text, std::size_t index);

// The UTF-16 form of code page 949 text, and its length.
std::wstring Utf16(const std::string& text);
std::size_t Utf16Length(const std::string& path);

// Each takes a full path ("C:\...", no "." or ".." components) of any length. Wine
// keeps a name in at most 255 bytes of UTF-8: keep each component below 85 Korean
// characters.
void MakeLongDirectories(const std::string& path);
void WriteLongFile(const std::string& path, const std::string& bytes);
std::string ReadLongFile(const std::string& path);  // empty when it cannot be read
bool LongFileExists(const std::string& path);
bool LongDirectoryExists(const std::string& path);
void SetLongAttributes(const std::string& path, unsigned long attributes);
// Removes the directory with everything below it; no error when it is missing.
void RemoveLongTree(const std::string& path);
