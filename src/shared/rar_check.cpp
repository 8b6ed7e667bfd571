#include "shared/rar_check.h"

#include "shared/unrar.h"

bool ArchiveIsIntact(const std::string& archivePath) {
  std::string name = archivePath;  // the library takes a writable pointer
  RAROpenArchiveData data{};
  data.ArcName = name.data();
  data.OpenMode = rar_const::kOpenExtract;  // the library tests entries only in this mode
  RarArchiveHandle archive(RAROpenArchive(&data));
  if (!archive || data.OpenResult != rar_code::kSuccess) return false;
  RARHeaderData header{};
  int code;
  while ((code = RARReadHeader(archive.Get(), &header)) == rar_code::kSuccess) {
    if (RARProcessFile(archive.Get(), rar_const::kTest, nullptr, nullptr) != rar_code::kSuccess) {
      return false;
    }
  }
  return code == rar_code::kEndArchive;  // anything else: entries were lost
}
