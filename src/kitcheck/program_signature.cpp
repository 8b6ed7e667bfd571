#include "kitcheck/program_signature.h"

#include "onefile/image_layout.h"
#include "win/handles.h"

#include <windows.h>

namespace {

constexpr DWORD kHeaderBytes = 4096;  // a program's headers lie in its first page

}  // namespace

Signing ProgramSigning(const std::string& path) {
  const FileHandle file(CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                    OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file) return Signing::Absent;
  unsigned char headers[kHeaderBytes] = {};
  DWORD got = 0;
  ImageLayout layout;
  if (!ReadFile(file.Get(), headers, sizeof headers, &got, nullptr) ||
      !ReadImageLayout(headers, got, layout)) {
    return Signing::Absent;
  }
  LARGE_INTEGER size = {};
  GetFileSizeEx(file.Get(), &size);
  // A directory entry that points past the file's end holds no signature.
  const bool table =
      layout.CertificatesSize > 0 &&
      static_cast<LONGLONG>(layout.CertificatesOffset) + layout.CertificatesSize <= size.QuadPart;
  return table ? Signing::Signed : Signing::Unsigned;
}
