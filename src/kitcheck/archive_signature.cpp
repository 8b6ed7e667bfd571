#include "kitcheck/archive_signature.h"

#include "win/handles.h"

#include <windows.h>

namespace {

struct Signature {
  ArchiveFormat Format;
  const char* Bytes;
  std::size_t Length;
};

constexpr Signature kSignatures[] = {
    {ArchiveFormat::Rar4, "Rar!\x1A\x07\x00", 7},
    {ArchiveFormat::Rar5, "Rar!\x1A\x07\x01\x00", 8},
    {ArchiveFormat::Zip, "PK\x03\x04", 4},
    {ArchiveFormat::Zip, "PK\x05\x06", 4},  // an empty archive
    {ArchiveFormat::Zip, "PK\x07\x08", 4},  // the first part of a split one
    {ArchiveFormat::SevenZip, "7z\xBC\xAF\x27\x1C", 6},
    {ArchiveFormat::Cab, "MSCF\0\0\0\0", 8},
    {ArchiveFormat::Gzip, "\x1F\x8B", 2},
};

}  // namespace

ArchiveFormat FormatOfSignature(const std::string& leadingBytes) {
  for (const Signature& signature : kSignatures) {
    if (leadingBytes.compare(0, signature.Length, signature.Bytes, signature.Length) == 0) {
      return signature.Format;
    }
  }
  return ArchiveFormat::Unknown;
}

const char* FormatName(ArchiveFormat format) {
  switch (format) {
    case ArchiveFormat::Rar4:
      return "RAR 4";
    case ArchiveFormat::Rar5:
      return "RAR 5";
    case ArchiveFormat::Zip:
      return "ZIP";
    case ArchiveFormat::SevenZip:
      return "7z";
    case ArchiveFormat::Cab:
      return "CAB";
    case ArchiveFormat::Gzip:
      return "gzip";
    case ArchiveFormat::Unknown:
      break;
  }
  return "";
}

std::string LeadingBytes(const std::string& path) {
  FileHandle file(CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                              nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
  char bytes[kSignatureLength] = {};
  DWORD got = 0;
  if (!file || !ReadFile(file.Get(), bytes, sizeof bytes, &got, nullptr)) return std::string();
  return std::string(bytes, got);
}
