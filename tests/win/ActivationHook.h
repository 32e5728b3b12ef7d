// Calls a handler for each window that this thread activates, from a CBT hook on
// the thread itself. At activation a dialog or message box is complete (its
// WM_INITDIALOG has run) and its own loop has not yet read a message, so what
// the handler posts is the first thing the window handles.
#pragma once
#include <windows.h>

#include <algorithm>
#include <functional>
#include <utility>
#include <vector>

class ActivationHook {
 public:
  explicit ActivationHook(std::function<void(HWND)> onActivate)
      : onActivate_(std::move(onActivate)) {
    // One hook for all live handlers, so that none is called twice.
    if (Live().empty()) hook_ = SetWindowsHookExA(WH_CBT, OnCbt, nullptr, GetCurrentThreadId());
    Live().push_back(this);
  }
  ~ActivationHook() {
    Live().erase(std::find(Live().begin(), Live().end(), this));
    if (Live().empty() && hook_ != nullptr) {
      UnhookWindowsHookEx(hook_);
      hook_ = nullptr;
    }
  }
  ActivationHook(const ActivationHook&) = delete;
  ActivationHook& operator=(const ActivationHook&) = delete;

  static bool Installed() { return hook_ != nullptr; }

 private:
  static std::vector<ActivationHook*>& Live() {
    static std::vector<ActivationHook*> live;
    return live;
  }
  static LRESULT CALLBACK OnCbt(int code, WPARAM wParam, LPARAM lParam) {
    if (code == HCBT_ACTIVATE) {
      const std::vector<ActivationHook*> handlers = Live();
      for (ActivationHook* handler : handlers) handler->onActivate_(reinterpret_cast<HWND>(wParam));
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
  }

  std::function<void(HWND)> onActivate_;
  inline static HHOOK hook_ = nullptr;
};
