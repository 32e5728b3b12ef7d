// Answers the message boxes that this thread opens and records what they
// showed, so that a test can run code that calls MessageBoxA: each box is read
// and answered as it is activated.
#pragma once
#include <windows.h>

#include <algorithm>
#include <string>
#include <vector>

#include "tests/win/ActivationHook.h"

class MessageBoxWatcher {
 public:
  struct Seen {
    std::string caption;
    std::string text;
    int buttons = 0;
    bool hasOk = false, hasYes = false, hasNo = false;
  };

  // Presses `button` in every box, or OK where the box lacks it.
  explicit MessageBoxWatcher(int button = IDOK)
      : button_(button), hook_([this](HWND window) { Answer(window); }) {}

  std::vector<Seen> Boxes() const { return seen_; }

 private:
  static HWND TextControl(HWND box) {
    HWND text = GetDlgItem(box, 0xFFFF);
    return text != nullptr ? text : GetDlgItem(box, 100);
  }
  static bool IsMessageBox(HWND window) {
    char name[16] = {};
    GetClassNameA(window, name, sizeof name);
    return lstrcmpA(name, "#32770") == 0 && TextControl(window) != nullptr;
  }
  static std::string Text(HWND window) {
    char buffer[2048] = {};
    SendMessageA(window, WM_GETTEXT, sizeof buffer, reinterpret_cast<LPARAM>(buffer));
    return buffer;
  }
  static BOOL CALLBACK CountButton(HWND child, LPARAM count) {
    char name[16] = {};
    GetClassNameA(child, name, sizeof name);
    if (lstrcmpiA(name, "Button") == 0) ++*reinterpret_cast<int*>(count);
    return TRUE;
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
  void Answer(HWND box) {
    // A box activated again (after another window had the focus) is not a new box.
    if (!IsMessageBox(box) || std::count(answered_.begin(), answered_.end(), box) != 0) return;
    answered_.push_back(box);
    seen_.push_back(Read(box));
    const int id = GetDlgItem(box, button_) != nullptr ? button_ : IDOK;
    PostMessageA(box, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED),
                 reinterpret_cast<LPARAM>(GetDlgItem(box, id)));
  }

  int button_;
  std::vector<Seen> seen_;
  std::vector<HWND> answered_;
  ActivationHook hook_;
};
