#include "unrar_standin/archive_session.h"

#include "unrar_standin/code_pages.h"
#include "unrar_standin/entry_extractor.h"
#include "unrar_standin/name_rules.h"

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

}  // namespace

int ArchiveSession::Open(const RAROpenArchiveData& data) {
  if (!data.ArcName) return rar_code::kOpenError;
  archiveName_ = data.ArcName;
  openMode_ = data.OpenMode;
  return reader_.Open(ToWide(archiveName_, CP_ACP));
}

int ArchiveSession::ReadHeader(RARHeaderData& header) {
  haveEntry_ = false;
  const int code = reader_.Next(entry_);
  if (code != rar_code::kSuccess) return code;
  haveEntry_ = true;
  CopyField(header.ArcName, archiveName_);
  CopyField(header.FileName, entry_.name);
  header.Flags = entry_.flags;
  header.PackSize = Low32(entry_.packSize);
  header.UnpSize = Low32(entry_.unpSize);
  header.HostOS = entry_.hostOs;
  header.FileCRC = entry_.crc;
  header.FileTime = entry_.dosTime;
  header.UnpVer = entry_.unpVer;
  header.Method = entry_.method;
  header.FileAttr = entry_.attr;
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
  if (buffer_.empty()) buffer_.resize(64 * 1024);
  ExtractionContext context{reader_, processData_, buffer_};
  if (operation == rar_const::kTest) return TestEntry(context, entry_);
  if (operation != rar_const::kExtract) return rar_code::kUnknown;
  return ExtractEntry(context, entry_, TargetPath(destPath, destName));
}

// DestName, taken as it is, or DestPath joined with the entry's name made safe.
std::wstring ArchiveSession::TargetPath(const char* destPath, const char* destName) const {
  if (destName) return ToWide(destName, CP_OEMCP);
  const std::wstring stored =
      entry_.wideName.empty() ? ToWide(entry_.name, CP_OEMCP) : entry_.wideName;
  std::wstring path = destPath ? ToWide(destPath, CP_OEMCP) : std::wstring();
  if (!path.empty() && path.back() != L'\\' && path.back() != L'/') path += L'\\';
  return path + SafeStoredName(stored);
}
