// Load and memory arithmetic: pure functions, no platform calls.
#pragma once
#include <cstdint>

// Passes of the full-speed counting run at the start of the idle-thread method:
// tscHz / 200, or five million without a TSC frequency.
uint64_t IdleCalibrationLimit(uint64_t tscHz);

// Full-speed passes per millisecond. A run shorter than the tick resolution
// counts as one millisecond, so the rate stays finite.
double IdleCountsPerMs(uint32_t passes, uint32_t elapsedMs);

// Load in percent from the idle thread's count over `elapsedMs`: the share of
// a full-speed count that it did not reach. 0.0 when nothing was expected (no
// rate measured, or no time elapsed), never infinity or NaN.
float IdleLoadPercent(uint32_t count, uint32_t elapsedMs, double countsPerMs);

// The previous successful native reading; both 0.0 before the first one.
struct NativeLoadHistory {
  double prevIdleTime = 0.0;
  double prevSystemTime = 0.0;
};

// Load in percent from the processors' summed idle time and the system time
// (same unit), over the interval since the previous reading, which it then
// replaces. The first reading gives 0.0, and so does an interval in which no
// system time passed or no processor is counted.
float NativeLoadPercent(NativeLoadHistory& history, int64_t idleTime, int64_t systemTime,
                        uint32_t processors);
