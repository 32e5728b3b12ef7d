// The core clock against the test's own measure, and calibration readings that
// a preemption interrupted.
#include <gtest/gtest.h>
#include <windows.h>
#include <mmsystem.h>

#include <algorithm>
#include <cmath>

#include "measure/ClockCalibration.h"
#include "measure/CoreClock.h"
#include "tests/common/ChainReference.h"

TEST(MeasureCoreClock, AgreesWithAMultiplyChainOverLongerWindows) {
  // Pinned as the dialog's thread is, so both measure the same core.
  const DWORD_PTR previousMask = SetThreadAffinityMask(GetCurrentThread(), 1);
  const double before = chain_reference::CoreClockMhz();
  double measured = 0.0;
  CoreClockTrace trace;
  ASSERT_TRUE(MeasureCoreClock(ProcessorAddLatency().cycles, &measured, &trace));
  const double after = chain_reference::CoreClockMhz();
  SetThreadAffinityMask(GetCurrentThread(), previousMask);
  // The host's clock may move between the readings: within 2 % of either.
  const double nearest =
      std::min(std::fabs(measured / before - 1.0), std::fabs(measured / after - 1.0));
  EXPECT_LT(nearest, 0.02) << measured << " MHz against " << before << " and " << after << " MHz, "
                           << trace.rounds << " rounds";
}

namespace {
int interruptions = 0;
// The first edge's reading is held up as if the thread lost the processor
// for 5 ms between the timer and the TSC.
void InterruptFirstEdge(bool edge) {
  if (edge && interruptions++ == 0) Sleep(5);
}
}  // namespace

TEST(MeasureCoreClock, InterruptedCalibrationEdgeIsTakenAgain) {
  timeBeginPeriod(1);
  uint64_t tscHz = 0;
  ASSERT_EQ(S_OK, MeasureTscFrequency(&tscHz));
  interruptions = 0;
  calibration_seam::SetReadingHook(InterruptFirstEdge);
  double tscPerMs = 0.0;
  MeasureTscPerMs(300, &tscPerMs);
  calibration_seam::SetReadingHook(nullptr);
  timeEndPeriod(1);
  ASSERT_GT(interruptions, 1);
  // Kept, the interrupted edge would shorten the 300 ms window's TSC span by
  // 5 ms: 1.7 % off.
  const double error = tscPerMs * 1000.0 / static_cast<double>(tscHz) - 1.0;
  EXPECT_LT(std::fabs(error), 0.002) << error * 1e6 << " ppm";
}
