#include "launcher/heap_memory.h"

#include "launcher/exit_codes.h"

#include <cstring>

void FatalOutOfMemory() { ExitProcess(kLauncherNoMemory); }

HeapBlock::HeapBlock(std::size_t size) : data_(HeapAlloc(GetProcessHeap(), 0, size)), size_(size) {
  if (!data_) FatalOutOfMemory();
}

HeapBlock::~HeapBlock() {
  if (data_) HeapFree(GetProcessHeap(), 0, data_);
}

HeapBlock::HeapBlock(HeapBlock&& other) noexcept : data_(other.data_), size_(other.size_) {
  other.data_ = nullptr;
  other.size_ = 0;
}

HeapBlock& HeapBlock::operator=(HeapBlock&& other) noexcept {
  if (this != &other) {
    if (data_) HeapFree(GetProcessHeap(), 0, data_);
    data_ = other.data_;
    size_ = other.size_;
    other.data_ = nullptr;
    other.size_ = 0;
  }
  return *this;
}

WideText::~WideText() {
  if (data_) HeapFree(GetProcessHeap(), 0, data_);
}

WideText::WideText(WideText&& other) noexcept
    : data_(other.data_), length_(other.length_), capacity_(other.capacity_) {
  other.data_ = nullptr;
  other.length_ = other.capacity_ = 0;
}

WideText& WideText::operator=(WideText&& other) noexcept {
  if (this != &other) {
    if (data_) HeapFree(GetProcessHeap(), 0, data_);
    data_ = other.data_;
    length_ = other.length_;
    capacity_ = other.capacity_;
    other.data_ = nullptr;
    other.length_ = other.capacity_ = 0;
  }
  return *this;
}

void WideText::Reserve(std::size_t capacity) {
  if (capacity <= capacity_ && data_) return;
  std::size_t grown = capacity_ * 2 > capacity ? capacity_ * 2 : capacity;
  if (grown < 64) grown = 64;
  const std::size_t bytes = (grown + 1) * sizeof(wchar_t);
  void* moved = data_ ? HeapReAlloc(GetProcessHeap(), 0, data_, bytes)
                      : HeapAlloc(GetProcessHeap(), 0, bytes);
  if (!moved) FatalOutOfMemory();
  data_ = static_cast<wchar_t*>(moved);
  capacity_ = grown;
  data_[length_] = L'\0';
}

WideText& WideText::Append(const wchar_t* text, std::size_t length) {
  Reserve(length_ + length);
  std::memcpy(data_ + length_, text, length * sizeof(wchar_t));
  length_ += length;
  data_[length_] = L'\0';
  return *this;
}

WideText& WideText::Append(const wchar_t* text) { return Append(text, lstrlenW(text)); }

WideText& WideText::AppendCp949(const char* text) {
  const int needed = MultiByteToWideChar(949, 0, text, -1, nullptr, 0);
  if (needed <= 1) return *this;
  Reserve(length_ + needed);
  MultiByteToWideChar(949, 0, text, -1, data_ + length_, needed);
  length_ += needed - 1;
  return *this;
}

WideText& WideText::AppendNumber(unsigned long number) {
  wchar_t digits[12];
  std::size_t count = 0;
  do {
    digits[sizeof digits / sizeof *digits - 1 - count++] = static_cast<wchar_t>(L'0' + number % 10);
    number /= 10;
  } while (number > 0);
  return Append(digits + sizeof digits / sizeof *digits - count, count);
}

void WideText::Truncate(std::size_t length) {
  if (length >= length_) return;
  length_ = length;
  data_[length_] = L'\0';
}

wchar_t* WideText::Buffer(std::size_t capacity) {
  Reserve(capacity);
  return data_;
}

void WideText::SetLength(std::size_t length) {
  length_ = length <= capacity_ ? length : capacity_;
  data_[length_] = L'\0';
}
