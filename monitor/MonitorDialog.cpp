#include "monitor/MonitorDialog.h"

MonitorDialog::MonitorDialog()
    : trayIcon(*this),
      startDelayMinutes(0),
      checkPeriodSeconds(0),
      tscHz(0),
      lastTsc(0),
      lastHpc(0),
      lastMmTime(0),
      tscPerHpcTick(0.0),
      tscPerMs(0.0),
      idleCountsPerMs(0.0),
      checkCpuClock(0),
      checkCpuLoad(0),
      checkBusClock(0),
      thermalMonitor(0),
      saveOnStop(0),
      useIdleThread(0),
      useMmTimer(0),
      availableMemory(0),
      checkCoreClock(0),
      isNt(0),
      idleThreadActive(0),
      running(0),
      firstSampleTick(0),
      idleWrapTick(0),
      coolBits(0),
      querySystemInformation(nullptr),
      logEdit(nullptr),
      startButton(nullptr),
      exitButton(nullptr),
      saveButton(nullptr),
      journalFailureShown(false),
      leavingSession(false),
      loadMethod(LoadMethod::kNone),
      measureCoreClock(false),
      idleRunGeneration(0),
      idleRunClaimed(0),
      idleThreadId(0) {}

// The tray icon removes itself as a member.
MonitorDialog::~MonitorDialog() { EndCountingThreads(); }

ClockSnapshot MonitorDialog::LastSnapshot() const {
  ClockSnapshot snapshot;
  snapshot.mmTime = lastMmTime;
  snapshot.hpc = lastHpc;
  snapshot.tsc = lastTsc;
  return snapshot;
}

void MonitorDialog::KeepSnapshot(const ClockSnapshot& snapshot) {
  lastMmTime = snapshot.mmTime;
  lastHpc = snapshot.hpc;
  lastTsc = snapshot.tsc;
}
