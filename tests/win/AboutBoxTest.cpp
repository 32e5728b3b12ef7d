// The About box on its own, and the system menu items that dialog
// initialisation adds to the real main dialog.
#include "app/AboutBox.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "monitor/MonitorDialog.h"
#include "res/resource.h"
#include "tests/win/ActivationHook.h"
#include "tests/win/DialogTestHost.h"

namespace {
using testhost::kSettingsKey;
using testhost::MenuText;
using testhost::SetSetting;

// What the About box showed as it was activated; then `act` answers it.
struct AboutWatch {
  explicit AboutWatch(std::function<void(HWND)> act)
      : hook_([this, act](HWND activated) {
          if (window != nullptr || testhost::TextOf(activated) != "About") return;
          window = activated;
          owner = GetWindow(window, GW_OWNER);
          GetWindowRect(window, &rect);
          act(window);
        }) {}
  HWND window = nullptr;
  HWND owner = nullptr;
  RECT rect{};

 private:
  ActivationHook hook_;
};
}  // namespace

TEST(AboutBox, AnyStandardButtonIdEndsIt) {
  for (WORD id = IDOK; id <= IDNO; ++id) {
    SCOPED_TRACE(id);
    AboutBox box;
    AboutWatch watch([id](HWND about) {
      // Ids outside 1..7 are not the box's to end on.
      PostMessageA(about, WM_COMMAND, 0, 0);
      PostMessageA(about, WM_COMMAND, 8, 0);
      PostMessageA(about, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), 0);
    });
    EXPECT_EQ(id, box.Run(nullptr));
  }
}

TEST(AboutBox, ShowsDialog100AtItsTemplatePosition) {
  AboutBox box;
  std::string text;
  bool hasIcon = false;
  AboutWatch watch([&](HWND about) {
    for (HWND child = GetWindow(about, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
      if ((GetWindowLongA(child, GWL_STYLE) & SS_TYPEMASK) == SS_ICON) {
        hasIcon = hasIcon || SendMessageA(child, STM_GETICON, 0, 0) != 0;
      } else if (text.empty()) {
        text = testhost::TextOf(child);
      }
    }
    PostMessageA(about, WM_COMMAND, IDCANCEL, 0);
  });
  EXPECT_EQ(IDCANCEL, box.Run(nullptr));
  ASSERT_NE(nullptr, watch.window);
  EXPECT_TRUE(hasIcon);
  EXPECT_EQ("Tervo Version 1.0\n\nCopyright (C) 2004 Brevane\nAll rights reserved.", text);
  // Not centred: at the template's position.
  EXPECT_EQ(0, watch.rect.left);
  EXPECT_EQ(0, watch.rect.top);
}

TEST(AboutBox, InitialisationAddsHideAndAboutToTheSystemMenu) {
  SetSetting("Divisor", 1000000);
  SetSetting("MMDelay", 50);
  testhost::Hosted<MonitorDialog> dialog;
  dialog.realInit = true;
  HWND owner = nullptr;
  dialog.body = [&](MonitorDialog& d) {
    EXPECT_TRUE(GetWindowLongA(d.Window(), GWL_STYLE) & WS_MINIMIZEBOX);
    const HMENU menu = GetSystemMenu(d.Window(), FALSE);
    ASSERT_TRUE(IsMenu(menu));
    const int count = GetMenuItemCount(menu);
    ASSERT_GE(count, 3);
    EXPECT_EQ(static_cast<UINT>(SC_MINIMIZE), GetMenuItemID(menu, 0));
    EXPECT_EQ("Hide", MenuText(menu, 0));
    EXPECT_TRUE(GetMenuState(menu, count - 2, MF_BYPOSITION) & MF_SEPARATOR);
    EXPECT_EQ(static_cast<UINT>(ID_APP_ABOUT), GetMenuItemID(menu, count - 1));
    EXPECT_EQ("About...", MenuText(menu, count - 1));

    // The tray icon carries the title and an icon of its own at the small size:
    // the window's follow the display the dialog is on, the tray's does not.
    EXPECT_TRUE(d.trayIcon.installed);
    EXPECT_EQ(static_cast<UINT>(IDR_TRAYMENU), d.trayIcon.iconData.uID);
    EXPECT_STREQ("Tervo", d.trayIcon.iconData.szTip);
    EXPECT_EQ(d.trayImage.Get(), d.trayIcon.iconData.hIcon);
    ICONINFO tray{};
    ASSERT_TRUE(GetIconInfo(d.trayIcon.iconData.hIcon, &tray));
    BITMAP bitmap{};
    GetObjectA(tray.hbmColor, sizeof bitmap, &bitmap);
    EXPECT_EQ(GetSystemMetrics(SM_CXSMICON), bitmap.bmWidth);
    DeleteObject(tray.hbmColor);
    DeleteObject(tray.hbmMask);

    // The last item opens the About box, owned by the main dialog.
    AboutWatch watch([](HWND about) { PostMessageA(about, WM_COMMAND, IDOK, 0); });
    SetActiveWindow(d.Window());
    SendMessageA(d.Window(), WM_SYSCOMMAND, ID_APP_ABOUT, 0);
    owner = watch.owner;
    EXPECT_EQ(d.Window(), owner);
  };
  dialog.Run();
  RegDeleteKeyA(HKEY_CURRENT_USER, kSettingsKey);
}
