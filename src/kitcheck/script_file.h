// What only the bytes of SETUP.INI tell: whether it is there, its encoding, and the
// numbered keys as the platform's profile functions see them.
#pragma once

#include <string>
#include <vector>

enum class ScriptEncoding {
  Missing,
  Cp949,         // the kit's code page (plain ASCII included)
  Utf8WithMark,  // UTF-8 with a byte-order mark
  Utf8,          // UTF-8 without one
  NotCp949,      // bytes that are no code page 949 text
};

struct NumberedKey {
  std::string Name;     // as written
  unsigned Number = 0;  // the digits after the prefix
};

struct ScriptFile {
  ScriptEncoding Encoding = ScriptEncoding::Missing;
  unsigned BadLine = 0;               // NotCp949: the first line that is not (from 1)
  std::vector<NumberedKey> FileKeys;  // [FILES] keys "FILE" + a number
  std::vector<NumberedKey> IconKeys;  // [ICONS] keys "ICON" + a number
};

ScriptFile ReadScriptFile(const std::string& path);

// The encoding of script bytes: a byte-order mark, valid UTF-8 holding bytes above
// 127, or else code page 949 checked line by line (firstBadLine set when not).
ScriptEncoding EncodingOf(const std::string& bytes, unsigned& firstBadLine);
