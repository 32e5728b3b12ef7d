// Range checks of the two edits when the settings are taken on a click of
// "Save on Stop", seen through the Save... button, the focus and the registry.
#include <gtest/gtest.h>

#include <optional>
#include <string>

#include "tests/e2e/DialogHelpers.h"
#include "tests/e2e/Fixture.h"

using namespace e2e;

namespace {
struct Outcome {
  bool saveEnabled = false;  // Save on Stop was taken as unticked
  bool focusOnEdit = false;  // the failing edit got the focus
  std::optional<DWORD> exitCode;
  std::optional<uint32_t> startTime, checkTime, cpuLoad;
};

// Types `text` into edit `id`, unticks "Check CPU load" and "Save on Stop",
// then leaves with Exit.
Outcome TakeWith(const std::string& folder, int id, const char* text) {
  Outcome outcome;
  Settings::DeleteKey();
  Settings::UseQuickCalibration();
  Program program;
  if (!program.Launch(folder)) return outcome;
  HWND dialog = program.WaitForDialog();
  if (dialog == nullptr) return outcome;

  SetControlText(dialog, id, text);
  Click(dialog, IDC_CHECK_CPU_LOAD);
  Click(dialog, IDC_SAVE_ON_STOP);
  DrainPosted(dialog);
  outcome.saveEnabled = IsWindowEnabled(GetDlgItem(dialog, IDC_SAVE)) != FALSE;
  outcome.focusOnEdit = FocusOf(dialog) == GetDlgItem(dialog, id);

  Click(dialog, IDC_EXIT);
  outcome.exitCode = program.WaitForExit();
  outcome.startTime = Settings::ReadDword("StartTime");
  outcome.checkTime = Settings::ReadDword("CheckTime");
  outcome.cpuLoad = Settings::ReadDword("CpuLoad");
  return outcome;
}

void ExpectPass(const Outcome& o) {
  EXPECT_TRUE(o.saveEnabled);
  EXPECT_FALSE(o.focusOnEdit);
  EXPECT_EQ(1008u, o.exitCode);
  EXPECT_EQ(0u, o.cpuLoad);  // the boxes were taken
}

void ExpectFail(const Outcome& o) {
  EXPECT_FALSE(o.saveEnabled);  // saveOnStop kept its 1
  EXPECT_TRUE(o.focusOnEdit);
  EXPECT_EQ(1008u, o.exitCode);
  EXPECT_EQ(1u, o.cpuLoad);  // the boxes' fields kept their values
}
}  // namespace

TEST_F(E2e, StartDelayAcceptsZeroTo120) {
  for (const char* text : {"0", "120"}) {
    SCOPED_TRACE(text);
    const Outcome o = TakeWith(folder, IDC_START_DELAY, text);
    ExpectPass(o);
    EXPECT_EQ(static_cast<uint32_t>(std::stoul(text)), o.startTime);
  }
  const Outcome o = TakeWith(folder, IDC_START_DELAY, "121");
  ExpectFail(o);
  EXPECT_EQ(121u, o.startTime);  // what was read stays in the field
  EXPECT_EQ(30u, o.checkTime);   // edit 1001 was not read after the failure
}

TEST_F(E2e, CheckPeriodAccepts1To300) {
  for (const char* text : {"1", "300"}) {
    SCOPED_TRACE(text);
    const Outcome o = TakeWith(folder, IDC_CHECK_PERIOD, text);
    ExpectPass(o);
    EXPECT_EQ(static_cast<uint32_t>(std::stoul(text)), o.checkTime);
  }
  for (const char* text : {"0", "301", ""}) {
    SCOPED_TRACE(std::string("\"") + text + "\"");
    const Outcome o = TakeWith(folder, IDC_CHECK_PERIOD, text);
    ExpectFail(o);
    EXPECT_EQ(text[0] == '\0' ? 0u : static_cast<uint32_t>(std::stoul(text)), o.checkTime);
    EXPECT_EQ(5u, o.startTime);
  }
}
