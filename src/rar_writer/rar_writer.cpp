#include "rar_writer/rar_writer.h"

#include <algorithm>
#include <array>
#include <fstream>
#include <vector>

namespace {

constexpr std::uint8_t kMainBlock = 0x73;
constexpr std::uint8_t kFileBlock = 0x74;
constexpr std::uint8_t kEndBlock = 0x7B;
constexpr std::uint16_t kHasAddSize = 0x8000;
constexpr std::uint16_t kEndFlags = 0x4000;  // as the archiver writes it
constexpr std::uint16_t kMainVolume = 0x01;
constexpr std::uint16_t kMainNewNaming = 0x10;
constexpr std::uint16_t kMainFirstVolume = 0x100;
constexpr std::uint16_t kEndNextVolume = 0x01;
constexpr std::uint16_t kFileSplitBefore = 0x01;
constexpr std::uint16_t kFileSplitAfter = 0x02;
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

// What one file header says about the data after it.
struct EntryPart {
  std::uint64_t packSize;
  std::uint64_t unpSize;
  std::uint32_t crc;
  std::uint16_t splitFlags;
};

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

// Written here again rather than shared with the stand-in library: the writer
// checks the reader, so the two must not rest on the same code.
// Four bytes a step (slicing by four): the packer streams files of gigabytes through it.
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

namespace {

// The header of one part of an entry: all of it, or a piece in one volume.
std::string PartHeader(const RarWriterEntry& entry, const EntryPart& part) {
  const std::string name = StoredName(entry);
  const bool large = part.packSize > 0xFFFFFFFFu || part.unpSize > 0xFFFFFFFFu;
  std::uint16_t flags = kHasAddSize | part.splitFlags;
  if (entry.directory) flags |= kFileDirectory;
  if (entry.encrypted) flags |= kFileEncrypted;
  if (large) flags |= kFileLargeSizes;
  if (!entry.unicodeName.empty() || entry.utf8Name) flags |= kFileUnicodeName;
  std::uint32_t crc = part.crc;
  if (entry.badDataCrc) crc ^= 0xFFFFFFFFu;

  std::string body;
  Put32(body, static_cast<std::uint32_t>(part.packSize));
  Put32(body, static_cast<std::uint32_t>(part.unpSize));
  body += static_cast<char>(entry.hostOs);
  Put32(body, crc);
  Put32(body, entry.dosTime);
  body += static_cast<char>(kUnpackVersion);
  body += static_cast<char>(entry.method);
  Put16(body, static_cast<std::uint32_t>(name.size()));
  Put32(body, entry.attributes.value_or(entry.directory ? kAttrDirectory : kAttrArchive));
  if (large) {
    Put32(body, static_cast<std::uint32_t>(part.packSize >> 32));
    Put32(body, static_cast<std::uint32_t>(part.unpSize >> 32));
  }
  body += name;
  return BlockHeader(kFileBlock, flags, body, entry.badHeaderCrc);
}

// The in-memory writer's outputs: a standard stream, or a string.
class StreamOutput : public RarOutput {
 public:
  explicit StreamOutput(std::ostream& out) : out_(out) {}
  bool Write(const char* data, std::size_t size) override {
    return static_cast<bool>(out_.write(data, static_cast<std::streamsize>(size)));
  }
  bool Overwrite(std::uint64_t offset, const char* data, std::size_t size) override {
    const std::ostream::pos_type end = out_.tellp();
    out_.seekp(static_cast<std::streamoff>(offset));
    Write(data, size);
    out_.seekp(end);
    return static_cast<bool>(out_);
  }

 private:
  std::ostream& out_;
};

struct StringOutput : RarOutput {
  bool Write(const char* data, std::size_t size) override {
    bytes.append(data, size);
    return true;
  }
  bool Overwrite(std::uint64_t offset, const char* data, std::size_t size) override {
    if (offset > bytes.size() || size > bytes.size() - offset) return false;
    bytes.replace(static_cast<std::size_t>(offset), size, data, size);
    return true;
  }
  std::string bytes;
};

bool WriteFile(const std::string& path, const std::string& bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  out.close();
  return static_cast<bool>(out);
}

std::string VolumeName(const std::string& base, std::size_t index, std::size_t count,
                       bool newNaming) {
  if (newNaming) {
    std::string number = std::to_string(index + 1);
    const std::size_t width = std::to_string(count).size();
    return base + ".part" + std::string(width - number.size(), '0') + number + ".rar";
  }
  if (index == 0) return base + ".rar";
  const std::size_t n = index - 1;  // .r00 ... .r99, then .s00 ...
  return base + "." + static_cast<char>('r' + n / 100) + static_cast<char>('0' + n / 10 % 10) +
         static_cast<char>('0' + n % 10);
}

// Builds the volumes of a set in memory, entry part after entry part.
class VolumeBuilder {
 public:
  VolumeBuilder(std::size_t volumeDataSize, bool newNaming)
      : volumeDataSize_(volumeDataSize),
        mainFlags_(kMainVolume | (newNaming ? kMainNewNaming : 0)) {
    Begin();
  }

