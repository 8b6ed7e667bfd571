// Breaking a label's text into lines at blanks. The system's own word break also
// cuts between two Korean syllables, which splits words in the middle.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

// The lines of text in the font selected into dc, each at most width pixels wide.
// Lines break at blanks and at line breaks; a word wider than a line is cut
// between characters (never inside a two-byte character).
std::vector<std::string> WrapWords(HDC dc, const std::string& text, int width);
