// The frame: help requests, hiding, showing.
#include <gtest/gtest.h>

#include "res/resource.h"
#include "tests/e2e/Fixture.h"

using namespace e2e;

TEST_F(E2e, F1OpensNothing) {
  Settings::UseQuickCalibration();
  HWND dialog = Start();
  ASSERT_NE(nullptr, dialog);
  // F1 reaches the window as WM_KEYF1, which the dialog turns into WM_HELP.
  constexpr UINT kKeyF1 = 0x004D;
  PostMessageA(dialog, kKeyF1, 0, 0);
  EXPECT_FALSE(program.WaitForMessageBox(1500));
  EXPECT_EQ(1u, program.TopLevelWindows().size());
  EXPECT_TRUE(IsWindowVisible(dialog));
  Click(dialog, IDC_EXIT);
  EXPECT_EQ(1008u, program.WaitForExit());
}

TEST_F(E2e, MinimiseHidesAndShowBringsItBack) {
  Settings::UseQuickCalibration();
  HWND dialog = Start();
  ASSERT_NE(nullptr, dialog);
  PostMessageA(dialog, WM_SYSCOMMAND, SC_MINIMIZE, 0);
  ASSERT_TRUE(WaitUntil([&] { return !IsWindowVisible(dialog); }, 10000));
  EXPECT_FALSE(IsIconic(dialog));  // hidden, not minimised: no taskbar button either

  PostMessageA(dialog, WM_COMMAND, ID_TRAY_SHOW, 0);
  ASSERT_TRUE(WaitUntil([&] { return IsWindowVisible(dialog) != FALSE; }, 10000));
  EXPECT_FALSE(IsIconic(dialog));
  EXPECT_TRUE(WaitUntil([&] { return GetForegroundWindow() == dialog; }, 5000));
}

TEST_F(E2e, TheFrameIsTheTemplatesWithAMinimiseBox) {
  Settings::UseQuickCalibration();
  HWND dialog = Start();
  ASSERT_NE(nullptr, dialog);
  // The window manager adds clipping of siblings and the 3D look to every dialog.
  const DWORD added = WS_CLIPSIBLINGS | DS_3DLOOK;
  EXPECT_EQ(0x80C820C8u | WS_MINIMIZEBOX | WS_VISIBLE,
            static_cast<DWORD>(GetWindowLongA(dialog, GWL_STYLE)) & ~added);
  EXPECT_EQ(0u, static_cast<DWORD>(GetWindowLongA(dialog, GWL_EXSTYLE)) &
                    ~static_cast<DWORD>(WS_EX_WINDOWEDGE | WS_EX_DLGMODALFRAME |
                                        WS_EX_CONTROLPARENT | WS_EX_CONTEXTHELP));
  EXPECT_EQ("Tervo", WindowText(dialog));
}
