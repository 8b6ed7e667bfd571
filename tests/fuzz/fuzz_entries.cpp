#include "fuzz_entries.h"

#include "archive_fixup.h"

#include "contracts/install_log.h"
#include "rar/entry_name_rules.h"
#include "rar/unrar_codes.h"
#include "setup/comma_field.h"
#include "text/full_path_rules.h"
#include "text/text.h"
#include "unrar_standin/archive_blocks.h"
#include "unrar_standin/unicode_name.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

namespace fuzz {

const Target kTargets[4] = {
    {"install_log", InstallLog},
    {"comma_fields", CommaFields},
    {"entry_names", EntryNames},
    {"archive_blocks", ArchiveBlocks},
};

namespace {

void Require(bool condition) {
  if (!condition) std::abort();
}

bool Trimmed(const std::string& text) {
  return text.empty() || (static_cast<unsigned char>(text.front()) > 32 &&
                          static_cast<unsigned char>(text.back()) > 32);
}

class MemorySource : public ByteSource {
 public:
  MemorySource(const std::uint8_t* data, std::size_t size) : data_(data), size_(size) {}
  std::uint64_t Size() const override { return size_; }
  bool ReadAt(std::uint64_t offset, void* buffer, std::uint32_t size, std::uint32_t& got) override {
    Require(offset <= size_);  // the reader never asks beyond the end
    const std::uint64_t left = size_ - offset;
    got = static_cast<std::uint32_t>(left < size ? left : size);
    if (got > 0) std::memcpy(buffer, data_ + offset, got);
    return true;
  }

 private:
  const std::uint8_t* data_;
  std::uint64_t size_;
};

template <typename Char>
void CheckSafeName(const std::basic_string<Char>& stored) {
  using String = std::basic_string<Char>;
  const String safe = SafeEntryName(stored);
  Require(SafeEntryName(safe) == safe);
  const String parent = {Char('\\'), Char('.'), Char('.'), Char('\\')};
  Require((Char('\\') + safe).find(parent) == String::npos);
  Require(safe.empty() || safe[0] != Char('\\'));
  Require(safe != String(2, Char('.')));
  Require(!(safe.size() >= 2 && safe[1] == Char(':') && IsAsciiLetter(safe[0])));
}

}  // namespace

void InstallLog(const std::uint8_t* data, std::size_t size) {
  const std::string bytes(reinterpret_cast<const char*>(data), size);
  const std::vector<std::string> lines = SplitLogText(bytes);
  for (const std::string& line : lines) Require(line.find_first_of("\r\n", 0) == std::string::npos);
  Require(lines.size() <= size);
  for (LogPass pass : {LogPass::Files, LogPass::Directories, LogPass::Registry}) {
    for (const std::string& payload : PassPayloads(lines, pass)) {
      Require(!payload.empty());
      // A key path comes trimmed; a path in its full form, which is its own full form
      // again (dropping a final dot may bare a control byte: the calls keep it too).
      Require(pass == LogPass::Registry ? Trimmed(payload) : NormalFullPath(payload) == payload);
    }
  }
  // Two runs of the same lines: the second adds nothing.
  TInstallLog log;
  log.BeginRun();
  for (const std::string& line : lines) log.Add(line);
  const std::size_t first = log.Lines().size();
  Require(first == lines.size());
  log.BeginRun();
  for (const std::string& line : lines) log.Add(line);
  Require(log.Lines().size() == first);
}

void CommaFields(const std::uint8_t* data, std::size_t size) {
  const std::string text(reinterpret_cast<const char*>(data), size);
  const std::size_t commas = static_cast<std::size_t>(std::count(text.begin(), text.end(), ','));
  for (unsigned n = 0; n <= 12; ++n) {
    const std::string field = GetCommaField(text, n);
    Require(field.find(',') == std::string::npos && Trimmed(field));
    if (n == 0 || n > commas + 1) Require(field.empty());
  }
}

void EntryNames(const std::uint8_t* data, std::size_t size) {
  CheckSafeName(std::string(reinterpret_cast<const char*>(data), size));
  std::u16string wide;
  for (std::size_t i = 0; i + 1 < size; i += 2) {
    wide += static_cast<char16_t>(data[i] | data[i + 1] << 8);
  }
  CheckSafeName(wide);
}

namespace {

void ReadBlocks(const std::string& bytes) {
  const auto* data = reinterpret_cast<const std::uint8_t*>(bytes.data());
  const std::size_t size = bytes.size();
  MemorySource source(data, size);
  BlockReader reader(source);
  if (reader.Open() != rar_code::kSuccess) return;
  ArchiveEntry entry;
  std::uint64_t lastOffset = 0;
  std::size_t entries = 0;
  while (reader.Next(entry) == rar_code::kSuccess) {
    Require(++entries <= size / 7);  // every block has a header of seven bytes at least
    Require(entry.DataOffset > lastOffset && entry.DataOffset <= size);
    Require(entry.PackSize <= size - entry.DataOffset);
    lastOffset = entry.DataOffset;
    const auto zero = entry.StoredName.find('\0');
    if (entry.HasUnicodeName() && zero != std::string::npos) {
      const std::string name8 = entry.StoredName.substr(0, zero);
      const std::wstring wide = DecodeUnicodeName(name8, entry.StoredName.substr(zero + 1));
      Require(wide.size() <= name8.size() + entry.StoredName.size() * 2);
    }
  }
}

}  // namespace

void ArchiveBlocks(const std::uint8_t* data, std::size_t size) {
  std::string bytes(reinterpret_cast<const char*>(data), size);
  ReadBlocks(bytes);
  // Once more with the checksums made whole, so that mutations reach what lies behind.
  const std::string raw = bytes;
  FixArchiveChecksums(bytes);
  if (bytes != raw) ReadBlocks(bytes);
}

}  // namespace fuzz
