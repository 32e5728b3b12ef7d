// The notification-area icon: its notifications and its popup menu, worked
// through the real menu with keyboard input.
#include <gtest/gtest.h>

#include "tests/e2e/DialogHelpers.h"
#include "tests/e2e/Fixture.h"

using namespace e2e;

namespace {
// "Hide" from the system menu: only the icon remains.
bool Hide(HWND dialog) {
  PostMessageA(dialog, WM_SYSCOMMAND, SC_MINIMIZE, 0);
  return WaitUntil([&] { return !IsWindowVisible(dialog); }, 10000);
}
}  // namespace

TEST_F(E2e, TrayIconIsThereWhileTheDialogLivesAndGoneAfter) {
  Settings::UseQuickCalibration();
  HWND dialog = Start();
  ASSERT_NE(nullptr, dialog);
  EXPECT_TRUE(TrayIconExists(dialog));
  ASSERT_TRUE(Hide(dialog));
  EXPECT_TRUE(TrayIconExists(dialog));
  Click(dialog, IDC_EXIT);
  ASSERT_EQ(1008u, program.WaitForExit());
  // The shell here also drops the icons of a destroyed window; the removal by
  // the program itself is watched by the Windows-side tests.
  EXPECT_FALSE(TrayIconExists(dialog));
}

TEST_F(E2e, TrayDoubleClickShowsTheHiddenDialog) {
  Settings::UseQuickCalibration();
  HWND dialog = Start();
  ASSERT_NE(nullptr, dialog);
  ASSERT_TRUE(Hide(dialog));

  // Another icon's double click, and single clicks or presses on ours: nothing.
  PostTrayNotify(dialog, WM_LBUTTONDBLCLK, kTrayIconId + 1);
  PostTrayNotify(dialog, WM_LBUTTONDOWN);
  PostTrayNotify(dialog, WM_LBUTTONUP);
  PostTrayNotify(dialog, WM_RBUTTONDOWN);
  PostTrayNotify(dialog, WM_MOUSEMOVE);
  PostTrayNotify(dialog, WM_RBUTTONUP, kTrayIconId + 1);
  ASSERT_TRUE(DrainPosted(dialog));
  EXPECT_FALSE(IsWindowVisible(dialog));
  EXPECT_FALSE(PopupMenuIsOpen(program));

  PostTrayNotify(dialog, WM_LBUTTONDBLCLK);
  ASSERT_TRUE(WaitUntil([&] { return IsWindowVisible(dialog) != FALSE; }, 10000));
  EXPECT_FALSE(IsIconic(dialog));
  EXPECT_TRUE(WaitUntil([&] { return GetForegroundWindow() == dialog; }, 5000));
  EXPECT_TRUE(program.IsRunning());
}

TEST_F(E2e, TrayNotificationsAreAnsweredAsHandled) {
  Settings::UseQuickCalibration();
  HWND dialog = Start();
  ASSERT_NE(nullptr, dialog);
  // The dialog procedure answers TRUE with result 0 even for another icon.
  DWORD_PTR answer = 12345;
  ASSERT_TRUE(SendMessageTimeoutA(dialog, TrayMessage(), kTrayIconId + 1, WM_LBUTTONUP,
                                  SMTO_ABORTIFHUNG, 5000, &answer));
  EXPECT_EQ(0u, answer);
}

TEST_F(E2e, TrayMenuOpensAtTheCursorAndShowBringsTheDialogBack) {
  Settings::UseQuickCalibration();
  HWND dialog = Start();
  ASSERT_NE(nullptr, dialog);
  ASSERT_TRUE(Hide(dialog));

  HWND menu = OpenTrayMenu(program, dialog, {400, 300});
  ASSERT_NE(nullptr, menu);
  RECT where{};
  GetWindowRect(menu, &where);
  EXPECT_EQ(400, where.left);
  EXPECT_EQ(300, where.top);
  EXPECT_FALSE(IsWindowVisible(dialog));

  PressKey('S');  // "&Show"
  ASSERT_TRUE(WaitUntil([&] { return IsWindowVisible(dialog) != FALSE; }, 10000));
  EXPECT_FALSE(PopupMenuIsOpen(program));
  EXPECT_TRUE(WaitUntil([&] { return GetForegroundWindow() == dialog; }, 5000));
}

