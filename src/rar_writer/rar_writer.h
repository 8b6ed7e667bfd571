// Writes store-only RAR 4.x archives for tests: files and directories, nested
// names, 8-bit and Unicode names, large entries, volume sets, and deliberately
// damaged or encrypted-looking entries. Portable C++: no platform headers.
#pragma once

#include <cstdint>
#include <ostream>
#include <string>
#include <vector>

constexpr std::uint32_t kRarWriterDosTime = 0x50221883;  // 2020-01-02 03:04:06

struct RarWriterEntry {
  std::string name;            // the 8-bit name as stored, "\" between directories
  std::u16string unicodeName;  // when not empty: stored after the 8-bit name
  bool utf8Name = false;       // name is UTF-8 throughout: Unicode flag, no 8-bit form
  std::string data;            // stored as it is (also when marked encrypted)
  bool directory = false;
  std::uint32_t dosTime = kRarWriterDosTime;
  std::uint8_t hostOs = 2;         // Windows
  std::uint8_t method = 0x30;      // store; other values only label the data
  bool encrypted = false;          // sets the encrypted flag
  bool badDataCrc = false;         // the data checksum in the header is wrong
  bool badHeaderCrc = false;       // the header's own checksum is wrong
  std::uint64_t declaredSize = 0;  // not 0: the header claims this size, no data follows
  std::uint32_t attributes = 0;    // 0: the archive bit, or the directory bit
};

class RarWriter {
 public:
  RarWriter& AddFile(const std::string& name, const std::string& data);
  RarWriter& AddDirectory(const std::string& name);
  RarWriter& Add(const RarWriterEntry& entry);
  // A block of another type, passed over by readers: its header carries extra
  // bytes after the common fields, and data (if any) follows it.
  RarWriter& AddOtherBlock(std::uint8_t type, const std::string& extra, const std::string& data);

  void SetMainFlags(std::uint16_t flags) { mainFlags_ = flags; }
  void DamageMainHeader() { badMainCrc_ = true; }

  std::string Bytes() const;
  void Write(std::ostream& out) const;
  // False when the file cannot be written.
  bool Save(const std::string& path) const;

  // Writes the entries (other blocks are left out) as a volume set holding at
  // most volumeDataSize bytes of entry data per volume; entries that do not fit
  // go on in the next volume. Names: base.part1.rar, base.part2.rar, ... with
  // newNaming, else base.rar, base.r00, base.r01, ... Returns the volume paths,
  // or nothing when one cannot be written.
  std::vector<std::string> SaveVolumes(const std::string& base, std::size_t volumeDataSize,
                                       bool newNaming) const;

  // The file header alone (without the data that follows it).
  static std::string FileHeader(const RarWriterEntry& entry);

 private:
  struct Item {
    bool isEntry;
    RarWriterEntry entry;  // an entry, or:
    std::string header;    // another block's header
    std::string data;      // and its data
  };

  std::vector<Item> items_;
  std::uint16_t mainFlags_ = 0;
  bool badMainCrc_ = false;
};

// CRC-32 (zlib polynomial) of the bytes, continuing from crc.
std::uint32_t RarCrc32(const std::string& bytes, std::uint32_t crc = 0);

// The encoded UTF-16 form stored after the 8-bit name and its zero byte.
std::string EncodeRarUnicodeName(const std::string& name8, const std::u16string& name);
