// Calibration of the time-stamp counter against the performance counter and
// the multimedia timer, and clock snapshots.
#pragma once
#include <windows.h>

#include <cstdint>

#include "measure/portable/ClockMath.h"

// The four tuning values of the settings key, with their defaults.
struct CalibrationTuning {
  uint32_t divisor = 1000;
  uint32_t mmDelayMs = 1000;
  uint32_t affinityMask = 1;
  uint32_t sleepMs = 0;
};

struct ClockCalibration {
  uint64_t tscHz = 0;  // 0 when there is no performance counter
  double tscPerHpcTick = 0.0;
  double tscPerMs = 0.0;
};

// Performance-counter readings at the steps of one calibration, for timing
// its parts; the MM window's own length in milliseconds.
struct CalibrationTrace {
  int64_t begin = 0;
  int64_t afterPause = 0;
  int64_t frequencyWindowBegin = 0;  // the counter edge after the 12 ms pause
  int64_t frequencyWindowEnd = 0;
  int64_t afterFrequency = 0;
  int64_t afterFirstSpin = 0;
  int64_t afterSecondSpin = 0;
  int64_t end = 0;
  uint32_t mmWindowMs = 0;
};

// CPUID passes in the window of MeasureTscFrequency.
constexpr uint32_t kFrequencyWindowSpins = 400000;

// Executes CPUID (EAX = 0) `count` times.
void CpuidSpin(uint32_t count);
// TSC ticks per second against the performance counter; E_FAIL, with nothing
// written, when there is no performance counter.
HRESULT MeasureTscFrequency(uint64_t* tscHz);
// TSC ticks per multimedia-timer millisecond over a window of `windowMs`
// (at least one millisecond edge). Always true.
bool MeasureTscPerMs(uint32_t windowMs, double* tscPerMs);
// Blocks for the calibration windows; leaves the 1 ms timer period requested.
ClockCalibration CalibrateClock(uint32_t divisor, uint32_t mmDelayMs, uint32_t affinityMask,
                                uint32_t sleepMs, CalibrationTrace* trace = nullptr);
// The MM timer, the performance counter and the TSC, back to back.
ClockSnapshot TakeClockSnapshot();

// Test hook: called between a calibration reading's clock and its TSC, where
// a preemption would part the two; `edge` when the clock reading is the one a
// window begins or ends at.
namespace calibration_seam {
using ReadingHook = void (*)(bool edge);
void SetReadingHook(ReadingHook hook);
}  // namespace calibration_seam
