#include "rar_writer/rar_blocks.h"
#include "rar_writer/rar_writer.h"

#include <vector>

using namespace rar_blocks;

bool RarStreamWriter::Put(const char* data, std::size_t size) {
  if (!output_.Write(data, size)) return false;
  written_ += size;
  return true;
}

bool RarStreamWriter::Start(std::uint16_t mainFlags, bool damagedMainHeader) {
  return Put(kSignature, kSignatureSize) &&
         Put(BlockHeader(kMainBlock, mainFlags, std::string(6, '\0'), damagedMainHeader));
}

bool RarStreamWriter::Add(const RarWriterEntry& entry) {
  const bool hasData = !entry.Directory && entry.DeclaredSize == 0;
  return Put(EntryHeader(entry)) && (!hasData || Put(entry.Data));
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
