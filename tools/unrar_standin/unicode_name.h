// The Unicode form of a stored entry name. An entry with a Unicode name stores
// the 8-bit name, a zero byte, then the UTF-16 name encoded against the 8-bit one.
#pragma once

#include <string>

// Decodes the encoded UTF-16 form. name8 is the 8-bit name (the bytes before the
// zero byte), encoded the bytes after it. Decoding stops where the encoded bytes
// end; a run that reaches past the 8-bit name stops there.
std::wstring DecodeUnicodeName(const std::string& name8, const std::string& encoded);
