// Closes the message boxes that the code under test shows, and records them.
#pragma once
#include <windows.h>

#include <atomic>
#include <string>
#include <thread>
#include <vector>

class MessageBoxWatcher {
 public:
  struct Seen {
    std::string caption;
    std::string text;
    bool hasOk = false, hasYes = false, hasNo = false;
  };

  // Presses `button` in every box of this process as it appears.
  explicit MessageBoxWatcher(int button = IDOK) : button_(button), thread_([this] { Run(); }) {}
  ~MessageBoxWatcher() {
    stop_ = true;
    thread_.join();
  }
  std::vector<Seen> Boxes() {
    std::vector<Seen> copy;
    Lock();
    copy = seen_;
    Unlock();
    return copy;
  }

 private:
  static BOOL CALLBACK Collect(HWND window, LPARAM param) {
    auto* self = reinterpret_cast<MessageBoxWatcher*>(param);
    DWORD process = 0;
    GetWindowThreadProcessId(window, &process);
    char name[16] = {};
    GetClassNameA(window, name, sizeof name);
    if (process == GetCurrentProcessId() && strcmp(name, "#32770") == 0 &&
        IsWindowVisible(window)) {
      HWND text = GetDlgItem(window, 0xFFFF);
      if (text == nullptr) text = GetDlgItem(window, 100);
      if (text != nullptr) self->found_ = window;
    }
    return TRUE;
  }
  static std::string Text(HWND window) {
    char buffer[2048] = {};
    SendMessageA(window, WM_GETTEXT, sizeof buffer, reinterpret_cast<LPARAM>(buffer));
    return buffer;
  }
  void Run() {
    while (!stop_) {
      found_ = nullptr;
      EnumWindows(Collect, reinterpret_cast<LPARAM>(this));
      if (found_ != nullptr && found_ != last_) {
        Seen box;
        box.caption = Text(found_);
        HWND text = GetDlgItem(found_, 0xFFFF);
        box.text = Text(text != nullptr ? text : GetDlgItem(found_, 100));
        box.hasOk = GetDlgItem(found_, IDOK) != nullptr;
        box.hasYes = GetDlgItem(found_, IDYES) != nullptr;
        box.hasNo = GetDlgItem(found_, IDNO) != nullptr;
        Lock();
        seen_.push_back(box);
        Unlock();
        last_ = found_;
        // The chosen button where the box has it, else OK.
        HWND button = GetDlgItem(found_, button_);
        if (button == nullptr) button = GetDlgItem(found_, IDOK);
        PostMessageA(button, BM_CLICK, 0, 0);
      }
      Sleep(10);
    }
  }
  void Lock() {
    while (busy_.exchange(true)) Sleep(0);
  }
  void Unlock() { busy_ = false; }

  int button_;
  std::atomic<bool> stop_{false};
  std::atomic<bool> busy_{false};
  HWND found_ = nullptr;
  HWND last_ = nullptr;
  std::vector<Seen> seen_;
  std::thread thread_;
};
