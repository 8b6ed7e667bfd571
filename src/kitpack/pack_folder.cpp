#include "kitpack/pack_folder.h"

#include "kitpack/console_interruption.h"
#include "kitpack/file_identity.h"
#include "kitpack/file_streams.h"
#include "kitpack/folder_listing.h"
#include "kitpack/messages.h"
#include "kitpack/pack_error.h"
#include "kitpack/temporary_file.h"
#include "rar_writer/rar_writer.h"
#include "win/handles.h"

#include <windows.h>

#include <optional>

namespace {

RarWriterEntry EntryOf(const PackItem& item) {
  RarWriterEntry entry;
  entry.Name = item.Name;
  entry.Directory = item.Directory;
  entry.DosTime = item.DosTime;
  entry.Attributes = item.Attributes;
  return entry;
}

// Adds one file, its data read from where it lies now, and returns its size; nothing
// when it is the older archive (found in the folder under whatever path).
std::optional<std::uint64_t> AddFile(RarStreamWriter& writer, const PackItem& item,
                                     const WideString& archive,
                                     const std::optional<FileIdentity>& olderArchive) {
  FileHandle file(CreateFileW(item.Path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                              OPEN_EXISTING,
                              FILE_FLAG_SEQUENTIAL_SCAN | FILE_FLAG_OPEN_REPARSE_POINT, nullptr));
  BY_HANDLE_FILE_INFORMATION information;
  if (!file || !GetFileInformationByHandle(file.Get(), &information)) {
    throw PackError(UnreadableFileText(item.Path));
  }
  // Made a link since it was listed.
  if (information.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) {
    throw PackError(ReparsePointText(item.Path));
  }
  if (olderArchive && IdentityOf(information) == *olderArchive) return std::nullopt;
  const std::uint64_t size =
      static_cast<std::uint64_t>(information.nFileSizeHigh) << 32 | information.nFileSizeLow;
  FileSource source(file.Get());
  switch (writer.AddStreamed(EntryOf(item), size, source)) {
    case RarStreamResult::kDone:
      return size;
    case RarStreamResult::kReadFailed:
      StopIfInterrupted();
      throw PackError(UnreadableFileText(item.Path));
    case RarStreamResult::kSizeChanged:
      throw PackError(ChangedFileText(item.Path));
    case RarStreamResult::kWriteFailed:
      break;
  }
  throw PackError(UnwritableArchiveText(archive));
}

}  // namespace

PackReport PackFolder(const WideString& archive, const WideString& folder) {
  const std::vector<PackItem> items = ListFolder(folder);
  const std::optional<FileIdentity> olderArchive = IdentityOfPath(archive);
  TemporaryFile temporary(archive);
  FileOutput output(temporary.Handle());
  RarStreamWriter writer(output);
  if (!writer.Start()) throw PackError(UnwritableArchiveText(archive));
  PackReport report;
  for (const PackItem& item : items) {
    StopIfInterrupted();
    if (item.Directory) {
      if (!writer.Add(EntryOf(item))) throw PackError(UnwritableArchiveText(archive));
      ++report.Directories;
    } else if (const std::optional<std::uint64_t> size =
                   AddFile(writer, item, archive, olderArchive)) {
      report.Bytes += *size;
      ++report.Files;
    }
  }
  if (!writer.Finish()) throw PackError(UnwritableArchiveText(archive));
  StopIfInterrupted();
  temporary.Commit();
  return report;
}
