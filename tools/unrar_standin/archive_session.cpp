#include "unrar_standin/archive_session.h"

#include "rar/entry_name_rules.h"
#include "unrar_standin/archive_format.h"
#include "unrar_standin/code_pages.h"
#include "unrar_standin/entry_extractor.h"
#include "unrar_standin/volume_names.h"

#include <algorithm>
#include <cstring>

namespace {

// Copies text into a fixed field, cut to leave room for the terminating zero.
template <std::size_t N>
void CopyField(char (&field)[N], const std::string& text) {
  const std::size_t length = std::min(text.size(), N - 1);
  std::memcpy(field, text.data(), length);
  std::memset(field + length, 0, N - length);
}

std::uint32_t Low32(std::uint64_t value) { return static_cast<std::uint32_t>(value); }

constexpr std::size_t kVolumeNameBuffer = 2048;  // what a change-volume callback may write

bool PathExists(const std::string& name) {
  return GetFileAttributesW(ToWide(name, CP_ACP).c_str()) != INVALID_FILE_ATTRIBUTES;
}

}  // namespace

// The data of the current entry, read on into the following volumes while the
// entry goes on there.
class ArchiveSession::SplitEntryData : public EntryData {
 public:
  explicit SplitEntryData(ArchiveSession& session) : session_(session) {}

  int Read(unsigned char* buffer, std::uint32_t size, std::uint32_t& got) override {
    got = 0;
    for (;;) {
      const ArchiveEntry& part = session_.entry_;
      if (done_ < part.PackSize) {
        const auto want =
            static_cast<std::uint32_t>(std::min<std::uint64_t>(size, part.PackSize - done_));
        if (!session_.reader_.ReadAt(part.DataOffset + done_, buffer, want, got)) {
          return rar_code::kReadError;
        }
        if (got == 0) return rar_code::kBadData;  // the archive ends inside the entry
        done_ += got;
        return rar_code::kSuccess;
      }
      if (!(part.Flags & rar_const::kFlagSplitAfter)) return rar_code::kSuccess;
      if (const int code = NextPart()) return code;
    }
  }

  std::uint32_t ExpectedCrc() const override { return session_.entry_.Crc; }

 private:
  // The entry's next part: the first file header of the next volume.
  int NextPart() {
    if (const int code = session_.OpenNextVolume()) return code;
    ArchiveEntry next;
    if (session_.reader_.Next(next) != rar_code::kSuccess ||
        !(next.Flags & rar_const::kFlagSplitBefore) || next.Name != session_.entry_.Name) {
      return rar_code::kBadArchive;  // the volumes do not belong together
    }
    session_.entry_ = next;
    done_ = 0;
    return rar_code::kSuccess;
  }

  ArchiveSession& session_;
  std::uint64_t done_ = 0;
};

int ArchiveSession::Open(const RAROpenArchiveData& data) {
  if (!data.ArcName) return rar_code::kOpenError;
  volumeName_ = data.ArcName;
  openMode_ = data.OpenMode;
  FirstVisit(volumeName_);
  return reader_.Open(ToWide(volumeName_, CP_ACP));
}

int ArchiveSession::ReadHeader(RARHeaderData& header) {
  haveEntry_ = false;
  for (;;) {
    const int code = reader_.Next(entry_);
    if (code == rar_code::kEndArchive && reader_.ContinuesInNextVolume()) {
      if (const int next = OpenNextVolume()) return next;
      continue;
    }
    if (code != rar_code::kSuccess) return code;
    // The rest of an entry that began in an earlier volume was handled with it.
    if (!(entry_.Flags & rar_const::kFlagSplitBefore)) break;
  }
  haveEntry_ = true;
  CopyField(header.ArcName, volumeName_);
  CopyField(header.FileName, entry_.Name);
  header.Flags = entry_.Flags;
  header.PackSize = Low32(entry_.PackSize);
  header.UnpSize = Low32(entry_.UnpSize);
  header.HostOS = entry_.HostOs;
  header.FileCRC = entry_.Crc;
  header.FileTime = entry_.DosTime;
  header.UnpVer = entry_.UnpVer;
  header.Method = entry_.Method;
  header.FileAttr = entry_.Attr;
  header.CmtSize = 0;  // entries carry no comments here
  header.CmtState = 0;
  return rar_code::kSuccess;
}

int ArchiveSession::ProcessFile(int operation, const char* destPath, const char* destName) {
  if (!haveEntry_) return rar_code::kUnknown;  // no header was read for this call
  haveEntry_ = false;
  if (openMode_ != rar_const::kOpenExtract || operation == rar_const::kSkip) {
    return rar_code::kSuccess;
  }
  if (operation != rar_const::kTest && operation != rar_const::kExtract) {
    return rar_code::kUnknown;
  }
  if (buffer_.empty()) buffer_.resize(64 * 1024);
  const ArchiveEntry first = entry_;
  SplitEntryData data(*this);
  ExtractionContext context{data, processData_, buffer_};
  if (operation == rar_const::kTest) return TestEntry(context, first);
  return ExtractEntry(context, first, TargetPath(destPath, destName));
}

// Moves on to the next volume of the set. A present volume is announced to the
// change-volume callback; for a missing one the callback may name another file
// (and answers 0 to give up). Without a callback a missing volume ends it (15).
int ArchiveSession::OpenNextVolume() {
  const bool newNaming = (reader_.MainFlags() & rar4::kMainNewNaming) != 0;
  std::string name = NextVolumeName(volumeName_, newNaming);
  while (!PathExists(name)) {
    if (!changeVolume_) return rar_code::kOpenError;
    if (!AskForVolume(name, rar_const::kVolumeAsk)) return rar_code::kUnknown;
  }
  if (changeVolume_ && !AskForVolume(name, rar_const::kVolumeNotify)) return rar_code::kUnknown;
  if (!FirstVisit(name)) return rar_code::kBadArchive;  // a set that loops back never ends
  volumeName_ = name;
  return reader_.Open(ToWide(name, CP_ACP));
}

// Notes a volume as read; false when it was read before.
bool ArchiveSession::FirstVisit(const std::string& name) {
  const std::wstring wide = ToWide(name, CP_ACP);
  std::wstring full(GetFullPathNameW(wide.c_str(), 0, nullptr, nullptr), L'\0');
  full.resize(
      GetFullPathNameW(wide.c_str(), static_cast<DWORD>(full.size()), full.data(), nullptr));
  CharUpperBuffW(full.data(), static_cast<DWORD>(full.size()));
  return volumesRead_.insert(full).second;
}

// Calls the change-volume callback with a buffer it may write a new name into.
bool ArchiveSession::AskForVolume(std::string& name, int mode) {
  std::vector<char> buffer(kVolumeNameBuffer, '\0');
  name.copy(buffer.data(), std::min(name.size(), buffer.size() - 1));
  const int answer = changeVolume_(buffer.data(), mode);
  buffer.back() = '\0';  // whatever the callback wrote, the name ends inside the buffer
  name = buffer.data();
  return answer != 0;
}

// DestName, taken as it is, or DestPath joined with the entry's name made safe.
std::wstring ArchiveSession::TargetPath(const char* destPath, const char* destName) const {
  if (destName) return ToWide(destName, CP_OEMCP);
  const std::wstring stored =
      entry_.WideName.empty() ? ToWide(entry_.Name, CP_OEMCP) : entry_.WideName;
  std::wstring path = destPath ? ToWide(destPath, CP_OEMCP) : std::wstring();
  if (!path.empty() && path.back() != L'\\' && path.back() != L'/') path += L'\\';
  return path + SafeEntryName(stored);
}
