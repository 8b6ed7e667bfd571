#include "unrar_standin/entry_extractor.h"

#include "unrar_standin/archive_format.h"
#include "unrar_standin/crc32.h"
#include "unrar_standin/extraction_hold.h"
#include "win/file_system.h"
#include "win/handles.h"

namespace {

constexpr std::uint32_t kBlockSize = 64 * 1024;
constexpr std::uint32_t kHostWindows = 2;  // hosts 0 to 2: MS-DOS, OS/2, Windows
constexpr DWORD kStoredAttributes = FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN |
                                    FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_ARCHIVE;

// Where the directories of a path begin: after "X:\" or "\\server\share\".
std::wstring::size_type RootLength(const std::wstring& path) {
  if (path.compare(0, 2, L"\\\\") == 0) {
    const auto server = path.find(L'\\', 2);
    const auto share = server == std::wstring::npos ? server : path.find(L'\\', server + 1);
    return share == std::wstring::npos ? path.size() : share + 1;
  }
  if (path.size() >= 3 && path[1] == L':' && path[2] == L'\\') return 3;
  if (!path.empty() && path[0] == L'\\') return 1;
  return 0;
}

int CheckDecodable(const ArchiveEntry& entry) {
  if (entry.Flags & rar_const::kFlagEncrypted) return rar_code::kMissingPassword;
  if (entry.Method != rar4::kMethodStore) return rar_code::kUnknownFormat;
  return rar_code::kSuccess;
}

// Where the data of one entry goes: a file, or nowhere when testing.
class DataTarget {
 public:
  explicit DataTarget(HANDLE file = INVALID_HANDLE_VALUE) : file_(file) {}
  bool Write(const void* data, std::uint32_t size) {
    if (!file_) return true;
    DWORD written = 0;
    return WriteFile(file_.Get(), data, size, &written, nullptr) && written == size;
  }
  void SetTime(std::uint32_t dosTime) {
    FILETIME local;
    FILETIME utc;
    if (file_ && DosDateTimeToFileTime(HIWORD(dosTime), LOWORD(dosTime), &local) &&
        LocalFileTimeToFileTime(&local, &utc)) {
      SetFileTime(file_.Get(), nullptr, nullptr, &utc);
    }
  }
  void Close() { file_.Reset(); }
  explicit operator bool() const { return file_.Valid(); }

 private:
  FileHandle file_;
};

// Copies the entry's data block by block, reporting each block; a driver may hold
// the copy once holdAt bytes are reported (0: never).
int CopyData(ExtractionContext& context, DataTarget& target, std::uint64_t holdAt = 0) {
  std::uint32_t crc = 0;
  std::uint64_t done = 0;
  for (;;) {
    std::uint32_t got = 0;
    const int code = context.Data.Read(context.Buffer.data(), kBlockSize, got);
    if (code != rar_code::kSuccess) return code;
    if (got == 0) break;
    crc = Crc32(crc, context.Buffer.data(), got);
    if (!target.Write(context.Buffer.data(), got)) return rar_code::kWriteError;
    if (context.ProcessData &&
        context.ProcessData(context.Buffer.data(), static_cast<int>(got)) == 0) {
      return rar_code::kUnknown;
    }
    done += got;
    if (holdAt && done >= holdAt && done - got < holdAt && !extraction_hold::HoldIfAsked([&] {
          return !context.ProcessData || context.ProcessData(context.Buffer.data(), 0) != 0;
        })) {
      return rar_code::kUnknown;
    }
  }
  return crc == context.Data.ExpectedCrc() ? rar_code::kSuccess : rar_code::kBadData;
}

// Archives made on MS-DOS, OS/2 or Windows carry attributes the platform knows.
void ApplyStoredAttributes(const ArchiveEntry& entry, const std::wstring& target) {
  if (entry.HostOs > kHostWindows) return;
  const DWORD attributes = entry.Attr & kStoredAttributes;
  SetFileAttributesW(target.c_str(), attributes ? attributes : FILE_ATTRIBUTE_NORMAL);
}

HANDLE CreateTargetFile(const std::wstring& target) {
  ClearReadOnly(target.c_str());  // an existing target is replaced even so
  auto create = [&] {
    return CreateFileW(target.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                       FILE_ATTRIBUTE_NORMAL, nullptr);
  };
  HANDLE file = create();
  if (file == INVALID_HANDLE_VALUE && GetLastError() == ERROR_PATH_NOT_FOUND) {
    CreateParentDirectories(target);
    file = create();
  }
  return file;
}

}  // namespace

void CreateParentDirectories(const std::wstring& path) {
  for (auto pos = path.find(L'\\', RootLength(path)); pos != std::wstring::npos;
       pos = path.find(L'\\', pos + 1)) {
    CreateDirectoryW(path.substr(0, pos).c_str(), nullptr);
  }
}

int ExtractEntry(ExtractionContext& context, const ArchiveEntry& entry,
                 const std::wstring& target) {
  if (entry.IsDirectory()) {
    CreateParentDirectories(target + L"\\");
    const DWORD attributes = GetFileAttributesW(target.c_str());
    const bool made =
        attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
    return made ? rar_code::kSuccess : rar_code::kCreateError;
  }
  if (const int code = CheckDecodable(entry)) return code;
  DataTarget file(CreateTargetFile(target));
  if (!file) return rar_code::kCreateError;
  const int code = CopyData(context, file, extraction_hold::HoldPoint(entry.UnpSize));
  if (code != rar_code::kSuccess && code != rar_code::kBadData) {
    file.Close();  // cancelled or cut off: no half-written file stays behind
    DeleteFileW(target.c_str());
    return code;
  }
  file.SetTime(entry.DosTime);
  file.Close();
  ApplyStoredAttributes(entry, target);
  return code;
}

int TestEntry(ExtractionContext& context, const ArchiveEntry& entry) {
  if (entry.IsDirectory()) return rar_code::kSuccess;
  if (const int code = CheckDecodable(entry)) return code;
  DataTarget nowhere;
  return CopyData(context, nowhere);
}
