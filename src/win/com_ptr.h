// Owner of one COM interface pointer: releases it exactly once.
#pragma once

#include <objbase.h>

#include <utility>

template <typename Interface>
class ComPtr {
 public:
  ComPtr() = default;
  ~ComPtr() { Reset(); }

  ComPtr(const ComPtr&) = delete;
  ComPtr& operator=(const ComPtr&) = delete;
  ComPtr(ComPtr&& other) noexcept : pointer_(std::exchange(other.pointer_, nullptr)) {}
  ComPtr& operator=(ComPtr&& other) noexcept {
    if (this != &other) {
      Reset();
      pointer_ = std::exchange(other.pointer_, nullptr);
    }
    return *this;
  }

  Interface* Get() const { return pointer_; }
  Interface* operator->() const { return pointer_; }
  explicit operator bool() const { return pointer_ != nullptr; }

  void Reset() {
    if (pointer_) std::exchange(pointer_, nullptr)->Release();
  }

  // For the out parameter of a creating call: releases what is held first.
  void** ReceiveVoid() {
    Reset();
    return reinterpret_cast<void**>(&pointer_);
  }

  // Asks the held object for another of its interfaces.
  template <typename Other>
  HRESULT QueryInterface(REFIID iid, ComPtr<Other>& other) const {
    if (!pointer_) return E_POINTER;
    return pointer_->QueryInterface(iid, other.ReceiveVoid());
  }

 private:
  Interface* pointer_ = nullptr;
};

// COM for the calling thread (a single-threaded apartment) while the object lives.
class ComApartment {
 public:
  ComApartment() : initialised_(SUCCEEDED(CoInitialize(nullptr))) {}
  ~ComApartment() {
    if (initialised_) CoUninitialize();
  }
  ComApartment(const ComApartment&) = delete;
  ComApartment& operator=(const ComApartment&) = delete;
  bool Initialised() const { return initialised_; }

 private:
  bool initialised_;
};
