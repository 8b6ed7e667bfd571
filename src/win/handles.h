// Owners for the platform's handles: each releases its handle exactly once.
#pragma once

#include <windows.h>

#include <utility>

template <typename Traits>
class ScopedHandle {
 public:
  using Handle = typename Traits::Handle;

  ScopedHandle() = default;
  explicit ScopedHandle(Handle handle) : handle_(handle) {}
  ~ScopedHandle() { Reset(); }

  ScopedHandle(const ScopedHandle&) = delete;
  ScopedHandle& operator=(const ScopedHandle&) = delete;
  ScopedHandle(ScopedHandle&& other) noexcept : handle_(other.Release()) {}
  ScopedHandle& operator=(ScopedHandle&& other) noexcept {
    if (this != &other) Reset(other.Release());
    return *this;
  }

  Handle Get() const { return handle_; }
  bool Valid() const { return handle_ != Traits::Invalid(); }
  explicit operator bool() const { return Valid(); }

  Handle Release() { return std::exchange(handle_, Traits::Invalid()); }
  void Reset(Handle handle = Traits::Invalid()) {
    if (Valid()) Traits::Close(handle_);
    handle_ = handle;
  }

 private:
  Handle handle_ = Traits::Invalid();
};

struct KernelHandleTraits {  // files and processes: INVALID_HANDLE_VALUE marks none
  using Handle = HANDLE;
  static Handle Invalid() { return INVALID_HANDLE_VALUE; }
  static void Close(Handle h) { CloseHandle(h); }
};

struct ObjectHandleTraits {  // processes, threads, events: null marks none
  using Handle = HANDLE;
  static Handle Invalid() { return nullptr; }
  static void Close(Handle h) { CloseHandle(h); }
};

struct FindHandleTraits {
  using Handle = HANDLE;
  static Handle Invalid() { return INVALID_HANDLE_VALUE; }
  static void Close(Handle h) { FindClose(h); }
};

// Registry keys that we opened. The predefined root keys (HKEY_LOCAL_MACHINE, ...)
// are never put into one: they are not ours to close.
struct RegistryKeyTraits {
  using Handle = HKEY;
  static Handle Invalid() { return nullptr; }
  static void Close(Handle h) { RegCloseKey(h); }
};

template <typename T>
struct GdiObjectTraits {  // fonts, brushes, bitmaps: null marks none
  using Handle = T;
  static Handle Invalid() { return nullptr; }
  static void Close(Handle h) { DeleteObject(h); }
};

struct LibraryTraits {  // libraries loaded with LoadLibrary
  using Handle = HMODULE;
  static Handle Invalid() { return nullptr; }
  static void Close(Handle h) { FreeLibrary(h); }
};

struct WindowTraits {  // windows that we made and destroy ourselves
  using Handle = HWND;
  static Handle Invalid() { return nullptr; }
  static void Close(Handle h) { DestroyWindow(h); }
};

struct MemoryDCTraits {  // device contexts made with CreateCompatibleDC
  using Handle = HDC;
  static Handle Invalid() { return nullptr; }
  static void Close(Handle h) { DeleteDC(h); }
};

struct LocalMemoryTraits {  // what the security functions allocate with LocalAlloc
  using Handle = HLOCAL;
  static Handle Invalid() { return nullptr; }
  static void Close(Handle h) { LocalFree(h); }
};

using FileHandle = ScopedHandle<KernelHandleTraits>;
using ObjectHandle = ScopedHandle<ObjectHandleTraits>;
using FindHandle = ScopedHandle<FindHandleTraits>;
using RegistryKey = ScopedHandle<RegistryKeyTraits>;
using FontHandle = ScopedHandle<GdiObjectTraits<HFONT>>;
using BrushHandle = ScopedHandle<GdiObjectTraits<HBRUSH>>;
using BitmapHandle = ScopedHandle<GdiObjectTraits<HBITMAP>>;
using MemoryDCHandle = ScopedHandle<MemoryDCTraits>;
using WindowHandle = ScopedHandle<WindowTraits>;
using LibraryHandle = ScopedHandle<LibraryTraits>;
using LocalMemory = ScopedHandle<LocalMemoryTraits>;
