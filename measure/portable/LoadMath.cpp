#include "measure/portable/LoadMath.h"

#include <cmath>

#include "app/portable/ErrorCodes.h"

uint64_t IdleCalibrationLimit(uint64_t tscHz) { return tscHz != 0 ? tscHz / 200 : 5000000; }

double IdleCountsPerMs(uint32_t passes, uint32_t elapsedMs) {
  return static_cast<double>(passes) / static_cast<double>(elapsedMs != 0 ? elapsedMs : 1u);
}

float IdleLoadPercent(uint32_t count, uint32_t elapsedMs, double countsPerMs) {
  const double expected = static_cast<double>(elapsedMs) * countsPerMs;
  if (!(expected > 0.0) || !std::isfinite(expected)) return 0.0f;
  const double counted = static_cast<double>(count);
  const double used = counted <= expected ? counted : expected;
  return static_cast<float>(100.0 - used / expected * 100.0);
}

float NativeLoadPercent(NativeLoadHistory& history, int64_t idleTime, int64_t systemTime,
                        uint32_t processors) {
  const double idle = static_cast<double>(idleTime);
  const double time = static_cast<double>(systemTime);
  double idlePercent = 100.0;
  if (history.prevIdleTime != 0.0) {
    const double elapsed = time - history.prevSystemTime;
    if (elapsed != 0.0 && processors != 0) {
      idlePercent = (idle - history.prevIdleTime) / elapsed * 100.0 / processors;
    }
  }
  history.prevIdleTime = idle;
  history.prevSystemTime = time;
  return static_cast<float>(100.0 - idlePercent);
}
