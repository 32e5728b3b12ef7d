// Helpers for driving the dialog's dressing from outside: the tray icon's
// notifications, real keyboard input to menus, the About box, and a way to know
// that every message posted so far has been handled.
#pragma once
#include <windows.h>
// after windows.h
#include <shellapi.h>

#include <string>
#include <vector>

#include "res/resource.h"
#include "tests/common/Controls.h"
#include "tests/common/Keyboard.h"
#include "tests/e2e/Driver.h"

namespace e2e {

constexpr WPARAM kTrayIconId = IDR_TRAYMENU;

inline UINT TrayMessage() { return RegisterWindowMessageA("WM_TRAYICON"); }
inline UINT TaskbarCreatedMessage() { return RegisterWindowMessageA("TaskbarCreated"); }

// Posted, never sent: the right-button handler stays inside TrackPopupMenu.
inline void PostTrayNotify(HWND dialog, UINT mouseMessage, WPARAM iconId = kTrayIconId) {
  PostMessageA(dialog, TrayMessage(), iconId, mouseMessage);
}

// Returns once the dialog's thread has handled every message posted to it
// before this call: a marker posted behind them changes the text limit of edit
// 1001 to a value of its own, and the limit is read back.
inline bool DrainPosted(HWND dialog, DWORD timeoutMs = 10000) {
  static UINT marker = 5000;
  const UINT limit = ++marker;
  const HWND edit = GetDlgItem(dialog, IDC_CHECK_PERIOD);
  PostMessageA(edit, EM_SETLIMITTEXT, limit, 0);
  return WaitUntil(
      [&] {
        DWORD_PTR current = 0;
        SendMessageTimeoutA(edit, EM_GETLIMITTEXT, 0, 0, SMTO_ABORTIFHUNG, 2000, &current);
        return current == limit;
      },
      timeoutMs);
}

// Real keyboard input to whatever window has the keyboard focus.
using test_input::PressKey;

// The process's visible popup menu window, or null.
inline HWND FindPopupMenu(const Program& program) {
  for (HWND window : program.TopLevelWindows("#32768")) {
    if (IsWindowVisible(window)) return window;
  }
  return nullptr;
}

inline bool PopupMenuIsOpen(const Program& program) { return FindPopupMenu(program) != nullptr; }

// The popup menu once it is up, or null on time-out.
inline HWND WaitForPopupMenu(const Program& program, DWORD timeoutMs = 10000) {
  HWND menu = nullptr;
  WaitUntil([&] { return (menu = FindPopupMenu(program)) != nullptr; }, timeoutMs);
  return menu;
}

// Opens the tray popup as a right click on the icon would, with the cursor at
// `at`; returns the menu window once it is up and has the keyboard.
inline HWND OpenTrayMenu(const Program& program, HWND dialog, POINT at = {400, 300}) {
  // Early in a fresh session the first move can be lost: move until it holds.
  WaitUntil(
      [&] {
        SetCursorPos(at.x, at.y);
        POINT now{};
        GetCursorPos(&now);
        return now.x == at.x && now.y == at.y;
      },
      5000);
  PostTrayNotify(dialog, WM_RBUTTONUP);
  return WaitForPopupMenu(program);
}

// The About box of the program: a visible dialog captioned "About" with an OK
// button, other than the main dialog; or null.
inline HWND FindAboutBox(const Program& program) {
  for (HWND window : program.TopLevelWindows()) {
    if (GetDlgItem(window, IDC_START_STOP) != nullptr || !IsWindowVisible(window)) continue;
    if (GetDlgItem(window, IDOK) != nullptr && WindowText(window) == "About") return window;
  }
  return nullptr;
}

inline bool HasVisibleAboutBox(const Program& program) { return FindAboutBox(program) != nullptr; }

inline HWND WaitForAboutBox(const Program& program, DWORD timeoutMs = 10000) {
  HWND about = nullptr;
  WaitUntil([&] { return (about = FindAboutBox(program)) != nullptr; }, timeoutMs);
  return about;
}

// The window that has the keyboard focus in the program's dialog thread.
inline HWND FocusOf(HWND dialog) {
  GUITHREADINFO info{};
  info.cbSize = sizeof info;
  if (!GetGUIThreadInfo(GetWindowThreadProcessId(dialog, nullptr), &info)) return nullptr;
  return info.hwndFocus;
}

using test_controls::SetControlText;

// The shell's icon call for the icon (window, id) with nothing else set, looked
// up at run time (the bench links no shell32).
inline bool ShellNotify(DWORD action, HWND window, UINT id) {
  using NotifyFn = BOOL(WINAPI*)(DWORD, NOTIFYICONDATAA*);
  static const auto notify = reinterpret_cast<NotifyFn>(
      reinterpret_cast<void*>(GetProcAddress(LoadLibraryA("shell32.dll"), "Shell_NotifyIconA")));
  NOTIFYICONDATAA data{};
  data.cbSize = NOTIFYICONDATAA_V1_SIZE;
  data.hWnd = window;
  data.uID = id;
  return notify != nullptr && notify(action, &data) != FALSE;
}

// Whether the shell holds an icon for (window, id): a modification that
// changes nothing succeeds only for an existing icon.
inline bool TrayIconExists(HWND window, UINT id = static_cast<UINT>(kTrayIconId)) {
  return ShellNotify(NIM_MODIFY, window, id);
}

// Takes the icon away as a restarting shell would.
inline bool ForgetTrayIcon(HWND window, UINT id = static_cast<UINT>(kTrayIconId)) {
  return ShellNotify(NIM_DELETE, window, id);
}

// Child windows of `parent` with the given class, in z order.
using test_controls::ChildWindows;

// Makes `window` the foreground window so that keyboard input reaches it.
inline bool BringForward(HWND window) {
  SetForegroundWindow(window);
  return WaitUntil([&] { return GetForegroundWindow() == window; }, 5000);
}

// Opens the window's system menu with the command Alt+Space gives. It is posted,
// not typed: when a window has just taken the focus, Wine brings its key state in
// line with the X server's, where no key is down, and the Alt release it makes up
// can fall between a typed Alt and Space. Keys without Alt choose from the menu.
inline HWND OpenSystemMenu(const Program& program, HWND window) {
  if (!BringForward(window)) return nullptr;
  PostMessageA(window, WM_SYSCOMMAND, SC_KEYMENU, ' ');
  return WaitForPopupMenu(program);
}
}  // namespace e2e
