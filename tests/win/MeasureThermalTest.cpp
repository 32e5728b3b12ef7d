// The Thermal monitor's sources: this system's own (Wine's PDH has none of the
// counters), and each source through stand-ins at its entry points.
#include <gtest/gtest.h>
#include <windows.h>

#include <regex>

#include "measure/SystemLibrary.h"
#include "measure/ThermalSources.h"
#include "tests/common/TextLines.h"
#include "tests/win/MessageBoxWatcher.h"
#include "tests/win/RunDialogHarness.h"

namespace {
// What the stand-ins answer, and from which call on they fail.
struct Script {
  ULONG mhzLimit[2] = {2600, 2600};
  ULONG maxMhz[2] = {2600, 2600};
  BYTE acLineStatus = 1;
  int powerInformationFailsAt = -1;  // -1: never; counted from 0
  int powerStatusFailsAt = -1;
  int powerInformationCalls = 0;
  int powerStatusCalls = 0;
};
Script g_script;

LONG WINAPI ScriptedPowerInformation(int level, PVOID, ULONG, PVOID output, ULONG bytes) {
  const int call = g_script.powerInformationCalls++;
  if (level != kProcessorInformation) return static_cast<LONG>(0xC000000Du);
  if (call == g_script.powerInformationFailsAt || g_script.powerInformationFailsAt == -2) {
    return static_cast<LONG>(0xC0000001u);
  }
  auto* records = static_cast<ProcessorPowerInformation*>(output);
  const ULONG count = bytes / sizeof(ProcessorPowerInformation);
  for (ULONG i = 0; i < count; ++i) {
    records[i] = ProcessorPowerInformation{
        i, g_script.maxMhz[i % 2], g_script.mhzLimit[i % 2], g_script.mhzLimit[i % 2], 0, 0};
  }
  return 0;
}

BOOL WINAPI ScriptedPowerStatus(SYSTEM_POWER_STATUS* status) {
  const int call = g_script.powerStatusCalls++;
  if (call == g_script.powerStatusFailsAt) return FALSE;
  *status = SYSTEM_POWER_STATUS{};
  status->ACLineStatus = g_script.acLineStatus;
  return TRUE;
}

void UseScriptedPower(ThermalEntries& entries) {
  entries.powerInformation = &ScriptedPowerInformation;
  entries.powerStatus = &ScriptedPowerStatus;
}
void UseNothing(ThermalEntries& entries) { entries = ThermalEntries(); }

class ScopedEntriesHook {
 public:
  explicit ScopedEntriesHook(thermal_seam::EntriesHook hook, const Script& script = Script()) {
    g_script = script;
    thermal_seam::SetEntriesHook(hook);
  }
  ~ScopedEntriesHook() { thermal_seam::SetEntriesHook(nullptr); }
};

// The system's own figure for processor 0, the default AffMask's.
bool SystemLimitOfFirstProcessor(unsigned* percent) {
  const OwnedModule powrprof = LoadSystemLibrary("powrprof.dll");
  const auto call = ExportOf<CallNtPowerInformationFn>(powrprof, "CallNtPowerInformation");
  SYSTEM_INFO system{};
  GetSystemInfo(&system);
  std::vector<ProcessorPowerInformation> records(system.dwNumberOfProcessors);
  if (call == nullptr || call(kProcessorInformation, nullptr, 0, records.data(),
                              static_cast<ULONG>(records.size() * sizeof records[0])) != 0) {
    return false;
  }
  return LimitPercentFromMhz(records[0].mhzLimit, records[0].maxMhz, percent);
}
}  // namespace

TEST(MeasureThermal, HereThePowerInformationAnswersAndTheMissingCountersAreLeftOut) {
  unsigned expected = 0;
  ASSERT_TRUE(SystemLimitOfFirstProcessor(&expected));
  SYSTEM_POWER_STATUS power{};
  ASSERT_TRUE(GetSystemPowerStatus(&power));
  ThermalSources sources;
  ASSERT_TRUE(sources.Open(1));
  for (int sample = 0; sample < 3; ++sample) {
    const ThermalReading reading = sources.Read();
    EXPECT_TRUE(reading.hasLimit);
    EXPECT_EQ(expected, reading.limitPercent);
    EXPECT_FALSE(reading.hasTemperature) << "Wine's PDH has no thermal zones";
    EXPECT_EQ(power.ACLineStatus == 0, reading.onBattery);
  }
}

