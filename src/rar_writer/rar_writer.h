// Writes store-only RAR 4.x archives: files and directories, nested names, 8-bit and
// Unicode names, their times and attributes, entries over 4 GiB, volume sets, and (for
// tests) deliberately damaged or encrypted-looking entries. Portable C++: no platform
// headers.
//
// Two ways in, one header layout: RarWriter builds an archive in memory (the tests and
// benchmarks), RarStreamWriter writes one front to back onto an output with the data
// of each entry read from a source in blocks (kitpack). RarWriter writes through
// RarStreamWriter.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

constexpr std::uint32_t kRarWriterDosTime = 0x50221883;  // 2020-01-02 03:04:06

struct RarWriterEntry {
  std::string Name;            // the 8-bit name as stored, "\" between directories
  std::u16string UnicodeName;  // when not empty: stored after the 8-bit name
  bool Utf8Name = false;       // name is UTF-8 throughout: Unicode flag, no 8-bit form
  std::string Data;            // stored as it is (also when marked encrypted)
  bool Directory = false;
  std::uint32_t DosTime = kRarWriterDosTime;
  std::uint8_t HostOs = 2;         // Windows
  std::uint8_t Method = 0x30;      // store; other values only label the data
  bool Encrypted = false;          // sets the encrypted flag
  bool BadDataCrc = false;         // the data checksum in the header is wrong
  bool BadHeaderCrc = false;       // the header's own checksum is wrong
  std::uint64_t DeclaredSize = 0;  // not 0: the header claims this size, no data follows
  // As stored; none: the archive bit for a file, the directory bit for a directory.
  std::optional<std::uint32_t> Attributes;
};

// Where RarStreamWriter puts an archive: written front to back, and once per streamed
// entry overwritten further back, where that entry's header was written before its data.
class RarOutput {
 public:
  virtual ~RarOutput() = default;
  virtual bool Write(const char* data, std::size_t size) = 0;
  // Replaces size bytes already written at offset; the output's end stays where it was.
  virtual bool Overwrite(std::uint64_t offset, const char* data, std::size_t size) = 0;
};

// Where a streamed entry's data comes from, read front to back.
class RarDataSource {
 public:
  virtual ~RarDataSource() = default;
  // Up to size bytes into buffer; got is 0 at the end of the data. False when reading fails.
  virtual bool Read(char* buffer, std::size_t size, std::size_t& got) = 0;
};

constexpr std::size_t kRarStreamBlockSize = 64 * 1024;  // what AddStreamed asks of a source

enum class RarStreamResult {
  kDone,
  kReadFailed,   // the source failed; the archive so far is unusable
  kSizeChanged,  // the source gave more or fewer bytes than announced
  kWriteFailed,  // the output failed
};

// Writes one archive onto an output: Start, the entries, Finish. Memory use does not
// grow with an entry's size. After a failure (a false or a result other than kDone)
// the output holds no usable archive and the writer must not be used further.
class RarStreamWriter {
 public:
  explicit RarStreamWriter(RarOutput& output) : output_(output) {}

  // The signature and the main header.
  bool Start(std::uint16_t mainFlags = 0, bool damagedMainHeader = false);
  // An entry with its data in memory (entry.Data; nothing after the header of a
  // directory or of an entry with a declaredSize).
  bool Add(const RarWriterEntry& entry);
  // An entry whose data is read from source: exactly size bytes, in blocks of at most
  // kRarStreamBlockSize. entry.Data and entry.DeclaredSize are not used. The header
  // goes out first and is completed with the data's checksum once all of it has passed;
  // sizes over 4 GiB take the header's 64-bit fields.
  RarStreamResult AddStreamed(const RarWriterEntry& entry, std::uint64_t size,
                              RarDataSource& source);
  // Bytes written as they are: another block, whole.
  bool AddRaw(const std::string& bytes);
  // The end block.
  bool Finish();

  std::uint64_t BytesWritten() const { return written_; }

 private:
  bool Put(const char* data, std::size_t size);
  bool Put(const std::string& bytes) { return Put(bytes.data(), bytes.size()); }

  RarOutput& output_;
  std::uint64_t written_ = 0;
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
  void WriteTo(RarOutput& output) const;

  struct Item {
    bool IsEntry;
    RarWriterEntry Entry;  // an entry, or:
    std::string Header;    // another block's header
    std::string Data;      // and its data
  };

  std::vector<Item> items_;
  std::uint16_t mainFlags_ = 0;
  bool badMainCrc_ = false;
};

// Entries that readers must refuse or come through, for the tests: a file entry of
// that name (and data) with one thing wrong or odd about it.
RarWriterEntry EntryWithBadDataChecksum(const std::string& name, const std::string& data);
RarWriterEntry EntryWithBadHeaderChecksum(const std::string& name, const std::string& data);
RarWriterEntry EncryptedEntry(const std::string& name, const std::string& data);
// A header that claims size bytes of data, and none follow (beyond 4 GiB: its 64-bit
// fields).
RarWriterEntry EntryClaimingSize(const std::string& name, std::uint64_t size);
// A header whose 64-bit size takes a reader that adds it to the header's end round
// to the header's own start.
RarWriterEntry EntryWithWrappingSize(const std::string& name);

// CRC-32 (zlib polynomial) of the bytes, continuing from crc.
std::uint32_t RarCrc32(const std::string& bytes, std::uint32_t crc = 0);
std::uint32_t RarCrc32Update(std::uint32_t crc, const char* data, std::size_t size);

// The encoded UTF-16 form stored after the 8-bit name and its zero byte.
std::string EncodeRarUnicodeName(const std::string& name8, const std::u16string& name);
