// Start-up helpers: the single-instance rule, bringing a window forward and the
// choice of the language module.
#pragma once
#include <windows.h>

// Holds the single-instance mutex; releases it when the process is done with it.
class SingleInstance {
 public:
  explicit SingleInstance(HANDLE mutex) : mutex_(mutex) {}
  ~SingleInstance() {
    if (mutex_ != nullptr) ReleaseMutex(mutex_);
  }
  SingleInstance(const SingleInstance&) = delete;
  SingleInstance& operator=(const SingleInstance&) = delete;
  explicit operator bool() const { return mutex_ != nullptr; }

 private:
  HANDLE mutex_;
};

// Creates the named mutex owned by this instance. When another instance holds
// the name, brings that instance's dialog forward and returns null.
HANDLE ClaimSingleInstance(const char* name);
// Shows, restores or raises `window` and makes it the foreground window.
void BringToFront(HWND window);
// Loads the language module named by the settings key's Language value from
// the program's own folder.
void SelectResourceModule();
