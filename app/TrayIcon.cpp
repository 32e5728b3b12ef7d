#include "app/TrayIcon.h"

TrayIcon::TrayIcon(const DialogWindow& owner)
    : notifyMessage(RegisterWindowMessageA("WM_TRAYICON")),
      iconData{},
      installed(false),
      defaultMenuItem(0),
      taskbarCreatedMessage(RegisterWindowMessageA("TaskbarCreated")),
      owner_(owner) {
  iconData.cbSize = sizeof iconData;
}

TrayIcon::~TrayIcon() = default;

// Not built yet: the icon is not added.
bool TrayIcon::AddIcon(const char*, HICON, UINT) { return false; }
bool TrayIcon::SetTip(const char*) { return false; }
LRESULT TrayIcon::OnTrayNotify(WPARAM, LPARAM) { return 0; }
void TrayIcon::OnTaskbarCreated() {}
void TrayIcon::PrepareMenu(HMENU) {}
