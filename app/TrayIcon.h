// The notification-area icon of a dialog, its tooltip and its popup menu.
#pragma once
#include <windows.h>
// after windows.h
#include <shellapi.h>

#include <cstddef>

#include "app/DialogWindow.h"

// The shell's icon record in its first version (88 bytes in a 32-bit program).
struct NotifyIconDataV1 {
  DWORD cbSize;
  HWND hWnd;
  UINT uID;
  UINT uFlags;
  UINT uCallbackMessage;
  HICON hIcon;
  CHAR szTip[64];
};
static_assert(sizeof(NotifyIconDataV1) == NOTIFYICONDATAA_V1_SIZE);
static_assert(offsetof(NotifyIconDataV1, szTip) == offsetof(NOTIFYICONDATAA, szTip));
#ifndef _WIN64
static_assert(sizeof(NotifyIconDataV1) == 88);
#endif

class TrayIcon {
 public:
  explicit TrayIcon(const DialogWindow& owner);
  virtual ~TrayIcon();  // removes the icon if it was added
  TrayIcon(const TrayIcon&) = delete;
  TrayIcon& operator=(const TrayIcon&) = delete;

  bool AddIcon(const char* tip, HICON icon, UINT id);
  bool SetTip(const char* tip);
  // The shell's mouse notification for the icon; always handled.
  LRESULT OnTrayNotify(WPARAM wParam, LPARAM lParam);
  // The notification area was (re)created: add the icon if it was ever asked for.
  void OnTaskbarCreated();
  // Called with the popup just before it is shown.
  virtual void PrepareMenu(HMENU popup);

  UINT notifyMessage;  // registered "WM_TRAYICON"
  NotifyIconDataV1 iconData;
  bool installed;
  bool wanted;          // AddIcon was called with a valid tip, whether or not the shell took it
  int defaultMenuItem;  // 0: the first item by position
  UINT taskbarCreatedMessage;  // registered "TaskbarCreated"

 private:
  const DialogWindow& owner_;
};
