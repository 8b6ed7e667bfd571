#include "kitpack/one_file.h"

#include "kitpack/console_interruption.h"
#include "kitpack/medium_check.h"
#include "kitpack/medium_files.h"
#include "kitpack/messages.h"
#include "kitpack/pack_error.h"
#include "kitpack/temporary_file.h"
#include "kitpack/version_resource.h"
#include "onefile/crc32.h"
#include "onefile/image_layout.h"
#include "onefile/payload_format.h"
#include "win/code_page_text.h"
#include "win/handles.h"

#include <windows.h>

#include <optional>

namespace {

constexpr DWORD kBlock = 1 << 20;
constexpr std::uint64_t kLargestLauncher = 1 << 20;  // far above its size: a guard only

FileHandle OpenForReading(const WideString& path) {
  return FileHandle(CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
}

// The whole of a small file; nothing when it cannot be read.
std::optional<std::string> ReadSmallFile(HANDLE file) {
  LARGE_INTEGER size = {};
  if (!GetFileSizeEx(file, &size) || size.QuadPart <= 0 ||
      static_cast<std::uint64_t>(size.QuadPart) > kLargestLauncher) {
    return std::nullopt;
  }
  std::string bytes(static_cast<std::size_t>(size.QuadPart), '\0');
  DWORD got = 0;
  if (SetFilePointer(file, 0, nullptr, FILE_BEGIN) != 0 ||
      !ReadFile(file, &bytes[0], static_cast<DWORD>(bytes.size()), &got, nullptr) ||
      got != bytes.size()) {
    return std::nullopt;
  }
  return bytes;
}

bool WriteAll(HANDLE file, const void* data, std::size_t size) {
  DWORD written = 0;
  return WriteFile(file, data, static_cast<DWORD>(size), &written, nullptr) && written == size;
}

bool WriteAt(HANDLE file, std::uint64_t offset, const void* data, std::size_t size) {
  LARGE_INTEGER at;
  at.QuadPart = static_cast<LONGLONG>(offset);
  return SetFilePointerEx(file, at, nullptr, FILE_BEGIN) && WriteAll(file, data, size);
}

// The CRC-32 of a medium file's data, read through in blocks; it must be as long as
// it was listed. Each block is handed to use as well.
template <typename Use>
std::uint32_t ReadThrough(const MediumFile& file, std::string& buffer, Use use) {
  const FileHandle handle = OpenForReading(file.Path);
  if (!handle) throw PackError(UnreadableFileText(file.Path));
  std::uint32_t crc = 0;
  std::uint64_t total = 0;
  while (true) {
    StopIfInterrupted();
    DWORD got = 0;
    if (!ReadFile(handle.Get(), &buffer[0], kBlock, &got, nullptr)) {
      throw PackError(UnreadableFileText(file.Path));
    }
    if (got == 0) break;
    total += got;
    if (total > file.Size) throw PackError(ChangedFileText(file.Path));
    crc = Crc32(crc, buffer.data(), got);
    use(buffer.data(), got);
  }
  if (total != file.Size) throw PackError(ChangedFileText(file.Path));
  return crc;
}

// The launcher trimmed to its sections, which is where its payload will start; the
// symbol table's fields are cleared, since the file's end no longer holds one.
std::string TrimmedProgram(std::string program, const WideString& out) {
  ImageLayout layout;
  if (!ReadImageLayout(reinterpret_cast<const unsigned char*>(program.data()), program.size(),
                       layout) ||
      layout.SectionsEnd > program.size()) {
    throw PackError(UnwritableArchiveText(out));
  }
  program.resize(layout.SectionsEnd);
  program.replace(layout.SymbolFieldsAt, 8, 8, '\0');
  return program;
}

void WriteVersionResource(const WideString& path, const std::string& resource,
                          const WideString& out) {
  constexpr WORD kVersionType = 16;  // RT_VERSION, whose macro is the ANSI form in this build
  const HANDLE update = BeginUpdateResourceW(path.c_str(), FALSE);
  if (!update) throw PackError(UnwritableArchiveText(out));
  const bool updated =
      UpdateResourceW(update, MAKEINTRESOURCEW(kVersionType), MAKEINTRESOURCEW(VS_VERSION_INFO),
                      MAKELANGID(LANG_KOREAN, SUBLANG_DEFAULT), const_cast<char*>(resource.data()),
                      static_cast<DWORD>(resource.size())) != FALSE;
  if (!EndUpdateResourceW(update, updated ? FALSE : TRUE) || !updated) {
    throw PackError(UnwritableArchiveText(out));
  }
}

// The launcher with the product's version, trimmed, as the start of the file.
void WriteLauncher(TemporaryFile& file, const WideString& launcherPath, const std::string& resource,
                   const WideString& out) {
  const FileHandle launcher = OpenForReading(launcherPath);
  const std::optional<std::string> bytes = launcher ? ReadSmallFile(launcher.Get()) : std::nullopt;
  if (!bytes) throw PackError(LauncherMissingText(launcherPath));
  const std::string program = TrimmedProgram(*bytes, out);
  if (!WriteAll(file.Handle(), program.data(), program.size())) {
    throw PackError(UnwritableArchiveText(out));
  }
  // Updating resources rewrites the file: it is done before the payload is there.
  file.Close();
  WriteVersionResource(file.Path(), resource, out);
  file.Reopen();
  const std::optional<std::string> updated = ReadSmallFile(file.Handle());
  if (!updated) throw PackError(UnwritableArchiveText(out));
  const std::string trimmed = TrimmedProgram(*updated, out);
  if (!WriteAt(file.Handle(), 0, trimmed.data(), trimmed.size()) || !SetEndOfFile(file.Handle())) {
    throw PackError(UnwritableArchiveText(out));
  }
}

// Header, index and data at the file's end, the checksum taken as they are written.
void WritePayload(HANDLE out, const std::vector<MediumFile>& files,
                  const std::vector<std::uint32_t>& crcs, std::string& buffer,
                  const WideString& outPath) {
  std::string index;
  std::uint64_t data = 0;
  for (std::size_t i = 0; i < files.size(); ++i) {
    std::string entry(PayloadEntrySize(files[i].Name.size()), '\0');
    const PayloadEntry fields{reinterpret_cast<const unsigned char*>(files[i].Name.data()),
                              files[i].Name.size(), files[i].Size, crcs[i]};
    EncodePayloadEntry(fields, reinterpret_cast<unsigned char*>(&entry[0]));
    index += entry;
    data += files[i].Size;
  }
  PayloadHeader header;
  header.FileCount = static_cast<std::uint32_t>(files.size());
  header.IndexLength = static_cast<std::uint32_t>(index.size());
  header.PayloadLength = kPayloadHeaderSize + index.size() + data;
  unsigned char head[kPayloadHeaderSize];
  EncodePayloadHeader(header, head);
  LARGE_INTEGER start = {};
  if (!SetFilePointerEx(out, start, &start, FILE_END))
    throw PackError(UnwritableArchiveText(outPath));
  std::uint32_t checksum = Crc32(HeaderChecksum(head), index.data(), index.size());
  bool written = WriteAll(out, head, sizeof head) && WriteAll(out, index.data(), index.size());
  for (std::size_t i = 0; i < files.size() && written; ++i) {
    const std::uint32_t crc = ReadThrough(files[i], buffer, [&](const char* bytes, DWORD size) {
      checksum = Crc32(checksum, bytes, size);
      written = written && WriteAll(out, bytes, size);
    });
    if (crc != crcs[i]) throw PackError(ChangedFileText(files[i].Path));
  }
  header.Checksum = checksum;
  EncodePayloadHeader(header, head);
  if (!written || !WriteAt(out, static_cast<std::uint64_t>(start.QuadPart), head, sizeof head)) {
    throw PackError(UnwritableArchiveText(outPath));
  }
}

// The folder as kitcheck's quoted argument: a "\" before the closing quote would
// escape it, so a trailing separator (a drive's root, "A:\") gets a "." after it.
WideString AsArgument(WideString dir) {
  if (!dir.empty() && (dir.back() == L'\\' || dir.back() == L'/')) dir += L'.';
  return dir;
}

WideString FileNameOf(const WideString& path) {
  const auto end = path.find_last_of(L"\\/:");
  return end == WideString::npos ? path : path.substr(end + 1);
}

// The product's version resource from the medium's SETUP.INI.
std::string ProductResource(const std::vector<MediumFile>& files, const WideString& out) {
  ProductVersionInfo product;
  for (const MediumFile& file : files) {
    std::string script;
    if (_stricmp(file.Name.c_str(), "SETUP.INI") == 0 && AnsiFromWide(file.Path, script)) {
      product = ReadProductVersionInfo(script);
    }
  }
  std::string name;
  if (!AnsiFromWide(FileNameOf(out), name)) name.clear();
  return VersionResource(product, name);
}

}  // namespace

OneFileReport MakeOneFile(const WideString& out, const std::vector<WideString>& mediumDirs,
                          const WideString& toolsDir) {
  OneFileReport report;
  const std::vector<MediumFile> files = ListMediumFiles(mediumDirs, out, report.LeftOut);
  if (mediumDirs.size() == 1) {
    CheckWithKitcheck(toolsDir + L"kitcheck.exe", AsArgument(mediumDirs[0]));
  } else {
    std::vector<WideString> paths;
    for (const MediumFile& file : files) paths.push_back(file.Path);
    const StagedMedium staged(out, paths);
    CheckWithKitcheck(toolsDir + L"kitcheck.exe", staged.Folder());
  }

  std::string buffer(kBlock, '\0');
  std::vector<std::uint32_t> crcs;
  for (const MediumFile& file : files) {
    crcs.push_back(ReadThrough(file, buffer, [](const char*, DWORD) {}));
    report.Files += 1;
    report.Bytes += file.Size;
  }
  TemporaryFile file(out);
  WriteLauncher(file, toolsDir + L"launcher.exe", ProductResource(files, out), out);
  WritePayload(file.Handle(), files, crcs, buffer, out);
  file.Commit();
  return report;
}
