// A small dialog framework: a C++ object is bound to its dialog window from the
// first message the dialog procedure sees, and every message goes to the
// object's routing operation.
#pragma once
#include <windows.h>

// The framework's module state (window-creation bookkeeping and its lock).
// Exactly one lives for as long as dialogs may be created.
class FrameworkModule {
 public:
  explicit FrameworkModule(HINSTANCE instance);
  ~FrameworkModule();
  FrameworkModule(const FrameworkModule&) = delete;
  FrameworkModule& operator=(const FrameworkModule&) = delete;
};

class DialogWindow {
 public:
  DialogWindow() = default;
  DialogWindow(const DialogWindow&) = delete;
  DialogWindow& operator=(const DialogWindow&) = delete;

  // Offers a message to the object. Returns true when a handler took it; then
  // `result` is the handler's result.
  virtual bool RouteMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) = 0;
  virtual ~DialogWindow();
  virtual DLGPROC GetDialogProc() const;
  // Called after the window's last message; the object may outlive its window.
  virtual void OnFinalMessage();

  HWND Window() const { return window_; }

  // Runs dialog `templateId` of `resources` modally, bound to this object.
  // Returns what the dialog passed to EndDialog, or -1 when it cannot be created.
  INT_PTR RunModal(HINSTANCE resources, UINT templateId, HWND owner);

  static INT_PTR CALLBACK DialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

 private:
  HWND window_ = nullptr;
};
