// The tray icon against the real shell of the platform: the record, the tip
// rule, adding and removal, Explorer restarts, and the notifications with the
// real popup menu.
#include "app/TrayIcon.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "app/ResourceStrings.h"
#include "res/resource.h"
#include "tests/common/Keyboard.h"
#include "tests/win/DialogTestHost.h"

namespace {
using testhost::Hosted;

// A tray icon that notes the popup it is asked to prepare.
class RecordingTray : public TrayIcon {
 public:
  using TrayIcon::TrayIcon;
  void PrepareMenu(HMENU popup) override {
    preparedItems = GetMenuItemCount(popup);
    preparedFirstId = GetMenuItemID(popup, 0);
    menuVisibleWhenPrepared = testhost::WaitForWindow("#32768", 0) != nullptr;
  }
  int preparedItems = -1;
  UINT preparedFirstId = 0;
  bool menuVisibleWhenPrepared = false;
};

// A dialog owning a tray icon, routing its messages, and noting its commands.
class TrayHost : public DialogWindow {
 public:
  bool RouteMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override {
    // The popup's menu loop waits for input: it is up and has the keyboard.
    if (message == WM_ENTERIDLE && wParam == MSGF_MENU && onMenuIdle) {
      onMenuIdle(reinterpret_cast<HWND>(lParam));
      result = 0;
      return true;
    }
    if (message == tray.notifyMessage) {
      result = tray.OnTrayNotify(wParam, lParam);
      return true;
    }
    if (message == tray.taskbarCreatedMessage) {
      tray.OnTaskbarCreated();
      return true;
    }
    if (message == WM_COMMAND && lParam == 0) {  // menu commands, not control notifications
      commands.push_back(LOWORD(wParam));
      return true;
    }
    return false;
  }
  RecordingTray tray{*this};
  std::vector<UINT> commands;
  std::function<void(HWND menuWindow)> onMenuIdle;
};

NotifyIconDataV1 RecordFor(HWND window, UINT id) {
  NotifyIconDataV1 data{};
  data.cbSize = sizeof data;
  data.hWnd = window;
  data.uID = id;
  return data;
}

// An icon is there when a change of nothing is accepted for it.
bool IconExists(HWND window, UINT id = IDR_TRAYMENU) {
  NotifyIconDataV1 data = RecordFor(window, id);
  return Shell_NotifyIconA(NIM_MODIFY, reinterpret_cast<NOTIFYICONDATAA*>(&data)) != FALSE;
}

bool DeleteIcon(HWND window, UINT id = IDR_TRAYMENU) {
  NotifyIconDataV1 data = RecordFor(window, id);
  return Shell_NotifyIconA(NIM_DELETE, reinterpret_cast<NOTIFYICONDATAA*>(&data)) != FALSE;
}

HICON SmallIcon() {
  return static_cast<HICON>(
      LoadImageA(ResourceModule(), MAKEINTRESOURCEA(IDR_MAINFRAME), IMAGE_ICON, 16, 16, 0));
}

const std::string kTip63(63, 'T');
const std::string kTip64(64, 'T');

// What the user sees of the popup, noted on this thread when the popup's menu
// loop first waits for input; then `keys` choose from it (Escape when none).
struct PopupWatch {
  PopupWatch(TrayHost& host, std::vector<WORD> keys) : host_(host), keys_(std::move(keys)) {
    host_.onMenuIdle = [this](HWND menuWindow) { Note(menuWindow); };
  }
  ~PopupWatch() { host_.onMenuIdle = nullptr; }
  PopupWatch(const PopupWatch&) = delete;
  PopupWatch& operator=(const PopupWatch&) = delete;

  bool seen = false;
  RECT rect{};
  HWND foreground = nullptr;
  HMENU menu = nullptr;
  UINT defaultItem = 0;
  int itemCount = 0;
  std::vector<UINT> ids;

 private:
  void Note(HWND menuWindow) {
    if (seen) return;
    if (menuWindow == nullptr) menuWindow = testhost::WaitForWindow("#32768", 0);
    seen = true;
    GetWindowRect(menuWindow, &rect);
    foreground = GetForegroundWindow();
    menu = reinterpret_cast<HMENU>(SendMessageA(menuWindow, MN_GETHMENU, 0, 0));
    defaultItem = GetMenuDefaultItem(menu, FALSE, 0);
    itemCount = GetMenuItemCount(menu);
    for (int i = 0; i < itemCount; ++i) ids.push_back(GetMenuItemID(menu, i));
    for (WORD key : keys_) test_input::PressKey(key);
    if (keys_.empty()) test_input::PressKey(VK_ESCAPE);
  }

