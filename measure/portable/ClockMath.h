// Clock arithmetic: pure functions over counter readings, no platform calls.
#pragma once
#include <cstdint>

// One back-to-back reading of the three time sources, in this order.
struct ClockSnapshot {
  uint32_t mmTime = 0;  // multimedia timer, ms, wraps at 2^32
  int64_t hpc = 0;      // performance counter
  uint64_t tsc = 0;     // time-stamp counter
};

// Wrap-around differences, later reading first, taken as unsigned.
constexpr uint64_t TscDelta(uint64_t later, uint64_t earlier) { return later - earlier; }
constexpr uint64_t HpcDelta(int64_t later, int64_t earlier) {
  return static_cast<uint64_t>(later) - static_cast<uint64_t>(earlier);
}
constexpr uint32_t MsDelta(uint32_t later, uint32_t earlier) { return later - earlier; }

// floor(a * b / c) with a 128-bit intermediate, so the product never loses its
// high bits; 0 when c is 0, all ones when the quotient itself needs more than 64 bits.
uint64_t MulDivFloor(uint64_t a, uint64_t b, uint64_t c);

// TSC ticks per second from one window against the performance counter.
uint64_t TscFrequency(uint64_t tscTicks, uint64_t counterFrequency, uint64_t counterTicks);

// CPUID passes per calibration window: the low 32 bits of tscHz / divisor. A
// divisor of 0 means the default 1000.
constexpr uint32_t kDefaultDivisor = 1000;
uint32_t SpinCount(uint64_t tscHz, uint32_t divisor);

// TSC ticks per reference tick over one window; 0.0 when no reference time
// passed (no performance counter), never infinity or NaN.
double WindowRatio(uint64_t tscTicks, uint64_t referenceTicks);
double GeometricMean(double first, double second);

// Whether the multimedia-timer window begun at the millisecond edge `edgeMs`
// is still open at `nowMs`. Measured as elapsed time, so a window across the
// 2^32 wrap lasts as long as any other, and a zero length still waits for
// the next edge.
bool MmWindowOpen(uint32_t edgeMs, uint32_t nowMs, uint32_t windowMs);

// The CPU clock in MHz over the interval between two snapshots, against the MM
// timer (with tscPerMs) or the performance counter (with tscPerHpcTick). 0.0
// when no reference time passed or the ratio is 0.
double ComputeCpuClockMhz(const ClockSnapshot& previous, const ClockSnapshot& current,
                          bool useMmTimer, uint64_t tscHz, double tscPerHpcTick, double tscPerMs);
