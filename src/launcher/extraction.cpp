#include "launcher/extraction.h"

#include "onefile/crc32.h"

#include <utility>

namespace {

constexpr std::size_t kPiece = 1 << 20;

bool WriteData(PayloadFile& payload, HANDLE file, std::uint64_t size, ProgressWindow& progress) {
  while (size > 0) {
    const unsigned char* data = nullptr;
    std::size_t got = 0;
    const std::size_t want = size < kPiece ? static_cast<std::size_t>(size) : kPiece;
    if (!payload.NextData(want, data, got)) return false;
    DWORD written = 0;
    if (!WriteFile(file, data, static_cast<DWORD>(got), &written, nullptr) || written != got) {
      return false;
    }
    size -= got;
    progress.Advance(got);
  }
  return true;
}

// Reads the whole file through the handle: exactly size bytes with the checksum. Each
// read asks for a byte more than is left, so the one that meets the end shows it
// without another call.
bool ReadsBackAs(HANDLE file, std::uint64_t size, std::uint32_t crc, HeapBlock& buffer,
                 ProgressWindow& progress) {
  std::uint32_t found = 0;
  std::uint64_t left = size;
  while (true) {
    const DWORD want =
        left < buffer.Size() ? static_cast<DWORD>(left) + 1 : static_cast<DWORD>(buffer.Size());
    DWORD got = 0;
    if (!ReadFile(file, buffer.Get(), want, &got, nullptr) || got > left) return false;
    found = Crc32(found, buffer.Get(), got);
    left -= got;
    progress.Advance(got);
    if (got < want) break;  // the end
  }
  return left == 0 && found == crc;
}

}  // namespace

bool ExtractPayload(PayloadFile& payload, TemporaryFolder& folder, ProgressWindow& progress) {
  if (!payload.StartData()) return false;
  folder.ReserveFiles(payload.Count());
  HeapBlock buffer(kPiece + 1);
  WideText path;
  for (std::uint32_t i = 0; i < payload.Count(); ++i) {
    path.Truncate(0);
    path.Append(folder.Path().Text()).Append(payload.Name(i));
    {
      // New, in a folder no one else may write to: nothing was there before.
      const FileHandle file(CreateFileW(path.Text(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                        FILE_ATTRIBUTE_NORMAL, nullptr));
      if (!file || !WriteData(payload, file.Get(), payload.Size(i), progress)) return false;
    }
    FileHandle proved(CreateFileW(path.Text(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                  OPEN_EXISTING, FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
    if (!proved || !ReadsBackAs(proved.Get(), payload.Size(i), payload.Crc(i), buffer, progress)) {
      return false;
    }
    folder.Keep(std::move(proved));
  }
  return true;
}
