// The block structure of a RAR 4.x archive, read from any source of bytes: the
// signature and main header, then one file header after the other; blocks of
// other kinds are passed over by their sizes.
//
// Every header's checksum is checked, and every block must lie inside the archive
// and move the reading forward: a size that points back or past the end (a 64-bit
// size that wraps around included) makes the archive damaged, so no archive can
// make a reader loop. Pure: no platform headers, so it can be fuzzed natively.
#pragma once

#include <cstdint>
#include <string>

// Where the blocks are read from: a file, or bytes in memory.
class ByteSource {
 public:
  virtual ~ByteSource() = default;
  virtual std::uint64_t Size() const = 0;
  // Up to size bytes at offset (fewer at the end); false on a read failure.
  virtual bool ReadAt(std::uint64_t offset, void* buffer, std::uint32_t size,
                      std::uint32_t& got) = 0;
};

struct ArchiveEntry {
  std::uint32_t Flags = 0;
  std::uint64_t PackSize = 0;
  std::uint64_t UnpSize = 0;
  std::uint32_t HostOs = 0;
  std::uint32_t Crc = 0;
  std::uint32_t DosTime = 0;
  std::uint32_t UnpVer = 0;
  std::uint32_t Method = 0;
  std::uint32_t Attr = 0;
  std::string StoredName;  // the name field as stored (with its Unicode form, if any)
  std::string Name;        // the 8-bit name, filled by whoever decodes the name field
  std::wstring WideName;   // the Unicode form when the header carries one
  std::uint64_t DataOffset = 0;

  bool IsDirectory() const;
  bool HasUnicodeName() const;
};

class BlockReader {
 public:
  explicit BlockReader(ByteSource& source) : source_(source) {}

  // Checks the signature and reads the main header: 0, 13 (not a RAR 4.x
  // archive, damaged main header), 18 (read error) or 22 (headers encrypted).
  int Open();

  // The next file header: 0, 10 at the end of the archive, 13 for a damaged
  // header or a block that does not lie inside the archive, 18 on a read error.
  int Next(ArchiveEntry& entry);

  // After Next answered 10: the set goes on in the next volume (the end block
  // says so, or the last entry goes on).
  bool ContinuesInNextVolume() const { return continues_; }
  std::uint32_t MainFlags() const { return mainFlags_; }
  bool IsVolume() const;

 private:
  int ReadHeader(std::uint64_t offset, std::string& header);
  int MoveTo(std::uint64_t offset, std::uint64_t headerSize, std::uint64_t dataSize);

  ByteSource& source_;
  std::uint64_t nextBlock_ = 0;
  std::uint32_t mainFlags_ = 0;
  bool continues_ = false;
  bool lastSplitAfter_ = false;  // the latest file header goes on in the next volume
};

// Fills entry from a file header found at offset; false when the header is too
// short for the fields its flags announce.
bool ParseFileHeader(const std::string& header, std::uint64_t offset, ArchiveEntry& entry);
