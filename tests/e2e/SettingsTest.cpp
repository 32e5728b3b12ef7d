// The settings key: defaults, loading, saving at exit, and the option bits.
#include <gtest/gtest.h>

#include <string>

#include "res/resource.h"
#include "tests/common/Controls.h"
#include "tests/e2e/Fixture.h"

using namespace e2e;
using test_controls::SetControlText;

namespace {
// A click on "Save on Stop" is one of the moments the controls reach the settings.
void ClickSaveOnStop(HWND dialog) {
  const bool before = IsChecked(dialog, IDC_SAVE_ON_STOP);
  Click(dialog, IDC_SAVE_ON_STOP);
  WaitUntil([&] { return IsChecked(dialog, IDC_SAVE_ON_STOP) != before; }, 5000);
}

void ExpectDefaultsShown(HWND dialog) {
  EXPECT_EQ("5", ControlText(dialog, IDC_START_DELAY));
  EXPECT_EQ("30", ControlText(dialog, IDC_CHECK_PERIOD));
  EXPECT_TRUE(IsChecked(dialog, IDC_CHECK_CPU_CLOCK));
  EXPECT_TRUE(IsChecked(dialog, IDC_CHECK_CPU_LOAD));
  EXPECT_TRUE(IsChecked(dialog, IDC_USE_MM_TIMER));
  EXPECT_TRUE(IsChecked(dialog, IDC_SAVE_ON_STOP));
  EXPECT_FALSE(IsChecked(dialog, IDC_AVAILABLE_MEMORY));
  EXPECT_FALSE(IsChecked(dialog, IDC_CHECK_BUS_CLOCK));
  EXPECT_FALSE(IsChecked(dialog, IDC_THERMAL_MONITOR));
  EXPECT_FALSE(IsChecked(dialog, IDC_CORE_CLOCK));
}

void StoreSavedSettings() {
  Settings::SetDword("StartTime", 10);
  Settings::SetDword("CheckTime", 45);
  Settings::SetDword("CpuLoad", 0);
  Settings::SetDword("MmTimer", 0);
  Settings::SetDword("FreeMem", 1);
  Settings::SetDword("CoreClock", 1);
  Settings::SetDword("ThermalMonitor", 1);
}
}  // namespace

TEST_F(E2e, WithoutTheKeyDefaultsApplyAndNothingIsWritten) {
  HWND dialog = Start();
  ASSERT_NE(nullptr, dialog);
  ExpectDefaultsShown(dialog);
  SetControlText(dialog, IDC_CHECK_PERIOD, "60");
  ClickSaveOnStop(dialog);
  Click(dialog, IDC_EXIT);
  EXPECT_EQ(1008u, program.WaitForExit());
  EXPECT_FALSE(Settings::KeyExists());
}

TEST_F(E2e, SavedSettingsAreShownAndWrittenBackAtExit) {
  Settings::UseQuickCalibration();
  StoreSavedSettings();
  HWND dialog = Start();
  ASSERT_NE(nullptr, dialog);
  EXPECT_EQ("10", ControlText(dialog, IDC_START_DELAY));
  EXPECT_EQ("45", ControlText(dialog, IDC_CHECK_PERIOD));
  EXPECT_FALSE(IsChecked(dialog, IDC_CHECK_CPU_LOAD));
  EXPECT_FALSE(IsChecked(dialog, IDC_USE_MM_TIMER));
  EXPECT_TRUE(IsChecked(dialog, IDC_AVAILABLE_MEMORY));
  EXPECT_TRUE(IsChecked(dialog, IDC_CORE_CLOCK));
  EXPECT_TRUE(IsChecked(dialog, IDC_THERMAL_MONITOR));

  // Taken from the controls by the click, then saved by Escape.
  SetControlText(dialog, IDC_START_DELAY, "7");
  SetControlText(dialog, IDC_CHECK_PERIOD, "90");
  Click(dialog, IDC_CHECK_CPU_LOAD);
  Click(dialog, IDC_CORE_CLOCK);
  Click(dialog, IDC_THERMAL_MONITOR);
  ClickSaveOnStop(dialog);
  PostMessageA(dialog, WM_COMMAND, IDCANCEL, 0);
  EXPECT_EQ(2u, program.WaitForExit());
  EXPECT_EQ(7u, Settings::ReadDword("StartTime"));
  EXPECT_EQ(90u, Settings::ReadDword("CheckTime"));
  EXPECT_EQ(1u, Settings::ReadDword("CpuLoad"));
  EXPECT_EQ(0u, Settings::ReadDword("MmTimer"));
  EXPECT_EQ(1u, Settings::ReadDword("FreeMem"));
  EXPECT_EQ(0u, Settings::ReadDword("CoreClock"));
  EXPECT_EQ(0u, Settings::ReadDword("ThermalMonitor"));
}

