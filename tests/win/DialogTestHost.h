// Runs a test body inside the modal loop of a real dialog bound to a framework
// object, and finds this process's other top-level windows.
#pragma once
#include <windows.h>

#include <functional>
#include <string>
#include <type_traits>

#include "app/DialogWindow.h"
#include "res/resource.h"
#include "tests/common/Waiting.h"

namespace testhost {

constexpr UINT kRunBody = WM_APP + 77;

// `Base` with WM_INITDIALOG replaced: the body runs once the modal loop is up,
// then the dialog ends. Other messages go to `extra`, then to the base's routing.
template <class Base>
class Hosted : public Base {
 public:
  using Base::Base;
  std::function<void(Hosted&)> body;
  std::function<bool(UINT, WPARAM, LPARAM, LRESULT&)> extra;
  bool realInit = false;  // let the base initialise the dialog first

  INT_PTR Run(UINT templateId = IDD_MONITOR) {
    return this->RunModal(GetModuleHandleA(nullptr), templateId, nullptr);
  }

  bool RouteMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override {
    if (message == WM_INITDIALOG) {
      if constexpr (!std::is_abstract_v<Base>) {
        if (realInit) Base::RouteMessage(message, wParam, lParam, result);
      }
      PostMessageA(this->Window(), kRunBody, 0, 0);
      result = TRUE;
      return true;
    }
    if (message == kRunBody) {
      if (body) body(*this);
      EndDialog(this->Window(), 0);
      result = 0;
      return true;
    }
    if (extra && extra(message, wParam, lParam, result)) return true;
    if constexpr (!std::is_abstract_v<Base>) {
      return Base::RouteMessage(message, wParam, lParam, result);
    } else {
      return false;
    }
  }
};

using test_wait::WaitUntil;

struct WindowSearch {
  const char* className;
  std::function<bool(HWND)> accept;
  HWND found;
};

inline BOOL CALLBACK CheckTopLevel(HWND window, LPARAM param) {
  auto* search = reinterpret_cast<WindowSearch*>(param);
  DWORD process = 0;
  GetWindowThreadProcessId(window, &process);
  char name[64] = {};
  GetClassNameA(window, name, sizeof name);
  if (process == GetCurrentProcessId() && lstrcmpA(name, search->className) == 0 &&
      IsWindowVisible(window) && (!search->accept || search->accept(window))) {
    search->found = window;
    return FALSE;
  }
  return TRUE;
}

// A visible top-level window of this process with the class, or null on time-out.
inline HWND WaitForWindow(const char* className, DWORD timeoutMs,
                          std::function<bool(HWND)> accept = nullptr) {
  WindowSearch search{className, std::move(accept), nullptr};
  WaitUntil(
      [&] {
        search.found = nullptr;
        EnumWindows(CheckTopLevel, reinterpret_cast<LPARAM>(&search));
        return search.found != nullptr;
      },
      timeoutMs);
  return search.found;
}

// The program's settings key under HKEY_CURRENT_USER.
constexpr char kSettingsKey[] = "Software\\Brevane\\Sentel";

inline void SetSetting(const char* name, DWORD value) {
  HKEY key = nullptr;
  if (RegCreateKeyExA(HKEY_CURRENT_USER, kSettingsKey, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key,
                      nullptr) != ERROR_SUCCESS) {
    return;
  }
  RegSetValueExA(key, name, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value), sizeof value);
  RegCloseKey(key);
}

inline std::string MenuText(HMENU menu, UINT position) {
  char text[128] = {};
  GetMenuStringA(menu, position, text, sizeof text, MF_BYPOSITION);
  return text;
}

inline std::string TextOf(HWND window) {
  char text[512] = {};
  GetWindowTextA(window, text, sizeof text);
  return text;
}

}  // namespace testhost
