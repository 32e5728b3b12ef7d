// The sample tick: one line in the log per check period once the delay is over.
#include "measure/ClockCalibration.h"
#include "monitor/LocalClock.h"
#include "monitor/MonitorDialog.h"
#include "monitor/portable/LogText.h"
#include "monitor/portable/RunTiming.h"

LRESULT MonitorDialog::OnSampleTimer() {
  const uint32_t now = GetTickCount();
  if (!SampleIsDue(now, firstSampleTick)) return 0;
  // Measured before anything slow or interactive, and stored before the load and
  // memory readings, whose message boxes let further ticks run meanwhile.
  const ClockSnapshot current = TakeClockSnapshot();
  ClockSnapshot previous;
  previous.mmTime = lastMmTime;
  previous.hpc = lastHpc;
  previous.tsc = lastTsc;
  const double mhz = ComputeCpuClockMhz(previous, current, useMmTimer != 0, tscHz, tscPerHpcTick,
                                        tscPerMs);
  lastMmTime = current.mmTime;
  lastHpc = current.hpc;
  lastTsc = current.tsc;
  // The deadline follows the samples, so the wrapped difference stays small
  // however long the run lasts.
  firstSampleTick = now;

  std::string line = ClockPiece(TimeText(ReadLocalTime()), mhz);
  if (checkCpuLoad) {
    float load = 0.0f;
    GetLoad(&load);
    line += LoadPiece(load);
  }
  if (availableMemory) {
    uint64_t kilobytes = 0;
    GetAvailableMemoryKb(&kilobytes);
    line += MemoryPiece(kilobytes);
  }
  line += kEndOfLine;
  AppendLogText(line.c_str());
  return 0;
}
