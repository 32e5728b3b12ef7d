// Answers the message boxes of this process from a second thread and records
// what they showed, so that a test can run code that calls MessageBoxA.
#pragma once
#include <windows.h>

#include <atomic>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

struct SeenBox {
  std::string caption;
  std::string text;
  int buttons = 0;
};

class MeasureBoxWatcher {
 public:
  MeasureBoxWatcher() : thread_([this] { Watch(); }) {}
  ~MeasureBoxWatcher() {
    stop_ = true;
    thread_.join();
  }
  MeasureBoxWatcher(const MeasureBoxWatcher&) = delete;
  MeasureBoxWatcher& operator=(const MeasureBoxWatcher&) = delete;

  std::vector<SeenBox> Seen() {
    std::lock_guard<std::mutex> lock(mutex_);
    return seen_;
  }

 private:
  struct Search {
    DWORD processId;
    HWND found;
  };

  static std::string TextOf(HWND window) {
    char buffer[1024] = {};
    SendMessageA(window, WM_GETTEXT, sizeof buffer, reinterpret_cast<LPARAM>(buffer));
    return buffer;
  }

  static BOOL CALLBACK FindBox(HWND window, LPARAM param) {
    auto* search = reinterpret_cast<Search*>(param);
    DWORD processId = 0;
    GetWindowThreadProcessId(window, &processId);
    char className[16] = {};
    GetClassNameA(window, className, sizeof className);
    if (processId == search->processId && std::string(className) == "#32770" &&
        IsWindowVisible(window)) {
      search->found = window;
      return FALSE;
    }
    return TRUE;
  }

  static BOOL CALLBACK ReadChild(HWND child, LPARAM param) {
    auto* box = reinterpret_cast<SeenBox*>(param);
    char className[16] = {};
    GetClassNameA(child, className, sizeof className);
    const std::string kind(className);
    if (kind == "Button") ++box->buttons;
    if (kind == "Static" && GetDlgCtrlID(child) == 0xFFFF) box->text = TextOf(child);
    return TRUE;
  }

  void Watch() {
    while (!stop_) {
      Search search{GetCurrentProcessId(), nullptr};
      EnumWindows(&FindBox, reinterpret_cast<LPARAM>(&search));
      if (search.found != nullptr) {
        SeenBox box;
        box.caption = TextOf(search.found);
        EnumChildWindows(search.found, &ReadChild, reinterpret_cast<LPARAM>(&box));
        {
          std::lock_guard<std::mutex> lock(mutex_);
          seen_.push_back(box);
        }
        PostMessageA(search.found, WM_COMMAND, IDOK, 0);
        // Give the box time to go before looking again.
        for (int i = 0; i < 100 && IsWindow(search.found); ++i) Sleep(10);
      }
      Sleep(10);
    }
  }

  std::atomic<bool> stop_{false};
  std::mutex mutex_;
  std::vector<SeenBox> seen_;
  std::thread thread_;
};
