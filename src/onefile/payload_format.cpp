#include "onefile/payload_format.h"

#include "onefile/crc32.h"

#include <cstring>

namespace {

constexpr char kMagic[8] = {'K', 'I', 'T', 'F', 'I', 'L', 'E', 'S'};
constexpr std::size_t kChecksumField = 20;

void Put16(unsigned char* out, std::uint32_t value) {
  out[0] = static_cast<unsigned char>(value);
  out[1] = static_cast<unsigned char>(value >> 8);
}

void Put32(unsigned char* out, std::uint32_t value) {
  for (int i = 0; i < 4; ++i) out[i] = static_cast<unsigned char>(value >> (8 * i));
}

void Put64(unsigned char* out, std::uint64_t value) {
  for (int i = 0; i < 8; ++i) out[i] = static_cast<unsigned char>(value >> (8 * i));
}

std::uint32_t Get32(const unsigned char* in) {
  return in[0] | std::uint32_t{in[1]} << 8 | std::uint32_t{in[2]} << 16 |
         std::uint32_t{in[3]} << 24;
}

std::uint64_t Get64(const unsigned char* in) {
  return Get32(in) | std::uint64_t{Get32(in + 4)} << 32;
}

wchar_t UpperAscii(wchar_t c) { return c >= L'a' && c <= L'z' ? c - L'a' + L'A' : c; }

// "CON", "COM1", ... as the part of a name before its first dot, blanks after it dropped.
bool IsDeviceName(const wchar_t* name, std::size_t length) {
  std::size_t stem = 0;
  while (stem < length && name[stem] != L'.') ++stem;
  while (stem > 0 && name[stem - 1] == L' ') --stem;
  static const char* const kDevices[] = {"CON", "PRN", "AUX", "NUL", "CONIN$", "CONOUT$", "CLOCK$"};
  for (const char* device : kDevices) {
    std::size_t i = 0;
    while (i < stem && device[i] && UpperAscii(name[i]) == static_cast<wchar_t>(device[i])) ++i;
    if (i == stem && !device[i]) return true;
  }
  if (stem != 4) return false;
  const wchar_t a = UpperAscii(name[0]), b = UpperAscii(name[1]), c = UpperAscii(name[2]);
  const bool port = (a == L'C' && b == L'O' && c == L'M') || (a == L'L' && b == L'P' && c == L'T');
  const wchar_t digit = name[3];
  // Windows takes the superscript digits too: "COM\u00B9".
  return port && ((digit >= L'0' && digit <= L'9') || digit == 0x00B9 || digit == 0x00B2 ||
                  digit == 0x00B3);
}

}  // namespace

void EncodePayloadHeader(const PayloadHeader& header, unsigned char* out) {
  std::memcpy(out, kMagic, sizeof kMagic);
  Put32(out + 8, kPayloadFormat);
  Put32(out + 12, header.FileCount);
  Put32(out + 16, header.IndexLength);
  Put32(out + kChecksumField, header.Checksum);
  Put64(out + 24, header.PayloadLength);
}

bool DecodePayloadHeader(const unsigned char* bytes, PayloadHeader& header) {
  if (std::memcmp(bytes, kMagic, sizeof kMagic) != 0 || Get32(bytes + 8) != kPayloadFormat) {
    return false;
  }
  header.FileCount = Get32(bytes + 12);
  header.IndexLength = Get32(bytes + 16);
  header.Checksum = Get32(bytes + kChecksumField);
  header.PayloadLength = Get64(bytes + 24);
  return header.FileCount <= kMaxPayloadFiles &&
         header.IndexLength >= header.FileCount * PayloadEntrySize(1) &&
         header.IndexLength <= header.FileCount * PayloadEntrySize(kMaxPayloadNameBytes) &&
         header.PayloadLength >= kPayloadHeaderSize + std::uint64_t{header.IndexLength};
}

std::uint32_t HeaderChecksum(const unsigned char* header) {
  unsigned char copy[kPayloadHeaderSize];
  std::memcpy(copy, header, sizeof copy);
  Put32(copy + kChecksumField, 0);
  return Crc32(0, copy, sizeof copy);
}

void EncodePayloadEntry(const PayloadEntry& entry, unsigned char* out) {
  Put16(out, static_cast<std::uint32_t>(entry.NameLength));
  std::memcpy(out + 2, entry.Name, entry.NameLength);
  Put64(out + 2 + entry.NameLength, entry.Size);
  Put32(out + 10 + entry.NameLength, entry.Crc);
}

bool DecodePayloadEntry(const unsigned char* index, std::size_t length, std::size_t& offset,
                        PayloadEntry& entry) {
  if (offset > length || length - offset < 2) return false;
  const std::size_t nameLength = index[offset] | std::size_t{index[offset + 1]} << 8;
  if (nameLength == 0 || nameLength > kMaxPayloadNameBytes ||
      length - offset < PayloadEntrySize(nameLength)) {
    return false;
  }
  const unsigned char* at = index + offset;
  entry.Name = at + 2;
  entry.NameLength = nameLength;
  entry.Size = Get64(at + 2 + nameLength);
  entry.Crc = Get32(at + 10 + nameLength);
  offset += PayloadEntrySize(nameLength);
  return true;
}

bool IsPlainFileName(const wchar_t* name, std::size_t length) {
  if (length == 0 || length > kMaxPayloadNameBytes) return false;
  for (std::size_t i = 0; i < length; ++i) {
    const wchar_t c = name[i];
    if (c < 0x20 || c == L'\\' || c == L'/' || c == L':' || c == L'*' || c == L'?' || c == L'"' ||
        c == L'<' || c == L'>' || c == L'|') {
      return false;
    }
  }
  const wchar_t last = name[length - 1];
  return last != L'.' && last != L' ' && !IsDeviceName(name, length);
}
