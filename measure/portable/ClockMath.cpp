#include "measure/portable/ClockMath.h"

#include <cmath>

namespace {
struct Wide {
  uint64_t high;
  uint64_t low;
};

Wide Multiply(uint64_t a, uint64_t b) {
  const uint64_t aLow = a & 0xFFFFFFFFu, aHigh = a >> 32;
  const uint64_t bLow = b & 0xFFFFFFFFu, bHigh = b >> 32;
  const uint64_t lowLow = aLow * bLow;
  const uint64_t highLow = aHigh * bLow;
  const uint64_t lowHigh = aLow * bHigh;
  const uint64_t highHigh = aHigh * bHigh;
  const uint64_t middle = (lowLow >> 32) + (highLow & 0xFFFFFFFFu) + (lowHigh & 0xFFFFFFFFu);
  return {highHigh + (highLow >> 32) + (lowHigh >> 32) + (middle >> 32),
          (middle << 32) | (lowLow & 0xFFFFFFFFu)};
}
}  // namespace

uint64_t MulDivFloor(uint64_t a, uint64_t b, uint64_t c) {
  if (c == 0) return 0;
  const Wide product = Multiply(a, b);
  if (product.high >= c) return UINT64_MAX;
  // Shift-subtract division; the remainder stays below c throughout.
  uint64_t remainder = product.high;
  uint64_t quotient = 0;
  for (int bit = 63; bit >= 0; --bit) {
    const bool carry = (remainder >> 63) != 0;
    remainder = (remainder << 1) | ((product.low >> bit) & 1u);
    quotient <<= 1;
    if (carry || remainder >= c) {
      remainder -= c;
      quotient |= 1u;
    }
  }
  return quotient;
}

uint64_t TscFrequency(uint64_t tscTicks, uint64_t counterFrequency, uint64_t counterTicks) {
  return MulDivFloor(tscTicks, counterFrequency, counterTicks);
}

uint32_t SpinCount(uint64_t tscHz, uint32_t divisor) {
  return static_cast<uint32_t>(tscHz / (divisor != 0 ? divisor : kDefaultDivisor));
}

double WindowRatio(uint64_t tscTicks, uint64_t referenceTicks) {
  if (referenceTicks == 0) return 0.0;
  return static_cast<double>(tscTicks) / static_cast<double>(referenceTicks);
}

double GeometricMean(double first, double second) { return std::sqrt(second * first); }

bool MmWindowOpen(uint32_t edgeMs, uint32_t nowMs, uint32_t windowMs) {
  return MsDelta(nowMs, edgeMs) < (windowMs != 0 ? windowMs : 1u);
}

double ComputeCpuClockMhz(const ClockSnapshot& previous, const ClockSnapshot& current,
                          bool useMmTimer, uint64_t tscHz, double tscPerHpcTick, double tscPerMs) {
  const uint64_t tscTicks = TscDelta(current.tsc, previous.tsc);
  const uint64_t referenceTicks =
      useMmTimer ? MsDelta(current.mmTime, previous.mmTime) : HpcDelta(current.hpc, previous.hpc);
  const double ratio = useMmTimer ? tscPerMs : tscPerHpcTick;
  if (referenceTicks == 0 || !(ratio > 0.0)) return 0.0;
  const double ticksPerUnit = static_cast<double>(tscTicks) / static_cast<double>(referenceTicks);
  const double unitsPerSecond = static_cast<double>(tscHz) / ratio;
  const double mhz = ticksPerUnit * unitsPerSecond * 0.000001;
  return std::isfinite(mhz) ? mhz : 0.0;
}
