// The clock calibration and snapshots against the platform's real counters.
#include <gtest/gtest.h>
#include <windows.h>
#include <mmsystem.h>

#include <cmath>

#include "measure/ClockCalibration.h"
#include "measure/Processor.h"
#include "tests/win/TestThread.h"

namespace {
constexpr uint32_t kQuickDivisor = 1000000;

double CounterFrequency() {
  LARGE_INTEGER frequency;
  QueryPerformanceFrequency(&frequency);
  return static_cast<double>(frequency.QuadPart);
}

// The TSC rate over `ms` of sleeping, against the performance counter.
double IndependentTscHz(DWORD ms) {
  const int64_t q0 = ReadPerformanceCounter();
  const uint64_t t0 = ReadTsc();
  Sleep(ms);
  const int64_t q1 = ReadPerformanceCounter();
  const uint64_t t1 = ReadTsc();
  return static_cast<double>(t1 - t0) * CounterFrequency() / static_cast<double>(q1 - q0);
}

double Relative(double value, double reference) { return std::fabs(value / reference - 1.0); }
}  // namespace

TEST(MeasureClock, SnapshotsAdvanceTogether) {
  const ClockSnapshot first = TakeClockSnapshot();
  Sleep(200);
  const ClockSnapshot second = TakeClockSnapshot();
  const double mmSeconds = MsDelta(second.mmTime, first.mmTime) / 1000.0;
  const double hpcSeconds =
      static_cast<double>(HpcDelta(second.hpc, first.hpc)) / CounterFrequency();
  EXPECT_GE(mmSeconds, 0.19);
  EXPECT_NEAR(mmSeconds, hpcSeconds, 0.01);
  EXPECT_GT(TscDelta(second.tsc, first.tsc), 0u);
}

TEST(MeasureClock, FrequencyAgreesWithAnIndependentMeasurement) {
  uint64_t tscHz = 0;
  ASSERT_EQ(S_OK, MeasureTscFrequency(&tscHz));
  const double reference = IndependentTscHz(300);
  // The 400,000-pass window is short; a percent is far beyond any real error.
  EXPECT_LT(Relative(static_cast<double>(tscHz), reference), 0.01) << tscHz << " " << reference;
}

TEST(MeasureClock, CalibrationConstantsAgreeWithEachOther) {
  const ClockCalibration calibration = CalibrateClock(kQuickDivisor, 100, 1, 0);
  ASSERT_GT(calibration.tscHz, 0u);
  const double hz = static_cast<double>(calibration.tscHz);
  EXPECT_LT(Relative(calibration.tscPerHpcTick * CounterFrequency(), hz), 0.01);
  // A 100 ms window of a 1 ms timer.
  EXPECT_LT(Relative(calibration.tscPerMs * 1000.0, hz), 0.03);
  timeEndPeriod(1);
}

TEST(MeasureClock, ClockFigureOfASampleMatchesTheCalibration) {
  const ClockCalibration calibration = CalibrateClock(kQuickDivisor, 100, 1, 0);
  const ClockSnapshot first = TakeClockSnapshot();
  Sleep(300);
  const ClockSnapshot second = TakeClockSnapshot();
  const double mhz = static_cast<double>(calibration.tscHz) / 1e6;
  const double withCounter = ComputeCpuClockMhz(first, second, false, calibration.tscHz,
                                                calibration.tscPerHpcTick, calibration.tscPerMs);
  const double withMmTimer = ComputeCpuClockMhz(first, second, true, calibration.tscHz,
                                                calibration.tscPerHpcTick, calibration.tscPerMs);
  EXPECT_LT(Relative(withCounter, mhz), 0.01) << withCounter;
  EXPECT_LT(Relative(withMmTimer, mhz), 0.05) << withMmTimer;
  timeEndPeriod(1);
}

TEST(MeasureClock, PrioritiesAreNormalAfterwardsWhateverTheyWere) {
  SetPriorityClass(GetCurrentProcess(), ABOVE_NORMAL_PRIORITY_CLASS);
  SetThreadPriority(GetCurrentThread(), THREAD_PRIORITY_HIGHEST);
  uint64_t tscHz = 0;
  MeasureTscFrequency(&tscHz);
  EXPECT_EQ(static_cast<DWORD>(NORMAL_PRIORITY_CLASS), GetPriorityClass(GetCurrentProcess()));
  EXPECT_EQ(THREAD_PRIORITY_NORMAL, GetThreadPriority(GetCurrentThread()));

  SetPriorityClass(GetCurrentProcess(), BELOW_NORMAL_PRIORITY_CLASS);
  SetThreadPriority(GetCurrentThread(), THREAD_PRIORITY_LOWEST);
  double tscPerMs = 0.0;
  EXPECT_TRUE(MeasureTscPerMs(20, &tscPerMs));
  EXPECT_EQ(static_cast<DWORD>(NORMAL_PRIORITY_CLASS), GetPriorityClass(GetCurrentProcess()));
  EXPECT_EQ(THREAD_PRIORITY_NORMAL, GetThreadPriority(GetCurrentThread()));
}

TEST(MeasureClock, ZeroLengthMmWindowGivesAFinitePositiveRate) {
  for (int attempt = 0; attempt < 20; ++attempt) {
    double tscPerMs = -1.0;
    EXPECT_TRUE(MeasureTscPerMs(0, &tscPerMs));
    EXPECT_TRUE(std::isfinite(tscPerMs));
    EXPECT_GT(tscPerMs, 0.0);
  }
}

TEST(MeasureClock, MmWindowLastsItsLength) {
  double tscPerMs = 0.0;
  const DWORD before = timeGetTime();
  MeasureTscPerMs(150, &tscPerMs);
  EXPECT_GE(timeGetTime() - before, 150u);
}

TEST(MeasureClock, DivisorZeroCalibratesLikeTheDefault) {
  const ClockCalibration calibration = CalibrateClock(0, 20, 1, 0);
  ASSERT_GT(calibration.tscHz, 0u);
  EXPECT_LT(Relative(calibration.tscPerHpcTick * CounterFrequency(),
                     static_cast<double>(calibration.tscHz)),
            0.01);
  timeEndPeriod(1);
}

TEST(MeasureClock, PauseComesFirstWhenAsked) {
  const DWORD before = GetTickCount();
  CalibrateClock(kQuickDivisor, 10, 1, 400);
  EXPECT_GE(GetTickCount() - before, 400u);
  timeEndPeriod(1);
}

TEST(MeasureClock, AffinityOfTheCallingThreadFollowsTheMask) {
  SYSTEM_INFO system;
  GetSystemInfo(&system);
  if (system.dwNumberOfProcessors < 2) GTEST_SKIP() << "one processor: no affinity is set";
  DWORD_PTR seen = 0;
  TestThread calibrating([&seen] {
    CalibrateClock(kQuickDivisor, 10, 2, 0);
    // Setting it again returns the mask in force.
    seen = SetThreadAffinityMask(GetCurrentThread(), 1);
    timeEndPeriod(1);
  });
  ASSERT_TRUE(calibrating.Started());
  calibrating.Join();
  EXPECT_EQ(2u, seen);
}

TEST(MeasureClock, SpinOfZeroPassesDoesNothing) {
  const uint64_t before = ReadTsc();
  CpuidSpin(0);
  const uint64_t empty = ReadTsc() - before;
  const uint64_t start = ReadTsc();
  CpuidSpin(20000);
  EXPECT_GT(ReadTsc() - start, empty * 100);
}
