#include "kitpack/file_streams.h"

#include "kitpack/console_interruption.h"

namespace {

bool MoveTo(HANDLE file, std::uint64_t offset, DWORD from) {
  LARGE_INTEGER to;
  to.QuadPart = static_cast<LONGLONG>(offset);
  return SetFilePointerEx(file, to, nullptr, from) != FALSE;
}

}  // namespace

bool FileOutput::Write(const char* data, std::size_t size) {
  DWORD written = 0;
  return WriteFile(file_, data, static_cast<DWORD>(size), &written, nullptr) && written == size;
}

bool FileOutput::Overwrite(std::uint64_t offset, const char* data, std::size_t size) {
  return MoveTo(file_, offset, FILE_BEGIN) && Write(data, size) && MoveTo(file_, 0, FILE_END);
}

bool FileSource::Read(char* buffer, std::size_t size, std::size_t& got) {
  if (Interrupted()) return false;
  DWORD read = 0;
  const bool ok = ReadFile(file_, buffer, static_cast<DWORD>(size), &read, nullptr) != FALSE;
  got = read;
  return ok;
}
