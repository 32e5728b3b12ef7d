// A second thread for a test, made by the platform itself (no std::thread, so
// the tests build with either thread model), joined when the object goes.
#pragma once
#include <windows.h>

#include <functional>
#include <memory>
#include <utility>

class TestThread {
 public:
  explicit TestThread(std::function<void()> body)
      : body_(std::make_unique<std::function<void()>>(std::move(body))),
        handle_(CreateThread(nullptr, 0, Run, body_.get(), 0, nullptr)) {}
  ~TestThread() { Join(); }
  TestThread(const TestThread&) = delete;
  TestThread& operator=(const TestThread&) = delete;
  TestThread(TestThread&& other) noexcept
      : body_(std::move(other.body_)), handle_(std::exchange(other.handle_, nullptr)) {}

  bool Started() const { return handle_ != nullptr; }
  void Join() {
    if (handle_ == nullptr) return;
    WaitForSingleObject(handle_, INFINITE);
    CloseHandle(handle_);
    handle_ = nullptr;
  }

 private:
  static DWORD WINAPI Run(LPVOID body) {
    (*static_cast<std::function<void()>*>(body))();
    return 0;
  }
  std::unique_ptr<std::function<void()>> body_;
  HANDLE handle_;
};
