#include "app/TrayIcon.h"

#include <cstring>
#include <memory>
#include <type_traits>

#include "app/ResourceStrings.h"

namespace {
constexpr UINT kFlagsAll = NIF_MESSAGE | NIF_ICON | NIF_TIP;
constexpr size_t kTipCapacity = sizeof(NotifyIconDataV1::szTip);

struct MenuDestroyer {
  void operator()(HMENU menu) const { DestroyMenu(menu); }
};
using LoadedMenu = std::unique_ptr<std::remove_pointer_t<HMENU>, MenuDestroyer>;

LoadedMenu LoadTrayMenu(UINT id) {
  return LoadedMenu(LoadMenuA(ResourceModule(), MAKEINTRESOURCEA(id)));
}

BOOL Notify(DWORD action, NotifyIconDataV1& data) {
  return Shell_NotifyIconA(action, reinterpret_cast<NOTIFYICONDATAA*>(&data));
}

// Copies `tip` into the record; refuses one that would not fit with its zero.
bool StoreTip(const char* tip, CHAR (&szTip)[kTipCapacity]) {
  if (tip == nullptr) {
    szTip[0] = '\0';
    return true;
  }
  const size_t length = std::strlen(tip);
  if (length >= kTipCapacity) return false;
  std::memcpy(szTip, tip, length + 1);
  return true;
}
}  // namespace

TrayIcon::TrayIcon(const DialogWindow& owner)
    : notifyMessage(RegisterWindowMessageA("WM_TRAYICON")),
      iconData{},
      installed(false),
      wanted(false),
      defaultMenuItem(0),
      taskbarCreatedMessage(RegisterWindowMessageA("TaskbarCreated")),
      owner_(owner) {
  iconData.cbSize = sizeof iconData;
}

TrayIcon::~TrayIcon() {
  if (!installed) return;
  iconData.uFlags = 0;
  Notify(NIM_DELETE, iconData);
}

bool TrayIcon::AddIcon(const char* tip, HICON icon, UINT id) {
  iconData.hWnd = owner_.Window();
  iconData.uID = id;
  iconData.hIcon = icon;
  iconData.uFlags = kFlagsAll;
  iconData.uCallbackMessage = notifyMessage;
  if (!StoreTip(tip, iconData.szTip)) return false;
  wanted = true;
  installed = Notify(NIM_ADD, iconData) != FALSE;
  return installed;
}

bool TrayIcon::SetTip(const char* tip) {
  iconData.uFlags = NIF_TIP;
  if (!StoreTip(tip, iconData.szTip)) return false;
  return Notify(NIM_MODIFY, iconData) != FALSE;
}

void TrayIcon::OnTaskbarCreated() {
  // Also when the first add failed: the notification area may not have existed
  // yet (a start at logon), and a hidden dialog must not stay out of reach.
  if (!wanted) return;
  // The record still holds the current tooltip.
  iconData.uFlags = kFlagsAll;
  installed = Notify(NIM_ADD, iconData) != FALSE;
}

LRESULT TrayIcon::OnTrayNotify(WPARAM wParam, LPARAM lParam) {
  if (wParam != iconData.uID) return 0;
  const UINT event = LOWORD(lParam);
  if (event != WM_RBUTTONUP && event != WM_LBUTTONDBLCLK) return 0;
  const HWND dialog = owner_.Window();
  if (event == WM_LBUTTONDBLCLK) SetForegroundWindow(dialog);
  const LoadedMenu menu = LoadTrayMenu(iconData.uID);
  if (!menu) return 0;
  const HMENU popup = GetSubMenu(menu.get(), 0);
  if (event == WM_LBUTTONDBLCLK) {
    // The default item's command, as if it had been chosen from the popup.
    const UINT command =
        defaultMenuItem != 0 ? static_cast<UINT>(defaultMenuItem) : GetMenuItemID(popup, 0);
    SendMessageA(dialog, WM_COMMAND, command, 0);
    return 0;
  }
  PrepareMenu(popup);
  POINT cursor{};
  GetCursorPos(&cursor);
  // Without this the popup does not close when the user clicks elsewhere.
  SetForegroundWindow(dialog);
  if (defaultMenuItem != 0) {
    SetMenuDefaultItem(popup, static_cast<UINT>(defaultMenuItem), FALSE);
  } else {
    SetMenuDefaultItem(popup, 0, TRUE);
  }
  TrackPopupMenu(popup, 0, cursor.x, cursor.y, 0, dialog, nullptr);
  // Forces the task switch after which the next right click opens the popup again.
  PostMessageA(dialog, WM_NULL, 0, 0);
  return 0;
}

void TrayIcon::PrepareMenu(HMENU) {}