  TrayHost& host_;
  std::vector<WORD> keys_;
};

// Messages posted to `window` and still waiting, among WM_COMMAND and WM_NULL.
std::vector<std::pair<UINT, WPARAM>> PendingCommandsAndNulls(HWND window) {
  std::vector<std::pair<UINT, WPARAM>> found;
  MSG msg;
  for (int i = 0; i < 100 && PeekMessageA(&msg, window, 0, 0, PM_REMOVE); ++i) {
    if (msg.message == WM_PAINT) ValidateRect(msg.hwnd, nullptr);
    if (msg.message == WM_COMMAND || msg.message == WM_NULL) {
      found.emplace_back(msg.message, msg.wParam);
    }
  }
  return found;
}
}  // namespace

TEST(TrayIcon, TheRecordIsTheShellsFirstVersion) {
  Hosted<TrayHost> host;
  const TrayIcon& tray = host.tray;
  EXPECT_EQ(static_cast<DWORD>(NOTIFYICONDATAA_V1_SIZE), tray.iconData.cbSize);
  EXPECT_EQ(sizeof(NotifyIconDataV1), static_cast<size_t>(NOTIFYICONDATAA_V1_SIZE));
#ifndef _WIN64
  EXPECT_EQ(88u, tray.iconData.cbSize);
#endif
  EXPECT_NE(0u, tray.notifyMessage);
  EXPECT_EQ(RegisterWindowMessageA("WM_TRAYICON"), tray.notifyMessage);
  EXPECT_EQ(RegisterWindowMessageA("TaskbarCreated"), tray.taskbarCreatedMessage);
  EXPECT_FALSE(tray.installed);
  EXPECT_EQ(0, tray.defaultMenuItem);
  EXPECT_EQ(nullptr, tray.iconData.hWnd);
  EXPECT_EQ(0u, tray.iconData.uID);
  EXPECT_EQ(0u, tray.iconData.uFlags);
  EXPECT_EQ('\0', tray.iconData.szTip[0]);
}

TEST(TrayIcon, AddsTheIconWithA63ByteTip) {
  Hosted<TrayHost> host;
  host.body = [](TrayHost& h) {
    const HICON icon = SmallIcon();
    ASSERT_TRUE(h.tray.AddIcon(kTip63.c_str(), icon, IDR_TRAYMENU));
    EXPECT_TRUE(h.tray.installed);
    EXPECT_EQ(h.Window(), h.tray.iconData.hWnd);
    EXPECT_EQ(static_cast<UINT>(IDR_TRAYMENU), h.tray.iconData.uID);
    EXPECT_EQ(7u, h.tray.iconData.uFlags);
    EXPECT_EQ(h.tray.notifyMessage, h.tray.iconData.uCallbackMessage);
    EXPECT_EQ(icon, h.tray.iconData.hIcon);
    EXPECT_EQ(kTip63, h.tray.iconData.szTip);
    EXPECT_TRUE(IconExists(h.Window()));
  };
  host.Run();
}

TEST(TrayIcon, RefusesA64ByteTipWithoutCallingTheShell) {
  Hosted<TrayHost> host;
  host.body = [](TrayHost& h) {
    EXPECT_FALSE(h.tray.AddIcon(kTip64.c_str(), SmallIcon(), IDR_TRAYMENU));
    EXPECT_FALSE(h.tray.installed);
    EXPECT_FALSE(IconExists(h.Window()));  // nothing was added

    ASSERT_TRUE(h.tray.AddIcon("Tervo", SmallIcon(), IDR_TRAYMENU));
    EXPECT_FALSE(h.tray.SetTip(kTip64.c_str()));
    EXPECT_STREQ("Tervo", h.tray.iconData.szTip);
    // A refused tip leaves `installed` alone.
    EXPECT_FALSE(h.tray.AddIcon(kTip64.c_str(), SmallIcon(), IDR_TRAYMENU));
    EXPECT_TRUE(h.tray.installed);

    EXPECT_TRUE(h.tray.SetTip("Tervo: active"));
    EXPECT_EQ(4u, h.tray.iconData.uFlags);
    EXPECT_STREQ("Tervo: active", h.tray.iconData.szTip);
    EXPECT_TRUE(h.tray.SetTip(kTip63.c_str()));
    EXPECT_TRUE(h.tray.SetTip(nullptr));
    EXPECT_STREQ("", h.tray.iconData.szTip);
  };
  host.Run();
}