TEST_F(E2e, CoreClockAndThermalMonitorTickedStayTickedThroughAnExitAndAStart) {
  const struct {
    int control;
    const char* value;
  } boxes[] = {{IDC_CORE_CLOCK, "CoreClock"}, {IDC_THERMAL_MONITOR, "ThermalMonitor"}};
  Settings::UseQuickCalibration();
  Settings::SetDword("StartTime", 10);
  HWND dialog = Start();
  ASSERT_NE(nullptr, dialog);
  for (const auto& box : boxes) {
    EXPECT_FALSE(IsChecked(dialog, box.control)) << box.value;
    Click(dialog, box.control);
  }
  ClickSaveOnStop(dialog);
  Click(dialog, IDC_EXIT);
  EXPECT_EQ(1008u, program.WaitForExit());
  for (const auto& box : boxes) EXPECT_EQ(1u, Settings::ReadDword(box.value)) << box.value;
  dialog = Start();
  ASSERT_NE(nullptr, dialog);
  for (const auto& box : boxes) EXPECT_TRUE(IsChecked(dialog, box.control)) << box.value;
  Click(dialog, IDC_EXIT);
  EXPECT_EQ(1008u, program.WaitForExit());
}

TEST_F(E2e, AChangeNotTakenFromTheDialogIsNotSaved) {
  Settings::UseQuickCalibration();
  StoreSavedSettings();
  HWND dialog = Start();
  ASSERT_NE(nullptr, dialog);
  SetControlText(dialog, IDC_CHECK_PERIOD, "120");
  Click(dialog, IDC_EXIT);
  EXPECT_EQ(1008u, program.WaitForExit());
  EXPECT_EQ(45u, Settings::ReadDword("CheckTime"));
}

// The option bits that touch the settings: bit 3 shows the defaults (which are
// then saved), bit 4 never saves; a CoolBits that is no REG_DWORD counts for nothing.
struct CoolBitsCase {
  const char* name;
  DWORD type;
  DWORD value;
  bool defaultsShown;
  const char* typed;  // into the start delay and taken by a click, or nothing
  uint32_t savedStartTime;
};

void PrintTo(const CoolBitsCase& row, std::ostream* out) { *out << row.name; }

class CoolBits : public E2e, public testing::WithParamInterface<CoolBitsCase> {};

TEST_P(CoolBits, DecideWhatIsShownAndWhatIsSaved) {
  const CoolBitsCase& row = GetParam();
  Settings::UseQuickCalibration();
  StoreSavedSettings();
  Settings::SetRaw("CoolBits", row.type, &row.value, sizeof row.value);
  HWND dialog = Start();
  ASSERT_NE(nullptr, dialog);
  if (row.defaultsShown) {
    ExpectDefaultsShown(dialog);
  } else {
    EXPECT_EQ("10", ControlText(dialog, IDC_START_DELAY));
  }
  if (row.typed != nullptr) {
    SetControlText(dialog, IDC_START_DELAY, row.typed);
    ClickSaveOnStop(dialog);
  }
  Click(dialog, IDC_EXIT);
  EXPECT_EQ(1008u, program.WaitForExit());
  EXPECT_EQ(row.savedStartTime, Settings::ReadDword("StartTime"));
}

