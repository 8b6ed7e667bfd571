// The launcher's own small helpers for memory and text, in place of the kit's shared
// ones (text.h, module_path.h, ...) that work on std::string: the C++ library's strings
// bring their code and the exception support (tens of KB), and the launcher has to stay
// within 48 KiB. Built without exceptions, so a failed allocation ends the program
// (kLauncherNoMemory).
#pragma once

#include <windows.h>

#include <cstddef>

// Ends the program with kLauncherNoMemory.
[[noreturn]] void FatalOutOfMemory();

// Bytes on the process heap, freed with the owner.
class HeapBlock {
 public:
  HeapBlock() = default;
  explicit HeapBlock(std::size_t size);
  ~HeapBlock();
  HeapBlock(const HeapBlock&) = delete;
  HeapBlock& operator=(const HeapBlock&) = delete;
  HeapBlock(HeapBlock&& other) noexcept;
  HeapBlock& operator=(HeapBlock&& other) noexcept;

  void* Get() const { return data_; }
  unsigned char* Bytes() const { return static_cast<unsigned char*>(data_); }
  std::size_t Size() const { return size_; }

 private:
  void* data_ = nullptr;
  std::size_t size_ = 0;
};

// A UTF-16 text that grows as it is appended to; always terminated.
class WideText {
 public:
  WideText() = default;
  explicit WideText(const wchar_t* text) { Append(text); }
  ~WideText();
  WideText(const WideText&) = delete;
  WideText& operator=(const WideText&) = delete;
  WideText(WideText&& other) noexcept;
  WideText& operator=(WideText&& other) noexcept;

  const wchar_t* Text() const { return data_ ? data_ : L""; }
  std::size_t Length() const { return length_; }
  bool Empty() const { return length_ == 0; }

  WideText& Append(const wchar_t* text, std::size_t length);
  WideText& Append(const wchar_t* text);
  WideText& Append(wchar_t c) { return Append(&c, 1); }
  // Converts code page 949 text.
  WideText& AppendCp949(const char* text);
  WideText& AppendNumber(unsigned long number);
  void Truncate(std::size_t length);
  // Room for capacity characters and the terminator, for an API that fills it;
  // SetLength(n) then keeps what it wrote.
  wchar_t* Buffer(std::size_t capacity);
  void SetLength(std::size_t length);

 private:
  void Reserve(std::size_t capacity);

  wchar_t* data_ = nullptr;
  std::size_t length_ = 0;
  std::size_t capacity_ = 0;  // characters, the terminator not counted
};