TEST(TrayIcon, SetTipDoesNotConsultInstalled) {
  Hosted<TrayHost> host;
  host.body = [](TrayHost& h) {
    // No icon: the shell refuses the change, and says so.
    EXPECT_FALSE(h.tray.SetTip("Tervo"));
  };
  host.Run();
}

// The shell here also drops the icons of a destroyed window, so removal is
// watched while the window still lives.
TEST(TrayIcon, RemovesOnlyTheIconItAdded) {
  Hosted<TrayHost> host;
  host.body = [](TrayHost& h) {
    constexpr UINT kOtherId = IDR_TRAYMENU + 1;
    {
      TrayIcon tray(h);
      ASSERT_TRUE(tray.AddIcon("Tervo", SmallIcon(), kOtherId));
      ASSERT_TRUE(IconExists(h.Window(), kOtherId));
    }
    EXPECT_FALSE(IconExists(h.Window(), kOtherId));

    // An icon the object did not add stays when the object goes.
    NotifyIconDataV1 other = RecordFor(h.Window(), kOtherId);
    ASSERT_TRUE(Shell_NotifyIconA(NIM_ADD, reinterpret_cast<NOTIFYICONDATAA*>(&other)));
    {
      TrayIcon tray(h);
      EXPECT_FALSE(tray.AddIcon(kTip64.c_str(), SmallIcon(), kOtherId));
      EXPECT_EQ(h.Window(), tray.iconData.hWnd);
    }
    EXPECT_TRUE(IconExists(h.Window(), kOtherId));
    DeleteIcon(h.Window(), kOtherId);
  };
  host.Run();
}

TEST(TrayIcon, TaskbarCreatedAddsTheIconAgainWithTheCurrentTip) {
  Hosted<TrayHost> host;
  host.body = [](TrayHost& h) {
    // Before any icon: nothing to add again.
    SendMessageA(h.Window(), h.tray.taskbarCreatedMessage, 0, 0);
    EXPECT_FALSE(IconExists(h.Window()));

    ASSERT_TRUE(h.tray.AddIcon("Tervo", SmallIcon(), IDR_TRAYMENU));
    ASSERT_TRUE(h.tray.SetTip("Tervo: active"));
    ASSERT_TRUE(DeleteIcon(h.Window()));  // the restarted shell knows no icon
    ASSERT_FALSE(IconExists(h.Window()));

    SendMessageA(h.Window(), h.tray.taskbarCreatedMessage, 0, 0);
    EXPECT_TRUE(IconExists(h.Window()));
    EXPECT_TRUE(h.tray.installed);
    EXPECT_EQ(7u, h.tray.iconData.uFlags);
    EXPECT_STREQ("Tervo: active", h.tray.iconData.szTip);
  };
  host.Run();
}

TEST(TrayIcon, RightButtonUpTracksMenu203AtTheCursorWithShowAsDefault) {
  Hosted<TrayHost> host;
  host.body = [](TrayHost& h) {
    ASSERT_TRUE(h.tray.AddIcon("Tervo", SmallIcon(), IDR_TRAYMENU));
    SetCursorPos(320, 240);
    PopupWatch watch(h, {VK_DOWN, VK_RETURN});
    EXPECT_EQ(0, h.tray.OnTrayNotify(IDR_TRAYMENU, WM_RBUTTONUP));

    ASSERT_TRUE(watch.seen);
    EXPECT_EQ(320, watch.rect.left);
    EXPECT_EQ(240, watch.rect.top);
    EXPECT_EQ(h.Window(), watch.foreground);
    EXPECT_EQ(static_cast<UINT>(ID_TRAY_SHOW), watch.defaultItem);
    EXPECT_EQ((std::vector<UINT>{ID_TRAY_SHOW, 0, ID_APP_ABOUT, IDC_EXIT}), watch.ids);
    // Prepared with the popup before it was shown.
    EXPECT_EQ(4, h.tray.preparedItems);
    EXPECT_EQ(static_cast<UINT>(ID_TRAY_SHOW), h.tray.preparedFirstId);
    EXPECT_FALSE(h.tray.menuVisibleWhenPrepared);
    // The loaded menu is gone when the handler returns.
    EXPECT_FALSE(IsMenu(watch.menu));
    // The chosen command arrives posted, followed by the WM_NULL.
    const auto pending = PendingCommandsAndNulls(h.Window());
    ASSERT_EQ(2u, pending.size());
    EXPECT_EQ(static_cast<UINT>(WM_COMMAND), pending[0].first);
    EXPECT_EQ(static_cast<WPARAM>(ID_TRAY_SHOW), LOWORD(pending[0].second));
    EXPECT_EQ(static_cast<UINT>(WM_NULL), pending[1].first);
  };
  host.Run();
}

