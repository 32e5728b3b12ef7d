// Answers the message boxes of this process from a second thread and records
// what they showed, so that a test can run code that calls MessageBoxA.
#pragma once
#include <windows.h>

#include <atomic>
#include <cstring>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

class MessageBoxWatcher {
 public:
  struct Seen {
    std::string caption;
    std::string text;
    int buttons = 0;
    bool hasOk = false, hasYes = false, hasNo = false;
  };

  // Presses `button` in every box as it appears, or OK where the box lacks it.
  explicit MessageBoxWatcher(int button = IDOK) : button_(button), thread_([this] { Run(); }) {}
  ~MessageBoxWatcher() {
    stop_ = true;
    thread_.join();
  }
  MessageBoxWatcher(const MessageBoxWatcher&) = delete;
  MessageBoxWatcher& operator=(const MessageBoxWatcher&) = delete;

  std::vector<Seen> Boxes() {
    std::lock_guard<std::mutex> lock(mutex_);
    return seen_;
  }

 private:
  static HWND TextControl(HWND box) {
    HWND text = GetDlgItem(box, 0xFFFF);
    return text != nullptr ? text : GetDlgItem(box, 100);
  }
  static BOOL CALLBACK FindBox(HWND window, LPARAM param) {
    DWORD process = 0;
    GetWindowThreadProcessId(window, &process);
    char name[16] = {};
    GetClassNameA(window, name, sizeof name);
    if (process == GetCurrentProcessId() && std::strcmp(name, "#32770") == 0 &&
        IsWindowVisible(window) && TextControl(window) != nullptr) {
      *reinterpret_cast<HWND*>(param) = window;
      return FALSE;
    }
    return TRUE;
  }
  static BOOL CALLBACK CountButton(HWND child, LPARAM param) {
    char name[16] = {};
    GetClassNameA(child, name, sizeof name);
    if (lstrcmpiA(name, "Button") == 0) ++*reinterpret_cast<int*>(param);
    return TRUE;
  }
  static std::string Text(HWND window) {
    char buffer[2048] = {};
    SendMessageA(window, WM_GETTEXT, sizeof buffer, reinterpret_cast<LPARAM>(buffer));
    return buffer;
  }
  static Seen Read(HWND box) {
    Seen seen;
    seen.caption = Text(box);
    seen.text = Text(TextControl(box));
    EnumChildWindows(box, CountButton, reinterpret_cast<LPARAM>(&seen.buttons));
    seen.hasOk = GetDlgItem(box, IDOK) != nullptr;
    seen.hasYes = GetDlgItem(box, IDYES) != nullptr;
    seen.hasNo = GetDlgItem(box, IDNO) != nullptr;
    return seen;
  }
  void Run() {
    while (!stop_) {
      HWND box = nullptr;
      EnumWindows(FindBox, reinterpret_cast<LPARAM>(&box));
      if (box != nullptr) {
        const Seen seen = Read(box);
        {
          std::lock_guard<std::mutex> lock(mutex_);
          seen_.push_back(seen);
        }
        HWND button = GetDlgItem(box, button_);
        if (button == nullptr) button = GetDlgItem(box, IDOK);
        PostMessageA(button, BM_CLICK, 0, 0);
        // Let the box go before looking again, so that it is not counted twice.
        for (int i = 0; i < 200 && IsWindow(box) && !stop_; ++i) Sleep(10);
      }
      Sleep(10);
    }
  }

  int button_;
  std::atomic<bool> stop_{false};
  std::mutex mutex_;
  std::vector<Seen> seen_;
  std::thread thread_;
};