TEST_F(E2e, TrayMenuDefaultItemIsShow) {
  Settings::UseQuickCalibration();
  HWND dialog = Start();
  ASSERT_NE(nullptr, dialog);
  ASSERT_TRUE(Hide(dialog));

  ASSERT_NE(nullptr, OpenTrayMenu(program, dialog));
  // The first item is the default; Down then Enter takes it.
  PressKey(VK_DOWN);
  PressKey(VK_RETURN);
  ASSERT_TRUE(WaitUntil([&] { return IsWindowVisible(dialog) != FALSE; }, 10000));
}

TEST_F(E2e, TrayMenuClosesWithoutACommandOnEscape) {
  Settings::UseQuickCalibration();
  HWND dialog = Start();
  ASSERT_NE(nullptr, dialog);
  ASSERT_TRUE(Hide(dialog));

  ASSERT_NE(nullptr, OpenTrayMenu(program, dialog));
  PressKey(VK_ESCAPE);
  ASSERT_TRUE(WaitUntil([&] { return !PopupMenuIsOpen(program); }, 10000));
  ASSERT_TRUE(DrainPosted(dialog));
  EXPECT_FALSE(IsWindowVisible(dialog));
  EXPECT_FALSE(HasVisibleAboutBox(program));
  EXPECT_TRUE(program.IsRunning());

  // And it opens again on the next right click.
  ASSERT_NE(nullptr, OpenTrayMenu(program, dialog));
  PressKey(VK_ESCAPE);
  EXPECT_TRUE(WaitUntil([&] { return !PopupMenuIsOpen(program); }, 10000));
}

TEST_F(E2e, TrayMenuExitSavesAndEndsWith1008) {
  Settings::UseQuickCalibration();
  Settings::SetDword("StartTime", 7);
  HWND dialog = Start();
  ASSERT_NE(nullptr, dialog);
  ASSERT_TRUE(Hide(dialog));

  ASSERT_NE(nullptr, OpenTrayMenu(program, dialog));
  PressKey('X');  // "E&xit"
  ASSERT_EQ(1008u, program.WaitForExit());
  EXPECT_EQ(7u, Settings::ReadDword("StartTime"));
  EXPECT_EQ(1u, Settings::ReadDword("CpuLoad"));  // saved: the default was written
}

TEST_F(E2e, TrayMenuAboutOpensTheAboutBox) {
  Settings::UseQuickCalibration();
  HWND dialog = Start();
  ASSERT_NE(nullptr, dialog);

  ASSERT_NE(nullptr, OpenTrayMenu(program, dialog));
  PressKey('A');  // "&About..."
  HWND about = WaitForAboutBox(program);
  ASSERT_NE(nullptr, about);
  Click(about, IDOK);
  EXPECT_TRUE(WaitUntil([&] { return !IsWindow(about); }, 10000));
  EXPECT_TRUE(program.IsRunning());
}

TEST_F(E2e, TrayIconComesBackWhenTheTaskbarIsCreatedAgain) {
  Settings::UseQuickCalibration();
  HWND dialog = Start();
  ASSERT_NE(nullptr, dialog);
  ASSERT_TRUE(TrayIconExists(dialog));

  ASSERT_TRUE(ForgetTrayIcon(dialog));
  ASSERT_FALSE(TrayIconExists(dialog));
  PostMessageA(dialog, TaskbarCreatedMessage(), 0, 0);
  ASSERT_TRUE(DrainPosted(dialog));
  EXPECT_TRUE(TrayIconExists(dialog));
}
