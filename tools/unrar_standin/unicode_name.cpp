#include "unrar_standin/unicode_name.h"

#include <cstddef>

namespace {

// Reads the encoded bytes front to back; past the end every read fails.
class ByteCursor {
 public:
  explicit ByteCursor(const std::string& bytes) : bytes_(bytes) {}
  bool Next(unsigned& byte) {
    if (pos_ >= bytes_.size()) return false;
    byte = static_cast<unsigned char>(bytes_[pos_++]);
    return true;
  }

 private:
  const std::string& bytes_;
  std::size_t pos_ = 0;
};

wchar_t Character(unsigned low, unsigned high) {
  return static_cast<wchar_t>(((high & 0xFF) << 8) | (low & 0xFF));
}

// Code 3: a run of characters taken from the 8-bit name at the output position.
bool DecodeRun(ByteCursor& in, const std::string& name8, unsigned high, std::wstring& out) {
  unsigned length = 0;
  if (!in.Next(length)) return false;
  unsigned correction = 0;
  const bool corrected = (length & 0x80) != 0;
  if (corrected && !in.Next(correction)) return false;
  const unsigned count = (length & 0x7F) + 2;
  for (unsigned i = 0; i < count; ++i) {
    if (out.size() >= name8.size()) return false;  // the run reaches past the 8-bit name
    const unsigned byte = static_cast<unsigned char>(name8[out.size()]);
    out += corrected ? Character(byte + correction, high) : Character(byte, 0);
  }
  return true;
}

bool DecodeOne(unsigned code, ByteCursor& in, const std::string& name8, unsigned high,
               std::wstring& out) {
  unsigned low = 0;
  unsigned next = 0;
  switch (code) {
    case 0:
      if (!in.Next(low)) return false;
      out += Character(low, 0);
      return true;
    case 1:
      if (!in.Next(low)) return false;
      out += Character(low, high);
      return true;
    case 2:
      if (!in.Next(low) || !in.Next(next)) return false;
      out += Character(low, next);
      return true;
    default:
      return DecodeRun(in, name8, high, out);
  }
}

// A zero character ends the name.
std::wstring Terminated(const std::wstring& name) { return name.substr(0, name.find(L'\0')); }

}  // namespace

std::wstring DecodeUnicodeName(const std::string& name8, const std::string& encoded) {
  std::wstring out;
  ByteCursor in(encoded);
  unsigned high = 0;
  if (!in.Next(high)) return out;
  unsigned flags = 0;
  while (in.Next(flags)) {
    for (int shift = 6; shift >= 0; shift -= 2) {
      if (!DecodeOne((flags >> shift) & 3, in, name8, high, out)) return Terminated(out);
    }
  }
  return Terminated(out);
}
