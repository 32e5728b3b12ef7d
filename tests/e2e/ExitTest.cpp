// Leaving the program: exit codes and what is saved.
#include <gtest/gtest.h>

#include "res/resource.h"
#include "tests/e2e/Fixture.h"

using namespace e2e;

TEST_F(E2e, ExitButtonEndsWith1008) {
  Settings::UseQuickCalibration();
  HWND dialog = Start();
  ASSERT_NE(nullptr, dialog);
  Click(dialog, IDC_EXIT);
  EXPECT_EQ(1008u, program.WaitForExit());
}

TEST_F(E2e, CancelEndsWith2AndOkDoesNotClose) {
  Settings::UseQuickCalibration();
  HWND dialog = Start();
  ASSERT_NE(nullptr, dialog);
  // IDOK is not routed: the dialog stays.
  PostMessageA(dialog, WM_COMMAND, IDOK, 0);
  EXPECT_FALSE(program.WaitForExit(1500));
  EXPECT_TRUE(IsWindowVisible(dialog));
  // Escape and the close box both arrive as IDCANCEL.
  PostMessageA(dialog, WM_SYSCOMMAND, SC_CLOSE, 0);
  EXPECT_EQ(2u, program.WaitForExit());
}