INSTANTIATE_TEST_SUITE_P(
    E2e, CoolBits,
    testing::Values(CoolBitsCase{"Bit8ShowsTheDefaultsWhateverIsSaved", REG_DWORD, 0x08, true,
                                 nullptr, 5},
                    CoolBitsCase{"Bit16NeverWritesTheSettings", REG_DWORD, 0x10, false, "99", 10},
                    CoolBitsCase{"OfAnotherTypeIsIgnored", REG_BINARY, 0x18, false, nullptr, 10}),
    [](const testing::TestParamInfo<CoolBitsCase>& row) { return std::string(row.param.name); });

TEST_F(E2e, ValuesOfOtherTypesAndSizesTakeAtMostFourBytes) {
  Settings::UseQuickCalibration();
  // Data of up to four bytes is taken as it is; longer data keeps the default.
  const BYTE one[1] = {7};
  const BYTE three[3] = {0x2C, 0x01, 0};
  const BYTE five[5] = {1, 2, 3, 4, 5};
  const uint64_t qword = 77;
  Settings::SetRaw("StartTime", REG_BINARY, one, sizeof one);
  Settings::SetRaw("CheckTime", REG_BINARY, three, sizeof three);
  Settings::SetRaw("CpuLoad", REG_BINARY, five, sizeof five);
  Settings::SetRaw("MmTimer", REG_QWORD, &qword, sizeof qword);
  Settings::SetString("FreeMem", "1");  // '1', NUL: 0x31
  Settings::SetRaw("CoreClock", REG_QWORD, &qword, sizeof qword);
  Settings::SetRaw("ThermalMonitor", REG_BINARY, one, sizeof one);  // 7: out of range
  HWND dialog = Start();
  ASSERT_NE(nullptr, dialog);
  EXPECT_EQ("7", ControlText(dialog, IDC_START_DELAY));
  EXPECT_EQ("300", ControlText(dialog, IDC_CHECK_PERIOD));
  EXPECT_TRUE(IsChecked(dialog, IDC_CHECK_CPU_LOAD));     // default 1 kept
  EXPECT_TRUE(IsChecked(dialog, IDC_USE_MM_TIMER));       // default 1 kept
  EXPECT_FALSE(IsChecked(dialog, IDC_AVAILABLE_MEMORY));  // 0x31 is out of range: shown as 0
  EXPECT_FALSE(IsChecked(dialog, IDC_CORE_CLOCK));        // default 0 kept
  EXPECT_FALSE(IsChecked(dialog, IDC_THERMAL_MONITOR));   // 7 is out of range: shown as 0
  Click(dialog, IDC_EXIT);
  EXPECT_EQ(1008u, program.WaitForExit());
  EXPECT_EQ(7u, Settings::ReadDword("StartTime"));
  EXPECT_EQ(300u, Settings::ReadDword("CheckTime"));
  EXPECT_EQ(1u, Settings::ReadDword("CpuLoad"));
  EXPECT_EQ(0u, Settings::ReadDword("FreeMem"));
  EXPECT_EQ(0u, Settings::ReadDword("ThermalMonitor"));
}

TEST_F(E2e, BadTuningAndLanguageValuesDoNotStopTheProgram) {
  const BYTE eight[8] = {1, 2, 3, 4, 5, 6, 7, 8};
  Settings::SetRaw("Divisor", REG_BINARY, eight, sizeof eight);
  Settings::SetString("MMDelay", "x");
  Settings::SetRaw("Language", REG_BINARY, eight, 2);
  Settings::SetRaw("AffMask", REG_QWORD, eight, sizeof eight);
  Settings::SetDword("Divisor", 1000000);
  Settings::SetRaw("Sleeeep", REG_BINARY, eight, 1);  // 1 ms
  HWND dialog = Start();
  ASSERT_NE(nullptr, dialog);
  EXPECT_EQ("Start", ControlText(dialog, IDC_START_STOP));
  Click(dialog, IDC_EXIT);
  EXPECT_EQ(1008u, program.WaitForExit());
}
