// Messages the main dialog declines or answers without touching its window.
#include <gtest/gtest.h>

#include "monitor/MonitorDialog.h"
#include "res/resource.h"

TEST(Routing, HelpIsAnsweredWith1) {
  MonitorDialog dialog;
  LRESULT result = 0;
  EXPECT_TRUE(dialog.RouteMessage(WM_HELP, 0, 0, result));
  EXPECT_EQ(1, result);
}

TEST(Routing, UnroutedMessagesAreLeftToTheDialogManager) {
  MonitorDialog dialog;
  LRESULT result = 0;
  EXPECT_FALSE(dialog.RouteMessage(WM_COMMAND, IDOK, 0, result));
  EXPECT_FALSE(dialog.RouteMessage(WM_COMMAND, IDC_START_DELAY, 0, result));
  EXPECT_FALSE(dialog.RouteMessage(WM_SYSCOMMAND, SC_MOVE, 0, result));
  EXPECT_FALSE(dialog.RouteMessage(WM_SYSCOMMAND, SC_CLOSE, 0, result));
  EXPECT_FALSE(dialog.RouteMessage(WM_PAINT, 0, 0, result));
  EXPECT_FALSE(dialog.RouteMessage(WM_APP, 0, 0, result));
}

TEST(Routing, TheTrayMessageIsRegisteredByName) {
  MonitorDialog dialog;
  EXPECT_EQ(RegisterWindowMessageA("WM_TRAYICON"), dialog.trayIcon.notifyMessage);
  EXPECT_GE(dialog.trayIcon.notifyMessage, 0xC000u);
}
