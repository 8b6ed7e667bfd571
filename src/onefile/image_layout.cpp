#include "onefile/image_layout.h"

namespace {

constexpr std::uint32_t kPeSignature = 0x00004550;  // "PE\0\0"
constexpr std::uint16_t kMagic32 = 0x10B;
constexpr std::uint16_t kMagic64 = 0x20B;
constexpr std::uint32_t kSecurityDirectory = 4;
constexpr std::size_t kSectionHeaderSize = 40;

std::uint32_t Get16(const unsigned char* p) { return p[0] | std::uint32_t{p[1]} << 8; }
std::uint32_t Get32(const unsigned char* p) { return Get16(p) | Get16(p + 2) << 16; }

}  // namespace

bool ReadImageLayout(const unsigned char* headers, std::size_t size, ImageLayout& layout) {
  if (size < 64 || headers[0] != 'M' || headers[1] != 'Z') return false;
  const std::uint32_t pe = Get32(headers + 60);
  if (pe > size || size - pe < 24 || Get32(headers + pe) != kPeSignature) return false;
  const std::uint32_t coff = pe + 4;
  const std::uint32_t sections = Get16(headers + coff + 2);
  const std::uint32_t optionalSize = Get16(headers + coff + 16);
  const std::uint32_t optional = coff + 20;
  const std::uint32_t table = optional + optionalSize;
  if (size - optional < optionalSize || size - table < sections * kSectionHeaderSize) return false;

  const std::uint32_t magic = optionalSize >= 2 ? Get16(headers + optional) : 0;
  const std::uint32_t directoriesAt = magic == kMagic32 ? 96 : magic == kMagic64 ? 112 : 0;
  if (directoriesAt == 0 || optionalSize < directoriesAt) return false;
  const std::uint32_t directories = Get32(headers + optional + directoriesAt - 4);
  layout = ImageLayout();
  layout.ChecksumAt = optional + 64;
  layout.SymbolFieldsAt = coff + 8;
  layout.SymbolTableOffset = Get32(headers + coff + 8);
  const std::uint32_t entry = optional + directoriesAt + 8 * kSecurityDirectory;
  if (directories > kSecurityDirectory && entry + 8 <= table) {
    layout.CertificatesEntryAt = entry;
    layout.CertificatesOffset = Get32(headers + entry);
    layout.CertificatesSize = Get32(headers + entry + 4);
  }
  layout.SectionsEnd = Get32(headers + optional + 60);  // SizeOfHeaders
  for (std::uint32_t i = 0; i < sections; ++i) {
    const unsigned char* section = headers + table + i * kSectionHeaderSize;
    const std::uint32_t rawSize = Get32(section + 16), rawAt = Get32(section + 20);
    if (rawSize == 0) continue;
    if (rawAt > 0xFFFFFFFFu - rawSize) return false;
    if (rawAt + rawSize > layout.SectionsEnd) layout.SectionsEnd = rawAt + rawSize;
  }
  return true;
}
