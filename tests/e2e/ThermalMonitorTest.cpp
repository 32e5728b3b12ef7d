// "Thermal monitor" on the shipped program: the limit this system reports on
// every sample line, nothing when unticked, and the box disabled where Windows
// 98 is reported. Its setting is SettingsTest's.
#include <gtest/gtest.h>

#include <cmath>

#include "tests/e2e/Fixture.h"
#include "tests/e2e/RunHelpers.h"

using namespace e2e;
using namespace e2e::runs;

namespace {
// The limit of processor 0 (the default AffMask's) as the system reports it,
// asked here with the test's own call.
bool SystemLimitPercent(unsigned* percent) {
  struct Record {
    ULONG number, maxMhz, currentMhz, mhzLimit, maxIdleState, currentIdleState;
  };
  using CallFn = LONG(WINAPI*)(int, PVOID, ULONG, PVOID, ULONG);
  const HMODULE powrprof = LoadLibraryA("powrprof.dll");
  const auto call = reinterpret_cast<CallFn>(
      reinterpret_cast<void (*)()>(GetProcAddress(powrprof, "CallNtPowerInformation")));
  SYSTEM_INFO system{};
  GetSystemInfo(&system);
  std::vector<Record> records(system.dwNumberOfProcessors);
  const bool answered = call != nullptr &&
                        call(11, nullptr, 0, records.data(),
                             static_cast<ULONG>(records.size() * sizeof(Record))) == 0 &&
                        records[0].maxMhz != 0;
  if (answered) {
    const double share = 100.0 * records[0].mhzLimit / records[0].maxMhz;
    *percent = share >= 100.0 ? 100u : static_cast<unsigned>(std::lround(share));
  }
  FreeLibrary(powrprof);
  return answered;
}

// Starts a run, waits for `samples` sample lines, stops it; the run's lines.
std::vector<std::string> RunSamples(HWND dialog, size_t samples) {
  Click(dialog, IDC_START_STOP);
  if (!WaitForLogLines(dialog, 1 + samples, 20000)) return {};
  PostCommand(dialog, IDC_START_STOP);
  if (!WaitForCaption(dialog, "Start")) return {};
  return LogLines(dialog);
}
}  // namespace

TEST_F(E2e, ThermalMonitorPutsTheSystemsLimitOnEverySampleLineOnlyWhenTicked) {
  unsigned limit = 0;
  ASSERT_TRUE(SystemLimitPercent(&limit));
  SYSTEM_POWER_STATUS power{};
  ASSERT_TRUE(GetSystemPowerStatus(&power));
  PrepareQuickRun(false);
  Settings::SetDword("ThermalMonitor", 1);
  HWND dialog = Start();
  ASSERT_NE(nullptr, dialog);
  EXPECT_TRUE(IsWindowEnabled(GetDlgItem(dialog, IDC_THERMAL_MONITOR)));
  EXPECT_TRUE(IsChecked(dialog, IDC_THERMAL_MONITOR));
  SetCheck(dialog, IDC_SAVE_ON_STOP, false);

  for (const bool ticked : {true, false}) {
    SetCheck(dialog, IDC_THERMAL_MONITOR, ticked);
    const auto lines = RunSamples(dialog, 3);
    ASSERT_GE(lines.size(), 5u) << LogText(dialog);
    for (size_t i = 1; i + 1 < lines.size(); ++i) {
      std::smatch sample;
      ASSERT_TRUE(std::regex_match(lines[i], sample, kSampleLine)) << lines[i];
      if (ticked) {
        ASSERT_TRUE(sample[9].matched) << lines[i];
        EXPECT_EQ(limit, std::stoul(sample[10])) << lines[i];
        EXPECT_EQ(power.ACLineStatus == 0, sample[13].matched) << lines[i];
      } else {
        EXPECT_FALSE(sample[9].matched || sample[11].matched || sample[13].matched) << lines[i];
        EXPECT_EQ(std::string::npos, lines[i].find(", (", lines[i].find(" MHz"))) << lines[i];
      }
    }
  }
  Click(dialog, IDC_EXIT);
  EXPECT_EQ(1008u, program.WaitForExit());
}

TEST_F(E2e, ThermalMonitorOnWindows98IsDisabledAndLogsNothingWhateverWasSaved) {
  SetWineVersion("win98");
  PrepareQuickRun(false);
  Settings::SetDword("ThermalMonitor", 1);
  HWND dialog = StartPastTheVersionWarning();
  ASSERT_NE(nullptr, dialog);
  EXPECT_FALSE(IsWindowEnabled(GetDlgItem(dialog, IDC_THERMAL_MONITOR)));
  EXPECT_TRUE(IsChecked(dialog, IDC_THERMAL_MONITOR));
  SetCheck(dialog, IDC_SAVE_ON_STOP, false);
  const auto lines = RunSamples(dialog, 2);
  ASSERT_GE(lines.size(), 4u) << LogText(dialog);
  for (size_t i = 1; i + 1 < lines.size(); ++i) {
    std::smatch sample;
    ASSERT_TRUE(std::regex_match(lines[i], sample, kSampleLine)) << lines[i];
    EXPECT_FALSE(sample[9].matched || sample[11].matched || sample[13].matched) << lines[i];
  }
  Click(dialog, IDC_EXIT);
  EXPECT_EQ(1008u, program.WaitForExit());
  EXPECT_EQ(1u, Settings::ReadDword("ThermalMonitor")) << "the saved value is kept";
}
