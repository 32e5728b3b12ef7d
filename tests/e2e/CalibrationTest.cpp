// The clock calibration and the measurement engine's failures as the user
// meets them in the running program.
#include <gtest/gtest.h>

#include <string>

#include "res/resource.h"
#include "tests/common/TextLines.h"
#include "tests/e2e/Fixture.h"
#include "tests/e2e/RunHelpers.h"

using namespace e2e;
using namespace e2e::runs;

namespace {
using test_text::Trimmed;

void Answer(const MessageBoxInfo& box) { PostMessageA(box.window, WM_COMMAND, IDOK, 0); }

// The next box is the fatal error with the program's text `id`; answers it.
void ExpectFatalError(Program& program, UINT id) {
  const auto box = program.WaitForMessageBox();
  ASSERT_TRUE(box.has_value());
  EXPECT_EQ("Fatal Error", box->caption);
  EXPECT_EQ(Trimmed(ProgramString(id)), Trimmed(box->text));
  Answer(*box);
}
}  // namespace

TEST_F(E2e, CalibrationPauseAppliesEvenWhenSettingsAreNotLoaded) {
  Settings::UseQuickCalibration();
  Settings::SetDword("CoolBits", 0x08);
  Settings::SetDword("Sleeeep", 3000);
  const DWORD launched = GetTickCount();
  ASSERT_TRUE(program.Launch(folder));
  HWND dialog = program.WaitForDialog();
  ASSERT_NE(nullptr, dialog);
  EXPECT_GE(GetTickCount() - launched, 3000u);
  Click(dialog, IDC_EXIT);
  EXPECT_EQ(1008u, program.WaitForExit());
}

TEST_F(E2e, ZeroDivisorAndZeroMmDelayStillOpenTheDialog) {
  Settings::SetDword("Divisor", 0);
  Settings::SetDword("MMDelay", 0);
  HWND dialog = Start();
  ASSERT_NE(nullptr, dialog) << "the calibration must not end the program";
  Click(dialog, IDC_EXIT);
  EXPECT_EQ(1008u, program.WaitForExit());
}

TEST_F(E2e, MissingLoadQueryIsReportedAtStart) {
  const FaultsForProgram faults("ntquery");
  Settings::UseQuickCalibration();
  Settings::SetDword("CoolBits", 0x01 | 0x02);  // stay visible, write no file
  Settings::SetDword("CpuLoad", 1);
  HWND dialog = Start();
  ASSERT_NE(nullptr, dialog);
  Click(dialog, IDC_START_STOP);
  ExpectFatalError(program, IDS_MSG_NTQUERY_NOT_FOUND);
  PostMessageA(dialog, WM_SYSCOMMAND, SC_CLOSE, 0);
  EXPECT_EQ(2u, program.WaitForExit());
}

TEST_F(E2e, MissingMemoryStatusIsReportedAtTheSample) {
  const FaultsForProgram faults("memstatus");
  PrepareQuickRun(false);
  Settings::SetDword("CoolBits", 0x01 | 0x02);
  Settings::SetDword("FreeMem", 1);
  HWND dialog = Start();
  ASSERT_NE(nullptr, dialog);
  Click(dialog, IDC_START_STOP);
  ExpectFatalError(program, IDS_MSG_MEMSTATUS_NOT_FOUND);
  Click(dialog, IDC_START_STOP);  // Stop
  // Samples until then may have opened further boxes.
  while (const auto next = program.WaitForMessageBox(1500)) Answer(*next);
  PostMessageA(dialog, WM_SYSCOMMAND, SC_CLOSE, 0);
  EXPECT_EQ(2u, program.WaitForExit());
}
