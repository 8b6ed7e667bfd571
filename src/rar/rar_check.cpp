#include "rar/rar_check.h"

#include "rar/entry_name.h"
#include "rar/unrar.h"

bool ArchiveInspection::Intact() const {
  if (OpenCode != rar_code::kSuccess || EndCode != rar_code::kEndArchive) return false;
  for (const InspectedEntry& entry : Entries) {
    if (entry.TestCode != rar_code::kSuccess) return false;
  }
  return true;
}

ArchiveInspection InspectArchive(const std::string& archivePath) {
  ArchiveInspection inspection;
  std::string name = archivePath;  // the library takes a writable pointer
  RAROpenArchiveData data{};
  data.ArcName = name.data();
  data.OpenMode = rar_const::kOpenExtract;  // the library tests entries only in this mode
  RarArchiveHandle archive(RAROpenArchive(&data));
  inspection.OpenCode = static_cast<int>(data.OpenResult);
  if (!archive && inspection.OpenCode == rar_code::kSuccess)
    inspection.OpenCode = rar_code::kUnknown;
  if (inspection.OpenCode != rar_code::kSuccess) return inspection;
  RARHeaderData header{};
  int code;
  while ((code = RARReadHeader(archive.Get(), &header)) == rar_code::kSuccess) {
    InspectedEntry entry;
    entry.Name = StoredName(header);
    entry.Flags = header.Flags;
    entry.UnpackedSize = header.UnpSize;
    entry.TestCode = RARProcessFile(archive.Get(), rar_const::kTest, nullptr, nullptr);
    inspection.Entries.push_back(entry);
  }
  inspection.EndCode = code;
  return inspection;
}

bool ArchiveIsIntact(const std::string& archivePath) {
  return InspectArchive(archivePath).Intact();
}
