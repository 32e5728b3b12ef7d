// The sample tick: one line in the log per check period once the delay is over.
#include "app/MessageBoxes.h"
#include "measure/ClockCalibration.h"
#include "measure/CoreClock.h"
#include "measure/MemoryProbe.h"
#include "monitor/LocalClock.h"
#include "monitor/MonitorDialog.h"
#include "monitor/portable/LogText.h"
#include "monitor/portable/RunTiming.h"
#include "res/resource.h"

LRESULT MonitorDialog::OnSampleTimer() {
  const uint32_t now = GetTickCount();
  if (!SampleIsDue(now, firstSampleTick)) return 0;
  // Measured before anything slow or interactive, and stored before the load and
  // memory readings, whose message boxes let further ticks run meanwhile.
  const ClockSnapshot current = TakeClockSnapshot();
  const double mhz =
      ComputeCpuClockMhz(LastSnapshot(), current, useMmTimer != 0, tscHz, tscPerHpcTick, tscPerMs);
  KeepSnapshot(current);
  // The deadline follows the samples, so the wrapped difference stays small
  // however long the run lasts.
  firstSampleTick = now;

  // The load piece comes from the service this run started, or from none:
  // ticking "Check CPU load" during a run takes effect at the next Start.
  std::string line = ClockPiece(TimeText(ReadLocalTime()), mhz);
  // Before the load and memory readings, whose boxes could hold it back; a
  // figure that could not be measured leaves the piece out rather than guess.
  double coreMhz = 0.0;
  const bool coreMeasured =
      measureCoreClock && MeasureCoreClock(ProcessorAddLatency().cycles, &coreMhz);
  ThermalReading thermal;
  if (measureThermal) thermal = thermalSources.Read();
  HRESULT loadResult = S_OK;
  if (loadMethod != LoadMethod::kNone) {
    float load = 0.0f;
    loadResult = ReadLoad(&load);
    line += LoadPiece(load);
  }
  HRESULT memoryResult = S_OK;
  if (availableMemory) {
    uint64_t kilobytes = 0;
    memoryResult = ReadAvailableMemoryKb(isNt != 0, &kilobytes);
    line += MemoryPiece(kilobytes);
  }
  if (coreMeasured) line += CoreClockPiece(coreMhz);
  line += ThermalPieces(thermal);
  line += kEndOfLine;
  AppendLogText(line.c_str());
  // Only after the line: a box runs a nested loop in which later ticks go on
  // writing their lines, and while it is open they show no second one.
  if (FAILED(loadResult)) FatalErrorBoxUnlessOpen(IDS_MSG_NTQUERY_FAILED);
  if (FAILED(memoryResult)) FatalErrorBoxUnlessOpen(IDS_MSG_MEMSTATUS_NOT_FOUND);
  return 0;
}
