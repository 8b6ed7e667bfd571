#include "rar_writer/rar_blocks.h"

#include <array>

namespace {

void Put16(std::string& out, std::uint32_t value) {
  out += static_cast<char>(value & 0xFF);
  out += static_cast<char>((value >> 8) & 0xFF);
}

// The code of one character and the bytes it takes; runs are handled by the caller.
void EncodeCharacter(char16_t c, unsigned high, unsigned& code, std::string& bytes) {
  const unsigned charHigh = c >> 8;
  bytes += static_cast<char>(c & 0xFF);
  if (charHigh == 0) {
    code = 0;
  } else if (charHigh == high) {
    code = 1;
  } else {
    code = 2;
    bytes += static_cast<char>(charHigh);
  }
}

// How many characters from p on equal the 8-bit name's bytes (a run), at most 129.
std::size_t RunLength(const std::string& name8, const std::u16string& name, std::size_t p) {
  std::size_t n = 0;
  while (p + n < name.size() && p + n < name8.size() && n < 129 &&
         name[p + n] == static_cast<unsigned char>(name8[p + n])) {
    ++n;
  }
  return n;
}

}  // namespace

// Written here again rather than shared with the stand-in library: the writer
// checks the reader, so the two must not rest on the same code. Four bytes a step
// (slicing by four): the packer streams files of gigabytes through it.
std::uint32_t RarCrc32Update(std::uint32_t crc, const char* data, std::size_t size) {
  using Tables = std::array<std::array<std::uint32_t, 256>, 4>;
  static const Tables tables = [] {
    Tables t{};
    for (std::uint32_t i = 0; i < 256; ++i) {
      std::uint32_t c = i;
      for (int bit = 0; bit < 8; ++bit) c = (c & 1) ? 0xEDB88320u ^ (c >> 1) : c >> 1;
      t[0][i] = c;
    }
    for (std::size_t k = 1; k < 4; ++k) {
      for (std::uint32_t i = 0; i < 256; ++i) {
        t[k][i] = (t[k - 1][i] >> 8) ^ t[0][t[k - 1][i] & 0xFF];
      }
    }
    return t;
  }();
  const auto* bytes = reinterpret_cast<const unsigned char*>(data);
  crc = ~crc;
  for (; size >= 4; size -= 4, bytes += 4) {
    crc ^= bytes[0] | bytes[1] << 8 | bytes[2] << 16 | static_cast<std::uint32_t>(bytes[3]) << 24;
    crc = tables[3][crc & 0xFF] ^ tables[2][(crc >> 8) & 0xFF] ^ tables[1][(crc >> 16) & 0xFF] ^
          tables[0][crc >> 24];
  }
  for (; size > 0; --size, ++bytes) crc = tables[0][(crc ^ *bytes) & 0xFF] ^ (crc >> 8);
  return ~crc;
}

std::uint32_t RarCrc32(const std::string& bytes, std::uint32_t crc) {
  return RarCrc32Update(crc, bytes.data(), bytes.size());
}

std::string EncodeRarUnicodeName(const std::string& name8, const std::u16string& name) {
  unsigned high = 0;
  for (const char16_t c : name) {
    if (c >> 8) {
      high = c >> 8;
      break;
    }
  }
  std::string out(1, static_cast<char>(high));
  std::string group;
  unsigned flags = 0;
  int codes = 0;
  auto flush = [&] {
    out += static_cast<char>(flags << (2 * (4 - codes)));
    out += group;
    group.clear();
    flags = 0;
    codes = 0;
  };
  for (std::size_t p = 0; p < name.size();) {
    unsigned code = 0;
    const std::size_t run = RunLength(name8, name, p);
    if (run >= 2) {
      code = 3;
      group += static_cast<char>(run - 2);
      p += run;
    } else {
      EncodeCharacter(name[p], high, code, group);
      ++p;
    }
    flags = (flags << 2) | code;
    if (++codes == 4) flush();
  }
  if (codes > 0) flush();
  return out;
}

namespace rar_blocks {
namespace {

std::string StoredName(const RarWriterEntry& entry) {
  if (entry.UnicodeName.empty()) return entry.Name;
  return entry.Name + '\0' + EncodeRarUnicodeName(entry.Name, entry.UnicodeName);
}

}  // namespace

void Put32(std::string& out, std::uint32_t value) {
  Put16(out, value & 0xFFFF);
  Put16(out, value >> 16);
}

std::string BlockHeader(std::uint8_t type, std::uint16_t flags, const std::string& body,
                        bool badCrc) {
  std::string header;
  header += static_cast<char>(type);
  Put16(header, flags);
  Put16(header, static_cast<std::uint32_t>(7 + body.size()));
  header += body;
  std::uint32_t crc = RarCrc32(header) & 0xFFFF;
  if (badCrc) crc ^= 0x5A5A;
  std::string block;
  Put16(block, crc);
  return block + header;
}

std::string PartHeader(const RarWriterEntry& entry, const EntryPart& part) {
  const std::string name = StoredName(entry);
  const bool large = part.PackSize > 0xFFFFFFFFu || part.UnpSize > 0xFFFFFFFFu;
  std::uint16_t flags = kHasAddSize | part.SplitFlags;
  if (entry.Directory) flags |= kFileDirectory;
  if (entry.Encrypted) flags |= kFileEncrypted;
  if (large) flags |= kFileLargeSizes;
  if (!entry.UnicodeName.empty() || entry.Utf8Name) flags |= kFileUnicodeName;
  std::uint32_t crc = part.Crc;
  if (entry.BadDataCrc) crc ^= 0xFFFFFFFFu;

  std::string body;
  Put32(body, static_cast<std::uint32_t>(part.PackSize));
  Put32(body, static_cast<std::uint32_t>(part.UnpSize));
  body += static_cast<char>(entry.HostOs);
  Put32(body, crc);
  Put32(body, entry.DosTime);
  body += static_cast<char>(kUnpackVersion);
  body += static_cast<char>(entry.Method);
  Put16(body, static_cast<std::uint32_t>(name.size()));
  Put32(body, entry.Attributes.value_or(entry.Directory ? kAttrDirectory : kAttrArchive));
  if (large) {
    Put32(body, static_cast<std::uint32_t>(part.PackSize >> 32));
    Put32(body, static_cast<std::uint32_t>(part.UnpSize >> 32));
  }
  body += name;
  return BlockHeader(kFileBlock, flags, body, entry.BadHeaderCrc);
}

std::string EntryHeader(const RarWriterEntry& entry) {
  const std::uint64_t size = entry.DeclaredSize ? entry.DeclaredSize : entry.Data.size();
  const std::uint32_t crc = entry.Directory ? 0 : RarCrc32(entry.Data);
  return PartHeader(entry, {size, size, crc, 0});
}

}  // namespace rar_blocks