TEST(MeasureThermal, TheLimitIsTheLowestOfTheMasksProcessorsAndBatteryOnlyWhenOffline) {
  SYSTEM_INFO system{};
  GetSystemInfo(&system);
  const bool twoProcessors = system.dwNumberOfProcessors >= 2;
  const struct {
    uint32_t mask;
    BYTE acLineStatus;
    unsigned limit;
    bool onBattery;
  } rows[] = {{1, 0, 50, true},
              {2, 1, twoProcessors ? 100u : 50u, false},
              {3, 255, 50, false},
              {0, 0, 50, true}};
  for (const auto& row : rows) {
    Script script;
    script.mhzLimit[0] = 1300;
    script.acLineStatus = row.acLineStatus;
    const ScopedEntriesHook hook(&UseScriptedPower, script);
    ThermalSources sources;
    ASSERT_TRUE(sources.Open(row.mask));
    const ThermalReading reading = sources.Read();
    EXPECT_TRUE(reading.hasLimit) << row.mask;
    EXPECT_EQ(row.limit, reading.limitPercent) << row.mask;
    EXPECT_EQ(row.onBattery, reading.onBattery) << row.mask;
  }
}

TEST(MeasureThermal, ASourceThatFailsDuringARunIsLeftOutFromThenOn) {
  Script script;
  script.acLineStatus = 0;
  // Open makes one trial call each; the second reading's calls fail once.
  script.powerInformationFailsAt = 2;
  script.powerStatusFailsAt = 2;
  const ScopedEntriesHook hook(&UseScriptedPower, script);
  ThermalSources sources;
  ASSERT_TRUE(sources.Open(1));
  ThermalReading reading = sources.Read();
  EXPECT_TRUE(reading.hasLimit && reading.onBattery);
  reading = sources.Read();
  EXPECT_FALSE(reading.hasLimit || reading.onBattery);
  const int callsAfterFailure = g_script.powerInformationCalls;
  reading = sources.Read();
  EXPECT_FALSE(reading.hasLimit || reading.onBattery) << "a failed source is not asked again";
  EXPECT_EQ(callsAfterFailure, g_script.powerInformationCalls);
}

TEST(MeasureThermal, NothingAnswersWithoutTheEntriesOrWhenTheCallFails) {
  {
    const ScopedEntriesHook hook(&UseNothing);
    EXPECT_FALSE(ThermalSources().Open(1));
  }
  Script failing;
  failing.powerInformationFailsAt = -2;
  const ScopedEntriesHook hook(&UseScriptedPower, failing);
  ThermalSources sources;
  EXPECT_FALSE(sources.Open(1)) << "the power source alone enables nothing";
  EXPECT_FALSE(sources.Read().hasLimit);
}

TEST(RunDialog, ThermalPiecesStopWithoutABoxWhenTheirSourceFails) {
  Script script;
  script.mhzLimit[0] = script.mhzLimit[1] = 1430;  // 55 %
  script.powerInformationFailsAt = 4;              // init's trial, Start's trial, two samples
  const ScopedEntriesHook hook(&UseScriptedPower, script);
  run_harness::RunInDialog([](run_harness::HarnessDialog& d) {
    EXPECT_TRUE(IsWindowEnabled(GetDlgItem(d.Window(), IDC_THERMAL_MONITOR)));
    d.SetCheck(IDC_THERMAL_MONITOR, true);
    d.SetCheck(IDC_SAVE_ON_STOP, false);
    MessageBoxWatcher boxes;
    d.OnStartStop();
    d.firstSampleTick = GetTickCount();
    for (int sample = 0; sample < 4; ++sample) d.OnSampleTimer();
    d.OnStartStop();
    const auto lines = test_text::SplitLines(d.Log());
    ASSERT_EQ(6u, lines.size()) << d.Log();
    const std::regex withLimit(R"(\d\d:\d\d:\d\d, [ \d]{3}\d+\.\d\d MHz, \(limit 55%\))");
    const std::regex clockOnly(R"(\d\d:\d\d:\d\d, [ \d]{3}\d+\.\d\d MHz)");
    for (size_t i = 1; i <= 4; ++i) {
      EXPECT_TRUE(std::regex_match(lines[i], i <= 2 ? withLimit : clockOnly)) << lines[i];
    }
    EXPECT_TRUE(boxes.Boxes().empty());
  });
}

TEST(RunDialog, TheThermalBoxIsDisabledAndLogsNothingWhereNothingAnswers) {
  const ScopedEntriesHook hook(&UseNothing);
  run_harness::RunInDialog([](run_harness::HarnessDialog& d) {
    EXPECT_FALSE(IsWindowEnabled(GetDlgItem(d.Window(), IDC_THERMAL_MONITOR)));
    d.SetCheck(IDC_THERMAL_MONITOR, true);  // as a saved value would show it
    d.OnStartStop();
    EXPECT_EQ(1, d.thermalMonitor);
    EXPECT_FALSE(d.measureThermal);
    d.firstSampleTick = GetTickCount();
    d.OnSampleTimer();
    d.OnStartStop();
    EXPECT_EQ(std::string::npos, d.Log().find(", ("));
  });
}
