// The payload of a one-file medium (onefile/payload_format.h) in a file: read and
// checked whole before anything is written, then streamed file by file.
#pragma once

#include "launcher/heap_memory.h"
#include "launcher/progress_window.h"
#include "onefile/payload_format.h"
#include "win/handles.h"

#include <cstdint>

class PayloadFile {
 public:
  // Opens the file and reads the header and index of the payload at offset. False
  // when there is none there or it does not fit the file.
  bool Open(const wchar_t* path, std::uint64_t offset);

  // False unless every name is a plain file name, no two are the same in any letter
  // case, one is setup.exe, the sizes add up to the data, and the checksum matches
  // the payload as read now. Reports each block read.
  bool Check(ProgressWindow& progress);

  std::uint64_t Length() const { return header_.PayloadLength; }
  std::uint64_t DataLength() const { return Length() - dataStart_; }
  std::uint32_t Count() const { return header_.FileCount; }
  const wchar_t* Name(std::uint32_t i) const;
  std::uint64_t Size(std::uint32_t i) const { return Entries()[i].Size; }
  std::uint32_t Crc(std::uint32_t i) const { return Entries()[i].Crc; }

  // Goes to the first file's data.
  bool StartData();
  // The next piece of data, at most want bytes, in the reader's block. False on a
  // read error or at the payload's end.
  bool NextData(std::size_t want, const unsigned char*& data, std::size_t& got);

 private:
  struct Entry {
    std::size_t NameAt;  // in names_
    std::size_t NameLength;
    std::uint64_t Size;
    std::uint32_t Crc;
  };
  const Entry* Entries() const { return static_cast<const Entry*>(entries_.Get()); }
  bool ReadIndex();
  bool NamesAreUnique() const;

  FileHandle file_;
  std::uint64_t offset_ = 0;     // the payload's start in the file
  std::uint64_t dataStart_ = 0;  // the data's start in the payload
  std::uint64_t position_ = 0;   // the next byte to read, in the payload
  unsigned char headerBytes_[kPayloadHeaderSize] = {};
  PayloadHeader header_;
  HeapBlock index_;
  HeapBlock entries_;
  WideText names_;  // each name followed by its terminator
  HeapBlock block_;
  std::size_t blockAt_ = 0, blockEnd_ = 0;
};
