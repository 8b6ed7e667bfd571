#include "kitcheck/script_encoding.h"

#include "text/text.h"
#include "win/code_page_text.h"

#include <windows.h>

#include <vector>

namespace {

const char kByteOrderMark[] = "\xEF\xBB\xBF";

struct Range {
  unsigned long First, Last;
};

// Hangul (syllables, jamo), CJK ideographs, kana, CJK symbols and full-width forms,
// and the high surrogates of the ideographs beyond the basic plane.
constexpr Range kHangulAndCjk[] = {
    {0x1100, 0x11FF}, {0x2E80, 0x33FF}, {0x3400, 0x4DBF},   {0x4E00, 0x9FFF},
    {0xA960, 0xA97F}, {0xAC00, 0xD7FF}, {0xD840, 0xD8BF},   {0xF900, 0xFAFF},
    {0xFE30, 0xFE4F}, {0xFF00, 0xFFEF}, {0x20000, 0x3FFFF},
};

bool IsHangulOrCjk(unsigned long c) {
  for (const Range& range : kHangulAndCjk) {
    if (c >= range.First && c <= range.Last) return true;
  }
  return false;
}

bool HasHighBytes(const std::string& bytes) {
  for (char c : bytes) {
    if (static_cast<unsigned char>(c) >= 0x80) return true;
  }
  return false;
}

// The bytes as UTF-16; false when they are no text of that code page.
bool Decode(UINT codePage, const std::string& bytes, std::vector<wchar_t>& text) {
  text.clear();
  if (bytes.empty()) return true;
  const int size = static_cast<int>(bytes.size());
  const int length =
      MultiByteToWideChar(codePage, MB_ERR_INVALID_CHARS, bytes.data(), size, nullptr, 0);
  if (length <= 0) return false;
  text.resize(static_cast<std::size_t>(length));
  return MultiByteToWideChar(codePage, MB_ERR_INVALID_CHARS, bytes.data(), size, text.data(),
                             length) == length;
}

bool Decodes(UINT codePage, const std::string& bytes) {
  std::vector<wchar_t> text;
  return Decode(codePage, bytes, text);
}

// The lines of the text, split at LF, each without its CR LF.
std::vector<std::string> Lines(const std::string& bytes) {
  std::vector<std::string> lines;
  std::string::size_type start = 0;
  for (;;) {
    const auto end = bytes.find('\n', start);
    std::string line = bytes.substr(start, end == std::string::npos ? end : end - start);
    if (!line.empty() && line.back() == '\r') line.pop_back();
    lines.push_back(line);
    if (end == std::string::npos) return lines;
    start = end + 1;
  }
}

// From 1; 0 when every line is code page 949 text.
unsigned FirstLineNotCp949(const std::vector<std::string>& lines) {
  for (std::size_t n = 0; n < lines.size(); ++n) {
    if (!Decodes(kKitCodePage, lines[n])) return static_cast<unsigned>(n + 1);
  }
  return 0;
}

// The section a first line names: "[name]" after blanks, as the profile functions
// read a header; empty for any other line.
std::string SectionOfHeader(const std::string& line) {
  const std::string text = Trim(line);
  const auto close = text.find(']');
  if (text.empty() || text[0] != '[' || close == std::string::npos) return std::string();
  return Trim(text.substr(1, close - 1));
}

EncodingVerdict MarkVerdict(const std::string& bytes) {
  EncodingVerdict verdict;
  verdict.Encoding = ScriptEncoding::Utf8WithMark;
  const std::string text = bytes.substr(3);
  verdict.MarkedSection = SectionOfHeader(Lines(text).front());
  verdict.MarkedHighBytes = HasHighBytes(text);
  return verdict;
}

// Valid both ways, no Hangul or CJK in the UTF-8 reading: the first line the two
// readings tell apart, each shown.
EncodingVerdict EitherVerdict(const std::vector<std::string>& lines) {
  EncodingVerdict verdict;
  verdict.Encoding = ScriptEncoding::Either;
  for (std::size_t n = 0; n < lines.size(); ++n) {
    if (!HasHighBytes(lines[n])) continue;
    std::vector<wchar_t> utf8;
    Decode(CP_UTF8, lines[n], utf8);
    verdict.Line = static_cast<unsigned>(n + 1);
    verdict.AsCp949 = lines[n];
    verdict.AsUtf8 = Cp949ForDisplay(utf8.data(), utf8.size());
    break;
  }
  return verdict;
}

}  // namespace

Utf8Reading ClassifyUtf8Reading(const wchar_t* text, std::size_t length) {
  const auto letterAt = [&](std::size_t i) {
    return i < length &&
           ((text[i] >= L'A' && text[i] <= L'Z') || (text[i] >= L'a' && text[i] <= L'z'));
  };
  Utf8Reading reading = Utf8Reading::Ascii;
  for (std::size_t i = 0; i < length; ++i) {
    const unsigned long c = static_cast<unsigned long>(text[i]);
    if (c < 0x80) continue;
    if (IsHangulOrCjk(c)) return Utf8Reading::HangulOrCjk;
    // A letter of a word in Latin script ("Café") is what code page 949 Hangul never
    // reads as: each of its syllables stands apart from ASCII letters.
    const bool inLatinWord = (i > 0 && letterAt(i - 1)) || letterAt(i + 1);
    if (c > 0x24F || inLatinWord) {
      reading = Utf8Reading::Other;
    } else if (reading == Utf8Reading::Ascii) {
      reading = Utf8Reading::Latin;
    }
  }
  return reading;
}

EncodingVerdict JudgeEncoding(const std::string& bytes) {
  if (bytes.compare(0, 3, kByteOrderMark) == 0) return MarkVerdict(bytes);
  EncodingVerdict verdict;
  verdict.Encoding = ScriptEncoding::Cp949;
  const std::vector<std::string> lines = Lines(bytes);
  for (std::size_t n = 0; n < lines.size(); ++n) {
    if (lines[n].find('\0') == std::string::npos) continue;
    verdict.Encoding = ScriptEncoding::ZeroByte;
    verdict.Line = static_cast<unsigned>(n + 1);
    return verdict;
  }
  if (!HasHighBytes(bytes)) return verdict;
  const unsigned badLine = FirstLineNotCp949(lines);
  std::vector<wchar_t> utf8;
  if (Decode(CP_UTF8, bytes, utf8)) {
    const Utf8Reading reading = ClassifyUtf8Reading(utf8.data(), utf8.size());
    if (reading == Utf8Reading::HangulOrCjk || badLine != 0) {
      verdict.Encoding = ScriptEncoding::Utf8;
    } else if (reading == Utf8Reading::Other) {
      verdict = EitherVerdict(lines);
    }
    return verdict;
  }
  if (badLine != 0) {
    verdict.Encoding = ScriptEncoding::NotCp949;
    verdict.Line = badLine;
  }
  return verdict;
}
