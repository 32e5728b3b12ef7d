// Runs the real main dialog in this process and hands it to a test body once it
// is initialised; the dialog ends when the body returns.
#pragma once
#include <windows.h>

#include <functional>
#include <string>

#include "monitor/MonitorDialog.h"
#include "res/resource.h"
#include "tests/win/DialogTestHost.h"

namespace run_harness {

using testhost::kSettingsKey;
using testhost::SetSetting;

class HarnessDialog : public MonitorDialog {
 public:
  explicit HarnessDialog(std::function<void(HarnessDialog&)> body) : body_(std::move(body)) {}

  bool RouteMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override {
    if (message == kRunBody) {
      ShowWindow(Window(), SW_SHOW);
      UsePlainSettings();
      body_(*this);
      KillTimer(Window(), IDT_SAMPLE);
      EndDialog(Window(), 0);
      result = 0;
      return true;
    }
    // Ticks are driven by the tests themselves.
    if (message == WM_TIMER) return true;
    const bool handled = MonitorDialog::RouteMessage(message, wParam, lParam, result);
    if (message == WM_INITDIALOG) PostMessageA(Window(), kRunBody, 0, 0);
    return handled;
  }

  // No delay, one second, the performance counter, only the clock, no saving.
  void UsePlainSettings() {
    SetEdit(IDC_START_DELAY, "0");
    SetEdit(IDC_CHECK_PERIOD, "1");
    for (int id : {IDC_CHECK_CPU_LOAD, IDC_AVAILABLE_MEMORY, IDC_USE_MM_TIMER, IDC_USE_IDLE_THREAD,
                   IDC_SAVE_ON_STOP}) {
      SetCheck(id, false);
    }
    TakeSettings();
  }

  void SetEdit(int id, const char* text) { SetDlgItemTextA(Window(), id, text); }
  void SetCheck(int id, bool checked) {
    CheckDlgButton(Window(), id, checked ? BST_CHECKED : BST_UNCHECKED);
  }
  std::string Text(HWND control) const {
    std::string text(static_cast<size_t>(GetWindowTextLengthA(control)) + 1, '\0');
    text.resize(
        static_cast<size_t>(GetWindowTextA(control, text.data(), static_cast<int>(text.size()))));
    return text;
  }
  // The run's text, which every save writes; the log edit shows its newest part.
  std::string Log() const { return LogText(); }
  std::string Shown() const { return Text(logEdit); }
  void SetLog(const char* text) {
    runText.Clear();
    logWindow.Clear();
    SetWindowTextA(logEdit, "");
    AppendLogText(text);
  }

 private:
  static constexpr UINT kRunBody = WM_APP + 17;
  std::function<void(HarnessDialog&)> body_;
};

// The dialog with a calibration of a few milliseconds and default settings.
inline void RunInDialog(const std::function<void(HarnessDialog&)>& body) {
  RegDeleteKeyA(HKEY_CURRENT_USER, kSettingsKey);
  SetSetting("Divisor", 1000000);
  SetSetting("MMDelay", 50);
  HarnessDialog dialog(body);
  dialog.RunModal(GetModuleHandleA(nullptr), IDD_MONITOR, nullptr);
  RegDeleteKeyA(HKEY_CURRENT_USER, kSettingsKey);
}

}  // namespace run_harness
