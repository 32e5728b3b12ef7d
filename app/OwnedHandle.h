// Sole owner of a platform handle: releases it when the owner goes.
#pragma once
#include <windows.h>

#include <utility>

template <typename Handle, auto Release>
class Owned {
 public:
  Owned() = default;
  explicit Owned(Handle handle) : handle_(handle) {}
  ~Owned() { Reset(); }
  Owned(Owned&& other) noexcept : handle_(std::exchange(other.handle_, nullptr)) {}
  Owned& operator=(Owned&& other) noexcept {
    if (this != &other) Reset(std::exchange(other.handle_, nullptr));
    return *this;
  }
  Owned(const Owned&) = delete;
  Owned& operator=(const Owned&) = delete;

  Handle Get() const { return handle_; }
  explicit operator bool() const { return handle_ != nullptr; }
  void Reset(Handle handle = nullptr) {
    if (handle_ != nullptr) Release(handle_);
    handle_ = handle;
  }

 private:
  Handle handle_ = nullptr;
};

using OwnedIcon = Owned<HICON, &DestroyIcon>;
// A kernel object; null, never INVALID_HANDLE_VALUE, stands for none.
using OwnedHandle = Owned<HANDLE, &CloseHandle>;
// A FindFirstFileA search; null stands for none here too.
using OwnedSearch = Owned<HANDLE, &FindClose>;
