#include "code_pages.h"

#include <cstdint>
#include <vector>

namespace model {

namespace {

// Row lead - 0x81, column trail: the UTF-16 unit of the pair, 0 where none.
const std::uint16_t kTable949[126][256] =
#include "cp949_table.inc"
    ;

constexpr unsigned kInvalid = ~0u;
constexpr wchar_t kReplacement949 = L'?';
constexpr unsigned kReplacementUtf8 = 0xFFFD;

// The pairs the platform maps beyond the table: the user-defined areas of rows C9
// and FE, into the private use area.
unsigned UserDefined949(unsigned char lead, unsigned char trail) {
  if (trail < 0xA1 || trail > 0xFE) return 0;
  if (lead == 0xC9) return 0xE000 + (trail - 0xA1);
  if (lead == 0xFE) return 0xE05E + (trail - 0xA1);
  return 0;
}

unsigned Pair949(unsigned char lead, unsigned char trail) {
  const unsigned mapped = kTable949[lead - 0x81][trail];
  return mapped != 0 ? mapped : UserDefined949(lead, trail);
}

void Append(std::wstring& out, unsigned codePoint) {
  if (codePoint < 0x10000) {
    out += static_cast<wchar_t>(codePoint);
  } else {
    codePoint -= 0x10000;
    out += static_cast<wchar_t>(0xD800 + (codePoint >> 10));
    out += static_cast<wchar_t>(0xDC00 + (codePoint & 0x3FF));
  }
}

// One character of code page 949 at bytes[at]; at moves past what it used.
unsigned Decode949(const std::string& bytes, std::size_t& at) {
  const auto lead = static_cast<unsigned char>(bytes[at++]);
  if (lead < 0x81) return lead;  // 0x80 stands for itself
  if (lead == 0xFF) return kInvalid;
  // A lead byte at the end, or before a zero byte, stands alone.
  if (at == bytes.size() || bytes[at] == '\0') return kInvalid;
  const unsigned mapped = Pair949(lead, static_cast<unsigned char>(bytes[at++]));
  return mapped != 0 ? mapped : kInvalid;
}

// How many continuation bytes a UTF-8 lead byte announces; 0 for a byte that
// cannot begin a sequence of more than one byte (overlong C0 and C1 included).
unsigned Continuations(unsigned char lead) {
  if (lead >= 0xC2 && lead <= 0xDF) return 1;
  if (lead >= 0xE0 && lead <= 0xEF) return 2;
  if (lead >= 0xF0 && lead <= 0xF4) return 3;
  return 0;
}

bool IsContinuation(unsigned char byte) { return (byte & 0xC0) == 0x80; }

// One UTF-8 sequence at bytes[at]. A sequence cut short by the end of the text is
// one replacement. Otherwise continuation bytes are taken one by one while they
// can still give a character: one that shows the sequence to be overlong, a
// surrogate or beyond U+10FFFF ends it, as does a byte that is no continuation
// (which is not taken); what was taken is one replacement.
unsigned DecodeUtf8(const std::string& bytes, std::size_t& at) {
  const auto lead = static_cast<unsigned char>(bytes[at++]);
  if (lead < 0x80) return lead;
  const unsigned count = Continuations(lead);
  if (count == 0) return kInvalid;
  if (at + count > bytes.size()) {
    at = bytes.size();
    return kInvalid;
  }
  unsigned value = lead & (count == 1 ? 0x1F : count == 2 ? 0x0F : 0x07);
  for (unsigned left = count; left > 0; --left) {
    const auto byte = static_cast<unsigned char>(bytes[at]);
    if (!IsContinuation(byte)) return kInvalid;
    value = value << 6 | (byte & 0x3F);
    // Beyond U+10FFFF shows with the second-last byte of a four-byte sequence, and
    // that byte is then not taken.
    if (count == 3 && left == 2 && value >= (0x110000 >> 6)) return kInvalid;
    ++at;
    if (count == 3 && left == 3 && value < 0x10) return kInvalid;          // overlong
    if (count == 2 && left == 2 && value < 0x20) return kInvalid;          // overlong
    if (count == 2 && left == 2 && (value >> 5) == 0x1B) return kInvalid;  // surrogate
  }
  return value;
}

std::uint16_t Encode949(unsigned unit) {
  static const std::vector<std::uint16_t> table = [] {
    std::vector<std::uint16_t> reverse(0x10000, 0);
    for (unsigned lead = 0x81; lead <= 0xFE; ++lead) {
      for (unsigned trail = 0; trail < 0x100; ++trail) {
        const unsigned mapped =
            Pair949(static_cast<unsigned char>(lead), static_cast<unsigned char>(trail));
        if (mapped != 0 && reverse[mapped] == 0) {
          reverse[mapped] = static_cast<std::uint16_t>(lead << 8 | trail);
        }
      }
    }
    return reverse;
  }();
  if (unit == 0xF8F7) return 0xFF;  // the private character a lone 0xFF reads as
  return unit < 0x81 ? static_cast<std::uint16_t>(unit) : table[unit];
}

}  // namespace

bool IsLeadByte949(unsigned char byte) { return byte >= 0x81 && byte <= 0xFE; }

bool ToUtf16(unsigned codePage, const std::string& bytes, bool strict, std::wstring& out) {
  out.clear();
  const bool utf8 = codePage == kCodePageUtf8;
  for (std::size_t at = 0; at < bytes.size();) {
    const std::size_t start = at;
    unsigned value = utf8 ? DecodeUtf8(bytes, at) : Decode949(bytes, at);
    if (value == kInvalid) {
      if (strict) {
        out.clear();
        return false;
      }
      // A lone 0xFF is a private character where the platform is not strict.
      value = !utf8 && at - start == 1 && static_cast<unsigned char>(bytes[start]) == 0xFF ? 0xF8F7
              : utf8 ? kReplacementUtf8
                     : kReplacement949;
    }
    Append(out, value);
  }
  return true;
}

bool FromUtf16(unsigned codePage, const std::wstring& text, bool strict, std::string& out,
               bool& usedDefault) {
  out.clear();
  usedDefault = false;
  for (std::size_t at = 0; at < text.size(); ++at) {
    unsigned unit = static_cast<unsigned>(text[at]) & 0xFFFF;
    const bool high = unit >= 0xD800 && unit <= 0xDBFF;
    const bool pair = high && at + 1 < text.size() && (text[at + 1] & 0xFC00) == 0xDC00;
    if (codePage != kCodePageUtf8) {
      const std::uint16_t code = (unit >= 0xD800 && unit <= 0xDFFF) ? 0 : Encode949(unit);
      if (code == 0 && unit != 0) {
        out += '?';
        usedDefault = true;
        if (pair) ++at;  // a pair is one character
      } else if (code > 0xFF) {
        out += static_cast<char>(code >> 8);
        out += static_cast<char>(code & 0xFF);
      } else {
        out += static_cast<char>(code);
      }
      continue;
    }
    if (pair) {
      unit = 0x10000 + ((unit - 0xD800) << 10) + ((text[++at] & 0x3FF));
    } else if (unit >= 0xD800 && unit <= 0xDFFF) {
      if (strict) {
        out.clear();
        return false;
      }
      unit = kReplacementUtf8;
    }
    if (unit < 0x80) {
      out += static_cast<char>(unit);
    } else if (unit < 0x800) {
      out += static_cast<char>(0xC0 | unit >> 6);
      out += static_cast<char>(0x80 | (unit & 0x3F));
    } else if (unit < 0x10000) {
      out += static_cast<char>(0xE0 | unit >> 12);
      out += static_cast<char>(0x80 | ((unit >> 6) & 0x3F));
      out += static_cast<char>(0x80 | (unit & 0x3F));
    } else {
      out += static_cast<char>(0xF0 | unit >> 18);
      out += static_cast<char>(0x80 | ((unit >> 12) & 0x3F));
      out += static_cast<char>(0x80 | ((unit >> 6) & 0x3F));
      out += static_cast<char>(0x80 | (unit & 0x3F));
    }
  }
  return true;
}

}  // namespace model
