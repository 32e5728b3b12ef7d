#include "measure/ClockCalibration.h"

#include <mmsystem.h>

#include <utility>

#include "app/portable/ErrorCodes.h"
#include "measure/Processor.h"

void CpuidSpin(uint32_t count) {
  for (uint32_t pass = 0; pass < count; ++pass) ExecuteCpuid();
}

namespace {
// Reads `clock` until it moves on from where it stood, so that a window starts
// on an edge; returns that reading with the TSC read right after it.
template <typename Clock>
auto NextEdge(Clock clock) {
  const auto first = clock();
  auto value = first;
  uint64_t tsc = 0;
  do {
    value = clock();
    tsc = ReadTsc();
  } while (value == first);
  return std::make_pair(value, tsc);
}

HRESULT MeasureTscFrequencyTraced(uint64_t* tscHz, CalibrationTrace* trace) {
  RaiseMeasurementPriority(REALTIME_PRIORITY_CLASS);
  HRESULT result = codes::kFail;
  LARGE_INTEGER frequency;
  if (QueryPerformanceFrequency(&frequency)) {
    const auto [a, t0] = NextEdge(ReadPerformanceCounter);
    CpuidSpin(kFrequencyWindowSpins);
    const int64_t b = ReadPerformanceCounter();
    const uint64_t t1 = ReadTsc();
    if (trace != nullptr) {
      trace->frequencyWindowBegin = a;
      trace->frequencyWindowEnd = b;
    }
    *tscHz =
        TscFrequency(TscDelta(t1, t0), static_cast<uint64_t>(frequency.QuadPart), HpcDelta(b, a));
    result = codes::kOk;
  }
  DropMeasurementPriority();
  return result;
}

bool MeasureTscPerMsTraced(uint32_t windowMs, double* tscPerMs, CalibrationTrace* trace) {
  RaiseMeasurementPriority(HIGH_PRIORITY_CLASS);
  const auto [m0, t0] = NextEdge(timeGetTime);
  uint32_t m1;
  uint64_t t1;
  do {
    m1 = timeGetTime();
    t1 = ReadTsc();
  } while (MmWindowOpen(m0, m1, windowMs));
  DropMeasurementPriority();
  *tscPerMs = WindowRatio(TscDelta(t1, t0), MsDelta(m1, m0));
  if (trace != nullptr) trace->mmWindowMs = MsDelta(m1, m0);
  return true;
}
}  // namespace

HRESULT MeasureTscFrequency(uint64_t* tscHz) { return MeasureTscFrequencyTraced(tscHz, nullptr); }

bool MeasureTscPerMs(uint32_t windowMs, double* tscPerMs) {
  return MeasureTscPerMsTraced(windowMs, tscPerMs, nullptr);
}

ClockCalibration CalibrateClock(uint32_t divisor, uint32_t mmDelayMs, uint32_t affinityMask,
                                uint32_t sleepMs, CalibrationTrace* trace) {
  CalibrationTrace unused;
  CalibrationTrace& steps = trace != nullptr ? *trace : unused;
  ClockCalibration calibration;
  if (trace != nullptr) steps.begin = ReadPerformanceCounter();
  if (sleepMs != 0) Sleep(sleepMs);

  SYSTEM_INFO system;
  GetSystemInfo(&system);
  if (system.dwNumberOfProcessors > 1) SetThreadAffinityMask(GetCurrentThread(), affinityMask);
  if (trace != nullptr) steps.afterPause = ReadPerformanceCounter();

  // The first window spans the frequency measurement and one spin, the second
  // only the second spin.
  const int64_t q0 = ReadPerformanceCounter();
  const uint64_t t0 = ReadTsc();
  calibration.tscHz = 0;
  MeasureTscFrequencyTraced(&calibration.tscHz, trace);
  if (trace != nullptr) steps.afterFrequency = ReadPerformanceCounter();
  const uint32_t spin = SpinCount(calibration.tscHz, divisor);
  CpuidSpin(spin);
  const int64_t q1 = ReadPerformanceCounter();
  const uint64_t t1 = ReadTsc();
  steps.afterFirstSpin = q1;
  const double firstRatio = WindowRatio(TscDelta(t1, t0), HpcDelta(q1, q0));
  CpuidSpin(spin);
  const int64_t q2 = ReadPerformanceCounter();
  const uint64_t t2 = ReadTsc();
  steps.afterSecondSpin = q2;
  const double secondRatio = WindowRatio(TscDelta(t2, t1), HpcDelta(q2, q1));
  calibration.tscPerHpcTick = GeometricMean(secondRatio, firstRatio);

  timeBeginPeriod(1);
  MeasureTscPerMsTraced(mmDelayMs, &calibration.tscPerMs, trace);
  if (trace != nullptr) steps.end = ReadPerformanceCounter();
  return calibration;
}

ClockSnapshot TakeClockSnapshot() {
  ClockSnapshot snapshot;
  snapshot.mmTime = timeGetTime();
  snapshot.hpc = ReadPerformanceCounter();
  snapshot.tsc = ReadTsc();
  return snapshot;
}
