// Clock arithmetic: pure functions over counter readings, no platform calls.
#pragma once
#include <cstdint>

// One back-to-back reading of the three time sources, in this order.
struct ClockSnapshot {
  uint32_t mmTime = 0;  // multimedia timer, ms, wraps at 2^32
  int64_t hpc = 0;      // performance counter
  uint64_t tsc = 0;     // time-stamp counter
};

// The CPU clock in MHz over the interval between two snapshots, against the MM
// timer (with tscPerMs) or the performance counter (with tscPerHpcTick).
double ComputeCpuClockMhz(const ClockSnapshot& previous, const ClockSnapshot& current,
                          bool useMmTimer, uint64_t tscHz, double tscPerHpcTick, double tscPerMs);
