#include "rar_writer.h"

#include <array>
#include <fstream>
#include <sstream>

namespace {

constexpr std::uint8_t kMainBlock = 0x73;
constexpr std::uint8_t kFileBlock = 0x74;
constexpr std::uint8_t kEndBlock = 0x7B;
constexpr std::uint16_t kHasAddSize = 0x8000;
constexpr std::uint16_t kEndFlags = 0x4000;  // as the archiver writes it
constexpr std::uint16_t kFileEncrypted = 0x04;
constexpr std::uint16_t kFileDirectory = 0xE0;
constexpr std::uint16_t kFileLargeSizes = 0x100;
constexpr std::uint16_t kFileUnicodeName = 0x200;
constexpr std::uint8_t kUnpackVersion = 20;
constexpr std::uint32_t kAttrDirectory = 0x10;
constexpr std::uint32_t kAttrArchive = 0x20;
const char kSignature[] = "Rar!\x1A\x07\x00";

void Put16(std::string& out, std::uint32_t value) {
  out += static_cast<char>(value & 0xFF);
  out += static_cast<char>((value >> 8) & 0xFF);
}

void Put32(std::string& out, std::uint32_t value) {
  Put16(out, value & 0xFFFF);
  Put16(out, value >> 16);
}

// Completes a block header: body is everything after HEAD_SIZE.
std::string BlockHeader(std::uint8_t type, std::uint16_t flags, const std::string& body,
                        bool badCrc = false) {
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

std::string StoredName(const RarWriterEntry& entry) {
  if (entry.unicodeName.empty()) return entry.name;
  return entry.name + '\0' + EncodeRarUnicodeName(entry.name, entry.unicodeName);
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

std::uint32_t RarCrc32(const std::string& bytes, std::uint32_t crc) {
  static const std::array<std::uint32_t, 256> table = [] {
    std::array<std::uint32_t, 256> t{};
    for (std::uint32_t i = 0; i < 256; ++i) {
      std::uint32_t c = i;
      for (int bit = 0; bit < 8; ++bit) c = (c & 1) ? 0xEDB88320u ^ (c >> 1) : c >> 1;
      t[i] = c;
    }
    return t;
  }();
  crc = ~crc;
  for (const char byte : bytes) {
    crc = table[(crc ^ static_cast<unsigned char>(byte)) & 0xFF] ^ (crc >> 8);
  }
  return ~crc;
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

std::string RarWriter::FileHeader(const RarWriterEntry& entry) {
  const std::string name = StoredName(entry);
  const std::uint64_t size = entry.declaredSize ? entry.declaredSize : entry.data.size();
  const bool large = size > 0xFFFFFFFFu;
  std::uint16_t flags = kHasAddSize;
  if (entry.directory) flags |= kFileDirectory;
  if (entry.encrypted) flags |= kFileEncrypted;
  if (large) flags |= kFileLargeSizes;
  if (!entry.unicodeName.empty() || entry.utf8Name) flags |= kFileUnicodeName;
  std::uint32_t crc = entry.directory ? 0 : RarCrc32(entry.data);
  if (entry.badDataCrc) crc ^= 0xFFFFFFFFu;

  std::string body;
  Put32(body, static_cast<std::uint32_t>(size));  // PACK_SIZE
  Put32(body, static_cast<std::uint32_t>(size));  // UNP_SIZE
  body += static_cast<char>(entry.hostOs);
  Put32(body, crc);
  Put32(body, entry.dosTime);
  body += static_cast<char>(kUnpackVersion);
  body += static_cast<char>(entry.method);
  Put16(body, static_cast<std::uint32_t>(name.size()));
  Put32(body, entry.directory ? kAttrDirectory : kAttrArchive);
  if (large) {
    Put32(body, static_cast<std::uint32_t>(size >> 32));
    Put32(body, static_cast<std::uint32_t>(size >> 32));
  }
  body += name;
  return BlockHeader(kFileBlock, flags, body, entry.badHeaderCrc);
}

RarWriter& RarWriter::AddFile(const std::string& name, const std::string& data) {
  RarWriterEntry entry;
  entry.name = name;
  entry.data = data;
  return Add(entry);
}

RarWriter& RarWriter::AddDirectory(const std::string& name) {
  RarWriterEntry entry;
  entry.name = name;
  entry.directory = true;
  return Add(entry);
}

RarWriter& RarWriter::Add(const RarWriterEntry& entry) {
  const bool written = !entry.directory && entry.declaredSize == 0;
  blocks_.push_back({FileHeader(entry), written ? entry.data : std::string()});
  return *this;
}

RarWriter& RarWriter::AddOtherBlock(std::uint8_t type, const std::string& extra,
                                    const std::string& data) {
  std::string body;
  std::uint16_t flags = 0;
  if (!data.empty()) {
    flags = kHasAddSize;
    Put32(body, static_cast<std::uint32_t>(data.size()));
  }
  blocks_.push_back({BlockHeader(type, flags, body + extra), data});
  return *this;
}

void RarWriter::Write(std::ostream& out) const {
  out.write(kSignature, 7);
  const std::string main = BlockHeader(kMainBlock, mainFlags_, std::string(6, '\0'), badMainCrc_);
  out.write(main.data(), static_cast<std::streamsize>(main.size()));
  for (const Block& block : blocks_) {
    out.write(block.header.data(), static_cast<std::streamsize>(block.header.size()));
    out.write(block.data.data(), static_cast<std::streamsize>(block.data.size()));
  }
  const std::string end = BlockHeader(kEndBlock, kEndFlags, std::string());
  out.write(end.data(), static_cast<std::streamsize>(end.size()));
}

std::string RarWriter::Bytes() const {
  std::ostringstream out;
  Write(out);
  return out.str();
}

bool RarWriter::Save(const std::string& path) const {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  if (!out) return false;
  Write(out);
  out.close();
  return static_cast<bool>(out);
}
