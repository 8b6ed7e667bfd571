#include "unrar_standin/archive_reader.h"

#include "rar/unrar.h"
#include "unrar_standin/code_pages.h"
#include "unrar_standin/unicode_name.h"

// The archive file as a source of bytes.
class ArchiveReader::File : public ByteSource {
 public:
  explicit File(HANDLE handle) : handle_(handle) {
    LARGE_INTEGER size;
    if (handle_ && GetFileSizeEx(handle_.Get(), &size)) size_ = size.QuadPart;
  }
  bool Valid() const { return handle_.Valid(); }

  std::uint64_t Size() const override { return size_; }
  bool ReadAt(std::uint64_t offset, void* buffer, std::uint32_t size, std::uint32_t& got) override {
    got = 0;
    LARGE_INTEGER position;
    position.QuadPart = static_cast<LONGLONG>(offset);
    if (!SetFilePointerEx(handle_.Get(), position, nullptr, FILE_BEGIN)) return false;
    DWORD read = 0;
    if (!ReadFile(handle_.Get(), buffer, size, &read, nullptr)) return false;
    got = read;
    return true;
  }

 private:
  FileHandle handle_;
  std::uint64_t size_ = 0;
};

namespace {

// The 8-bit and the Unicode form of the stored name.
void DecodeName(ArchiveEntry& entry) {
  const std::string& stored = entry.StoredName;
  const auto zero = stored.find('\0');
  if (!entry.HasUnicodeName()) {
    entry.Name = stored.substr(0, zero);
  } else if (zero == std::string::npos) {  // the whole name is UTF-8
    entry.WideName = ToWide(stored, CP_UTF8);
    entry.Name = FromWide(entry.WideName, CP_OEMCP);
  } else {
    entry.Name = stored.substr(0, zero);
    entry.WideName = DecodeUnicodeName(entry.Name, stored.substr(zero + 1));
  }
}

}  // namespace

ArchiveReader::ArchiveReader() = default;
ArchiveReader::~ArchiveReader() = default;

int ArchiveReader::Open(const std::wstring& path) {
  blocks_.reset();
  file_ = std::make_unique<File>(CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                             OPEN_EXISTING, FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
  if (!file_->Valid()) return rar_code::kOpenError;
  blocks_ = std::make_unique<BlockReader>(*file_);
  return blocks_->Open();
}

int ArchiveReader::Next(ArchiveEntry& entry) {
  if (!blocks_) return rar_code::kBadArchive;
  const int code = blocks_->Next(entry);
  if (code == rar_code::kSuccess) DecodeName(entry);
  return code;
}

bool ArchiveReader::ContinuesInNextVolume() const {
  return blocks_ && blocks_->ContinuesInNextVolume();
}

bool ArchiveReader::ReadAt(std::uint64_t offset, void* buffer, std::uint32_t size,
                           std::uint32_t& got) {
  got = 0;
  return file_ && file_->ReadAt(offset, buffer, size, got);
}

std::uint32_t ArchiveReader::MainFlags() const { return blocks_ ? blocks_->MainFlags() : 0; }
