// The platform's conversions between code page 949, UTF-8 and UTF-16, as a model the
// native fuzz targets run on (they cannot call Windows). Wide text is UTF-16 code
// units held in wchar_t, whatever the width of wchar_t, so counts come out as the
// platform's. model_replay_test compares the model with the platform under Wine.
#pragma once

#include <string>

namespace model {

constexpr unsigned kCodePage949 = 949;
constexpr unsigned kCodePageUtf8 = 65001;

// As MultiByteToWideChar. strict (MB_ERR_INVALID_CHARS): false for any byte sequence
// that is no character, out then empty. Otherwise such a sequence becomes the code
// page's replacement: '?' in code page 949, U+FFFD in UTF-8.
bool ToUtf16(unsigned codePage, const std::string& bytes, bool strict, std::wstring& out);

// As WideCharToMultiByte without best-fit replacements: a character code page 949
// lacks becomes '?' and sets usedDefault; a lone surrogate becomes U+FFFD in UTF-8.
// strict (WC_ERR_INVALID_CHARS, UTF-8 only): false for a lone surrogate.
bool FromUtf16(unsigned codePage, const std::wstring& text, bool strict, std::string& out,
               bool& usedDefault);

// Whether the byte starts a two-byte character of code page 949.
bool IsLeadByte949(unsigned char byte);

}  // namespace model