TEST(TrayIcon, APopupClosedWithoutAChoiceSendsNoCommand) {
  Hosted<TrayHost> host;
  host.body = [](TrayHost& h) {
    ASSERT_TRUE(h.tray.AddIcon("Tervo", SmallIcon(), IDR_TRAYMENU));
    PopupWatch watch(h, {});
    h.tray.OnTrayNotify(IDR_TRAYMENU, WM_RBUTTONUP);
    ASSERT_TRUE(watch.seen);
    const auto pending = PendingCommandsAndNulls(h.Window());
    ASSERT_EQ(1u, pending.size());
    EXPECT_EQ(static_cast<UINT>(WM_NULL), pending[0].first);
  };
  host.Run();
}

TEST(TrayIcon, ADefaultMenuItemIsUsedByCommand) {
  Hosted<TrayHost> host;
  host.body = [](TrayHost& h) {
    ASSERT_TRUE(h.tray.AddIcon("Tervo", SmallIcon(), IDR_TRAYMENU));
    h.tray.defaultMenuItem = ID_APP_ABOUT;
    {
      PopupWatch watch(h, {VK_ESCAPE});
      h.tray.OnTrayNotify(IDR_TRAYMENU, WM_RBUTTONUP);
      ASSERT_TRUE(watch.seen);
      EXPECT_EQ(static_cast<UINT>(ID_APP_ABOUT), watch.defaultItem);
    }
    PendingCommandsAndNulls(h.Window());
    h.tray.OnTrayNotify(IDR_TRAYMENU, WM_LBUTTONDBLCLK);
    EXPECT_EQ(std::vector<UINT>{ID_APP_ABOUT}, h.commands);
  };
  host.Run();
}

TEST(TrayIcon, DoubleClickSendsTheFirstItemsCommandAtOnce) {
  Hosted<TrayHost> host;
  host.body = [](TrayHost& h) {
    ASSERT_TRUE(h.tray.AddIcon("Tervo", SmallIcon(), IDR_TRAYMENU));
    SetForegroundWindow(GetDesktopWindow());
    EXPECT_EQ(0, h.tray.OnTrayNotify(IDR_TRAYMENU, WM_LBUTTONDBLCLK));
    // Sent, not posted: carried out before the handler returns.
    EXPECT_EQ(std::vector<UINT>{ID_TRAY_SHOW}, h.commands);
    EXPECT_EQ(h.Window(), GetForegroundWindow());
  };
  host.Run();
}

TEST(TrayIcon, OtherIdsAndOtherMouseMessagesDoNothing) {
  Hosted<TrayHost> host;
  host.body = [](TrayHost& h) {
    ASSERT_TRUE(h.tray.AddIcon("Tervo", SmallIcon(), IDR_TRAYMENU));
    PopupWatch watch(h, {});  // would close a wrongly opened popup
    h.tray.OnTrayNotify(IDR_TRAYMENU + 1, WM_RBUTTONUP);
    h.tray.OnTrayNotify(IDR_TRAYMENU + 1, WM_LBUTTONDBLCLK);
    for (UINT mouse : {WM_LBUTTONDOWN, WM_LBUTTONUP, WM_RBUTTONDOWN, WM_MOUSEMOVE, WM_MBUTTONUP,
                       WM_RBUTTONDBLCLK}) {
      EXPECT_EQ(0, h.tray.OnTrayNotify(IDR_TRAYMENU, mouse));
    }
    EXPECT_FALSE(watch.seen);
    EXPECT_TRUE(h.commands.empty());
    EXPECT_TRUE(PendingCommandsAndNulls(h.Window()).empty());
  };
  host.Run();
}

TEST(TrayIcon, TaskbarCreatedAddsAnIconWhoseFirstAddFailed) {
  Hosted<TrayHost> host;
  host.body = [](TrayHost& h) {
    // The shell refuses the first add: it already holds an icon of this id.
    NotifyIconDataV1 holder = RecordFor(h.Window(), IDR_TRAYMENU);
    ASSERT_TRUE(Shell_NotifyIconA(NIM_ADD, reinterpret_cast<NOTIFYICONDATAA*>(&holder)));
    EXPECT_FALSE(h.tray.AddIcon("Tervo", SmallIcon(), IDR_TRAYMENU));
    ASSERT_TRUE(DeleteIcon(h.Window()));

    SendMessageA(h.Window(), h.tray.taskbarCreatedMessage, 0, 0);
    EXPECT_TRUE(IconExists(h.Window()));
    EXPECT_TRUE(h.tray.installed);
    DeleteIcon(h.Window());
  };
  host.Run();
}