  void Add(const RarWriterEntry& entry) {
    const std::string& data = entry.directory ? kNoData : entry.data;
    std::size_t done = 0;
    do {
      if (left_ == 0 && done < data.size()) NextVolume();
      const std::size_t take = std::min(left_, data.size() - done);
      EntryPart part{take, data.size(), 0, 0};
      if (done > 0) part.splitFlags |= kFileSplitBefore;
      if (done + take < data.size()) part.splitFlags |= kFileSplitAfter;
      part.crc = part.splitFlags & kFileSplitAfter ? RarCrc32(data.substr(done, take))
                                                   : (entry.directory ? 0 : RarCrc32(data));
      volumes_.back() += PartHeader(entry, part) + data.substr(done, take);
      done += take;
      left_ -= take;
    } while (done < data.size());
  }

  std::vector<std::string> Finish() {
    volumes_.back() += BlockHeader(kEndBlock, kEndFlags, std::string());
    return volumes_;
  }

 private:
  void Begin() {
    const std::uint16_t first = volumes_.empty() ? kMainFirstVolume : 0;
    volumes_.push_back(std::string(kSignature, 7) +
                       BlockHeader(kMainBlock, mainFlags_ | first, std::string(6, '\0')));
    left_ = volumeDataSize_;
  }
  void NextVolume() {
    volumes_.back() += BlockHeader(kEndBlock, kEndFlags | kEndNextVolume, std::string());
    Begin();
  }

  static const std::string kNoData;
  std::size_t volumeDataSize_;
  std::uint16_t mainFlags_;
  std::size_t left_ = 0;
  std::vector<std::string> volumes_;
};

const std::string VolumeBuilder::kNoData;

}  // namespace

bool RarStreamWriter::Put(const char* data, std::size_t size) {
  if (!output_.Write(data, size)) return false;
  written_ += size;
  return true;
}

bool RarStreamWriter::Start(std::uint16_t mainFlags, bool damagedMainHeader) {
  return Put(kSignature, 7) &&
         Put(BlockHeader(kMainBlock, mainFlags, std::string(6, '\0'), damagedMainHeader));
}

bool RarStreamWriter::Add(const RarWriterEntry& entry) {
  const bool hasData = !entry.directory && entry.declaredSize == 0;
  return Put(RarWriter::FileHeader(entry)) && (!hasData || Put(entry.data));
}

RarStreamResult RarStreamWriter::AddStreamed(const RarWriterEntry& entry, std::uint64_t size,
                                             RarDataSource& source) {
  const std::uint64_t headerAt = written_;
  // The checksum is not known yet: the header is written again once it is.
  if (!Put(PartHeader(entry, {size, size, 0, 0}))) return RarStreamResult::kWriteFailed;
  std::vector<char> block(kRarStreamBlockSize);
  std::uint32_t crc = 0;
  std::uint64_t done = 0;
  for (;;) {
    std::size_t got = 0;
    if (!source.Read(block.data(), block.size(), got)) return RarStreamResult::kReadFailed;
    if (got == 0) break;
    if (got > size - done) return RarStreamResult::kSizeChanged;
    crc = RarCrc32Update(crc, block.data(), got);
    if (!Put(block.data(), got)) return RarStreamResult::kWriteFailed;
    done += got;
  }
  if (done != size) return RarStreamResult::kSizeChanged;
  const std::string header = PartHeader(entry, {size, size, crc, 0});
  return output_.Overwrite(headerAt, header.data(), header.size()) ? RarStreamResult::kDone
                                                                   : RarStreamResult::kWriteFailed;
}

bool RarStreamWriter::AddRaw(const std::string& bytes) { return Put(bytes); }

bool RarStreamWriter::Finish() { return Put(BlockHeader(kEndBlock, kEndFlags, std::string())); }

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

std::string RarWriter::FileHeader(const RarWriterEntry& entry) {
  const std::uint64_t size = entry.declaredSize ? entry.declaredSize : entry.data.size();
  const std::uint32_t crc = entry.directory ? 0 : RarCrc32(entry.data);
  return PartHeader(entry, {size, size, crc, 0});
}

RarWriter& RarWriter::Add(const RarWriterEntry& entry) {
  items_.push_back({true, entry, std::string(), std::string()});
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
  items_.push_back({false, RarWriterEntry(), BlockHeader(type, flags, body + extra), data});
  return *this;
}

void RarWriter::WriteTo(RarOutput& output) const {
  RarStreamWriter writer(output);
  writer.Start(mainFlags_, badMainCrc_);
  for (const Item& item : items_) {
    if (item.isEntry) {
      writer.Add(item.entry);
    } else {
      writer.AddRaw(item.header + item.data);
    }
  }
  writer.Finish();
}

void RarWriter::Write(std::ostream& out) const {
  StreamOutput output(out);
  WriteTo(output);
}

std::string RarWriter::Bytes() const {
  StringOutput output;
  WriteTo(output);
  return output.bytes;
}

std::vector<std::string> RarWriter::SaveVolumes(const std::string& base, std::size_t volumeDataSize,
                                                bool newNaming) const {
  VolumeBuilder builder(volumeDataSize, newNaming);
  for (const Item& item : items_) {
    if (item.isEntry) builder.Add(item.entry);
  }
  const std::vector<std::string> volumes = builder.Finish();
  std::vector<std::string> paths;
  for (std::size_t i = 0; i < volumes.size(); ++i) {
    paths.push_back(VolumeName(base, i, volumes.size(), newNaming));
    if (!WriteFile(paths.back(), volumes[i])) return {};
  }
  return paths;
}

bool RarWriter::Save(const std::string& path) const {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  if (!out) return false;
  Write(out);
  out.close();
  return static_cast<bool>(out);
}
