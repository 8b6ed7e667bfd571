#include "kitpack/pack_folder.h"

#include "kitpack/file_streams.h"
#include "kitpack/folder_listing.h"
#include "kitpack/messages.h"
#include "kitpack/pack_error.h"
#include "kitpack/temporary_file.h"
#include "rar_writer/rar_writer.h"
#include "shared/handles.h"

#include <windows.h>

namespace {

WideString FullPath(const WideString& path) {
  wchar_t full[MAX_PATH];
  const DWORD length = GetFullPathNameW(path.c_str(), MAX_PATH, full, nullptr);
  return length == 0 || length >= MAX_PATH ? path : WideString(full, length);
}

RarWriterEntry EntryOf(const PackItem& item) {
  RarWriterEntry entry;
  entry.name = item.name;
  entry.directory = item.directory;
  entry.dosTime = item.dosTime;
  entry.attributes = item.attributes;
  return entry;
}

// Adds one file, its data read from where it lies now; returns its size.
std::uint64_t AddFile(RarStreamWriter& writer, const PackItem& item, const WideString& archive) {
  FileHandle file(CreateFileW(item.path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                              OPEN_EXISTING, FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
  LARGE_INTEGER size;
  if (!file || !GetFileSizeEx(file.Get(), &size)) throw PackError(UnreadableFileText(item.path));
  FileSource source(file.Get());
  switch (writer.AddStreamed(EntryOf(item), static_cast<std::uint64_t>(size.QuadPart), source)) {
    case RarStreamResult::kDone:
      return static_cast<std::uint64_t>(size.QuadPart);
    case RarStreamResult::kReadFailed:
      throw PackError(UnreadableFileText(item.path));
    case RarStreamResult::kSizeChanged:
      throw PackError(ChangedFileText(item.path));
    case RarStreamResult::kWriteFailed:
      break;
  }
  throw PackError(UnwritableArchiveText(archive));
}

}  // namespace

PackReport PackFolder(const WideString& archive, const WideString& folder) {
  const std::vector<PackItem> items = ListFolder(folder);
  const WideString archivePath = FullPath(archive);
  TemporaryFile temporary(archive);
  FileOutput output(temporary.Handle());
  RarStreamWriter writer(output);
  if (!writer.Start()) throw PackError(UnwritableArchiveText(archive));
  PackReport report;
  for (const PackItem& item : items) {
    if (item.directory) {
      if (!writer.Add(EntryOf(item))) throw PackError(UnwritableArchiveText(archive));
      ++report.directories;
    } else if (lstrcmpiW(FullPath(item.path).c_str(), archivePath.c_str()) != 0) {
      report.bytes += AddFile(writer, item, archive);
      ++report.files;
    }
  }
  if (!writer.Finish()) throw PackError(UnwritableArchiveText(archive));
  temporary.Commit();
  return report;
}
