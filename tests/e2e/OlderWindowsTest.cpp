// The program on a Windows version it warns about: what it does differently there
// still works (under 32-bit Wine the 32-bit structures are the real ones).
#include <gtest/gtest.h>

#include "tests/e2e/Fixture.h"
#include "tests/e2e/RunHelpers.h"

using namespace e2e;
using namespace e2e::runs;

TEST_F(E2e, SaveAsOnWindows98UsesTheOlderRequestAndSaves) {
  SetWineVersion("win98");
  PrepareQuickRun(false);
  HWND dialog = StartPastTheVersionWarning();
  ASSERT_NE(nullptr, dialog);
  SetCheck(dialog, IDC_SAVE_ON_STOP, false);
  PostCommand(dialog, IDC_SAVE_ON_STOP);
  Click(dialog, IDC_START_STOP);
  ASSERT_TRUE(WaitForLogLines(dialog, 2, 10000));
  PostCommand(dialog, IDC_START_STOP);
  ASSERT_TRUE(WaitForCaption(dialog, "Start"));
  ASSERT_TRUE(
      WaitUntil([&] { return IsWindowEnabled(GetDlgItem(dialog, IDC_SAVE)) != FALSE; }, 5000));

  // A request the dialog refused would open nothing.
  Click(dialog, IDC_SAVE);
  HWND saveAs = WaitForSaveAsDialog(program);
  ASSERT_NE(nullptr, saveAs);
  const std::string path = folder + "old.txt";
  ConfirmSaveAs(saveAs, path);
  ASSERT_TRUE(WaitUntil([&] { return !ReadFileBytes(path).empty(); }, 10000));
  EXPECT_NE(std::string::npos, ReadFileBytes(path).find(WithCrLf(LogText(dialog))));
  Click(dialog, IDC_EXIT);
  EXPECT_EQ(1008u, program.WaitForExit());
}
