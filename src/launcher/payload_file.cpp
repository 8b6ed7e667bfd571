#include "launcher/payload_file.h"

#include "onefile/crc32.h"

#include <cstdlib>
#include <cwchar>

namespace {

constexpr std::size_t kBlockSize = 1 << 20;

bool ReadExactly(HANDLE file, void* buffer, DWORD size) {
  DWORD got = 0;
  return ReadFile(file, buffer, size, &got, nullptr) && got == size;
}

bool MoveTo(HANDLE file, std::uint64_t offset) {
  LARGE_INTEGER to;
  to.QuadPart = static_cast<LONGLONG>(offset);
  return SetFilePointerEx(file, to, nullptr, FILE_BEGIN) != FALSE;
}

int CompareNames(const void* a, const void* b) {
  return std::wcscmp(*static_cast<const wchar_t* const*>(a),
                     *static_cast<const wchar_t* const*>(b));
}

}  // namespace

bool PayloadFile::Open(const wchar_t* path, std::uint64_t offset) {
  file_.Reset(CreateFileW(path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                          FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
  LARGE_INTEGER size;
  if (!file_ || !GetFileSizeEx(file_.Get(), &size)) return false;
  const auto fileSize = static_cast<std::uint64_t>(size.QuadPart);
  offset_ = offset;
  if (offset > fileSize || fileSize - offset < kPayloadHeaderSize) return false;
  if (!MoveTo(file_.Get(), offset) || !ReadExactly(file_.Get(), headerBytes_, kPayloadHeaderSize) ||
      !DecodePayloadHeader(headerBytes_, header_) || header_.PayloadLength > fileSize - offset) {
    return false;
  }
  dataStart_ = kPayloadHeaderSize + std::uint64_t{header_.IndexLength};
  index_ = HeapBlock(header_.IndexLength);
  return ReadExactly(file_.Get(), index_.Get(), header_.IndexLength) && ReadIndex();
}

// The entries, with their names converted; false when the index does not hold exactly
// the header's count of entries, or the sizes do not add up to the data.
bool PayloadFile::ReadIndex() {
  entries_ = HeapBlock(sizeof(Entry) * (header_.FileCount + 1));
  auto* entries = static_cast<Entry*>(entries_.Get());
  std::size_t at = 0;
  std::uint64_t total = 0;
  for (std::uint32_t i = 0; i < header_.FileCount; ++i) {
    PayloadEntry entry;
    if (!DecodePayloadEntry(index_.Bytes(), header_.IndexLength, at, entry)) return false;
    const auto* name = reinterpret_cast<const char*>(entry.Name);
    const int length = MultiByteToWideChar(949, MB_ERR_INVALID_CHARS, name,
                                           static_cast<int>(entry.NameLength), nullptr, 0);
    if (length <= 0) return false;
    entries[i] = {names_.Length(), static_cast<std::size_t>(length), entry.Size, entry.Crc};
    wchar_t* into = names_.Buffer(names_.Length() + length) + names_.Length();
    MultiByteToWideChar(949, MB_ERR_INVALID_CHARS, name, static_cast<int>(entry.NameLength), into,
                        length);
    names_.SetLength(names_.Length() + length);
    names_.Append(L'\0');
    if (entry.Size > DataLength() - total) return false;
    total += entry.Size;
  }
  return at == header_.IndexLength && total == DataLength();
}

const wchar_t* PayloadFile::Name(std::uint32_t i) const {
  return names_.Text() + Entries()[i].NameAt;
}

bool PayloadFile::NamesAreUnique() const {
  WideText upper;
  upper.Append(names_.Text(), names_.Length());
  CharUpperBuffW(upper.Buffer(upper.Length()), static_cast<DWORD>(upper.Length()));
  HeapBlock sorted(sizeof(const wchar_t*) * (Count() + 1));
  auto* names = static_cast<const wchar_t**>(sorted.Get());
  for (std::uint32_t i = 0; i < Count(); ++i) names[i] = upper.Text() + Entries()[i].NameAt;
  std::qsort(names, Count(), sizeof *names, CompareNames);
  for (std::uint32_t i = 1; i < Count(); ++i) {
    if (std::wcscmp(names[i - 1], names[i]) == 0) return false;
  }
  return true;
}

bool PayloadFile::Check(ProgressWindow& progress) {
  bool setup = false;
  for (std::uint32_t i = 0; i < Count(); ++i) {
    const wchar_t* name = Name(i);
    if (!IsPlainFileName(name, Entries()[i].NameLength)) return false;
    if (lstrcmpiW(name, L"setup.exe") == 0) setup = true;
  }
  if (!setup || !NamesAreUnique()) return false;

  std::uint32_t crc = Crc32(HeaderChecksum(headerBytes_), index_.Get(), header_.IndexLength);
  progress.Advance(dataStart_);
  if (!StartData()) return false;
  const unsigned char* data = nullptr;
  std::size_t got = 0;
  while (position_ < Length()) {
    if (!NextData(kBlockSize, data, got)) return false;
    crc = Crc32(crc, data, got);
    progress.Advance(got);
  }
  return crc == header_.Checksum;
}

bool PayloadFile::StartData() {
  if (!block_.Get()) block_ = HeapBlock(kBlockSize);
  blockAt_ = blockEnd_ = 0;
  position_ = dataStart_;
  return MoveTo(file_.Get(), offset_ + dataStart_);
}

bool PayloadFile::NextData(std::size_t want, const unsigned char*& data, std::size_t& got) {
  if (blockAt_ == blockEnd_) {
    const std::uint64_t left = Length() - position_;
    if (left == 0) return false;
    const DWORD size = static_cast<DWORD>(left < kBlockSize ? left : kBlockSize);
    if (!ReadExactly(file_.Get(), block_.Get(), size)) return false;
    blockAt_ = 0;
    blockEnd_ = size;
  }
  got = blockEnd_ - blockAt_ < want ? blockEnd_ - blockAt_ : want;
  data = block_.Bytes() + blockAt_;
  blockAt_ += got;
  position_ += got;
  return true;
}
