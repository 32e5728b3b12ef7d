#include "measure/ClockCalibration.h"

#include <mmsystem.h>

#include <algorithm>
#include <tuple>
#include <utility>

#include "app/portable/ErrorCodes.h"
#include "measure/Processor.h"

void CpuidSpin(uint32_t count) {
  for (uint32_t pass = 0; pass < count; ++pass) ExecuteCpuid();
}

namespace calibration_seam {
namespace {
ReadingHook readingHook = nullptr;
}
void SetReadingHook(ReadingHook hook) { readingHook = hook; }
}  // namespace calibration_seam

namespace {
// A reading that took longer than this was interrupted: the thread lost the
// processor between the clock and the TSC, and the pair no longer belongs
// together. It is taken again, as the Linux kernel's TSC calibration does
// with its reference reads (arch/x86/kernel/tsc.c). An accepted edge is known
// to within this, so over the default 1000 ms window the two ends add at most
// 30 ppm; where the counter itself is slow to read (the timer chip of the 95
// family), the limit follows its quiet cost.
constexpr int64_t kLongestReadingMicroseconds = 15;
constexpr int64_t kQuietReadingsPerLimit = 8;
// Past this many retakes the next reading is kept: a machine whose readings
// are all slow still calibrates.
constexpr uint32_t kMostEdgeRetakes = 100;
constexpr uint32_t kMostPairRetakes = 1000;

// The fastest of a few back-to-back readings of both clocks and the TSC.
int64_t QuietReadingTicks() {
  int64_t fastest = INT64_MAX;
  for (int reading = 0; reading < 16; ++reading) {
    const int64_t start = ReadPerformanceCounter();
    static_cast<void>(timeGetTime());
    static_cast<void>(ReadTsc());
    fastest = std::min(fastest, static_cast<int64_t>(HpcDelta(ReadPerformanceCounter(), start)));
  }
  return fastest;
}

// In performance-counter ticks; 0 when there is no counter to bracket with.
int64_t LongestReadingTicks() {
  static const int64_t limit = [] {
    LARGE_INTEGER frequency;
    if (!QueryPerformanceFrequency(&frequency) || frequency.QuadPart <= 0) return int64_t{0};
    return std::max({int64_t{2}, frequency.QuadPart * kLongestReadingMicroseconds / 1000000,
                     kQuietReadingsPerLimit * QuietReadingTicks()});
  }();
  return limit;
}

bool Uninterrupted(int64_t from, int64_t to, int64_t limit) {
  return limit == 0 || static_cast<int64_t>(HpcDelta(to, from)) <= limit;
}

uint64_t ReadTscAfterClock(bool edge) {
  if (calibration_seam::readingHook != nullptr) calibration_seam::readingHook(edge);
  return ReadTsc();
}

// Reads `clock` until it moves on from where it stood, so that a window starts
// on an edge; returns that reading with the TSC read right after it. The edge
// lies between the previous reading and this one: when the two together took
// too long, the edge is not known well enough and the next one is taken.
template <typename Clock>
auto NextEdge(Clock clock) {
  const int64_t limit = LongestReadingTicks();
  int64_t previousStart = ReadPerformanceCounter();
  auto last = clock();
  for (uint32_t retakes = 0;;) {
    const int64_t start = ReadPerformanceCounter();
    const auto value = clock();
    const uint64_t tsc = ReadTscAfterClock(value != last);
    const int64_t end = ReadPerformanceCounter();
    if (value != last) {
      if (Uninterrupted(previousStart, end, limit) || ++retakes > kMostEdgeRetakes) {
        return std::make_pair(value, tsc);
      }
      last = value;
    }
    previousStart = start;
  }
}

// The performance counter with the TSC read right after it, taken again when
// the pair was interrupted.
std::pair<int64_t, uint64_t> CounterAndTsc() {
  const int64_t limit = LongestReadingTicks();
  for (uint32_t retakes = 0;;) {
    const int64_t counter = ReadPerformanceCounter();
    const uint64_t tsc = ReadTscAfterClock(true);
    const int64_t end = ReadPerformanceCounter();
    if (Uninterrupted(counter, end, limit) || ++retakes > kMostPairRetakes) {
      return {counter, tsc};
    }
  }
}

HRESULT MeasureTscFrequencyTraced(uint64_t* tscHz, CalibrationTrace* trace) {
  RaiseMeasurementPriority(REALTIME_PRIORITY_CLASS);
  HRESULT result = codes::kFail;
  LARGE_INTEGER frequency;
  if (QueryPerformanceFrequency(&frequency)) {
    const auto [a, t0] = NextEdge(ReadPerformanceCounter);
    CpuidSpin(kFrequencyWindowSpins);
    const auto [b, t1] = CounterAndTsc();
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
  // The window ends on an edge too, taken the same way.
  uint32_t m1;
  uint64_t t1;
  do {
    std::tie(m1, t1) = NextEdge(timeGetTime);
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
  const auto [q0, t0] = CounterAndTsc();
  calibration.tscHz = 0;
  MeasureTscFrequencyTraced(&calibration.tscHz, trace);
  if (trace != nullptr) steps.afterFrequency = ReadPerformanceCounter();
  const uint32_t spin = SpinCount(calibration.tscHz, divisor);
  CpuidSpin(spin);
  const auto [q1, t1] = CounterAndTsc();
  steps.afterFirstSpin = q1;
  const double firstRatio = WindowRatio(TscDelta(t1, t0), HpcDelta(q1, q0));
  CpuidSpin(spin);
  const auto [q2, t2] = CounterAndTsc();
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
