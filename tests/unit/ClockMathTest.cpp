// The clock arithmetic: frequency quotient, window ratios, spin count, the
// clock figure, and the wrap-around differences they rest on.
#include <gtest/gtest.h>

#include <cmath>

#include "measure/portable/ClockMath.h"

namespace {
ClockSnapshot Snapshot(uint32_t mmTime, int64_t hpc, uint64_t tsc) {
  ClockSnapshot snapshot;
  snapshot.mmTime = mmTime;
  snapshot.hpc = hpc;
  snapshot.tsc = tsc;
  return snapshot;
}
}  // namespace

TEST(ClockFrequency, TruncatesTheExactQuotient) {
  // 80,000,000 x 3,579,545 / 143,181 = 2,000,011,174.667
  EXPECT_EQ(2000011174u, TscFrequency(80000000u, 3579545u, 143181u));
}

TEST(ClockFrequency, ProductBeyond64BitsKeepsItsHighBits) {
  // 30 s of a 5 GHz TSC against a 10 MHz counter: the product is 1.5e18 x 1e7.
  const uint64_t tscTicks = 150000000000ull;
  EXPECT_EQ(5000000000ull, TscFrequency(tscTicks, 10000000u, 300000000u));
  // An exact case far beyond 2^64 in the middle.
  EXPECT_EQ(UINT64_MAX / 3, MulDivFloor(UINT64_MAX, UINT64_MAX / 3, UINT64_MAX));
  EXPECT_EQ(0xFFFFFFFFFFFFFFFEull, MulDivFloor(UINT64_MAX, UINT64_MAX - 1, UINT64_MAX));
}

TEST(ClockFrequency, SmallProductsAgreeWithPlainArithmetic) {
  for (uint64_t a : {0ull, 1ull, 999ull, 123456789ull, 4000000000ull}) {
    for (uint64_t b : {1ull, 7ull, 3579545ull, 10000000ull}) {
      for (uint64_t c : {1ull, 3ull, 143181ull, 1000000007ull}) {
        EXPECT_EQ(a * b / c, MulDivFloor(a, b, c)) << a << " " << b << " " << c;
      }
    }
  }
}

TEST(ClockFrequency, NoCounterTicksGivesZero) {
  EXPECT_EQ(0u, TscFrequency(80000000u, 3579545u, 0u));
}

TEST(ClockSpinCount, IsTheLow32BitsOfTheQuotient) {
  EXPECT_EQ(2000000u, SpinCount(2000000000u, 1000));
  EXPECT_EQ(705032704u, SpinCount(5000000000ull, 1));
  EXPECT_EQ(0u, SpinCount(999, 1000));
  EXPECT_EQ(0u, SpinCount(0, 1000));
}

TEST(ClockSpinCount, DivisorZeroUsesTheDefault) {
  EXPECT_EQ(SpinCount(2000000000u, kDefaultDivisor), SpinCount(2000000000u, 0));
  EXPECT_EQ(2000000u, SpinCount(2000000000u, 0));
}

TEST(ClockWindows, GeometricMeanOfTheTwoRatios) {
  EXPECT_NEAR(299.99993, GeometricMean(300.2, 299.8), 0.000005);
  EXPECT_DOUBLE_EQ(300.0, WindowRatio(90000, 300));
  EXPECT_DOUBLE_EQ(0.0, WindowRatio(90000, 0));
}

TEST(ClockWindows, MmWindowEndsAfterItsLength) {
  EXPECT_TRUE(MmWindowOpen(1000, 1000, 50));
  EXPECT_TRUE(MmWindowOpen(1000, 1049, 50));
  EXPECT_FALSE(MmWindowOpen(1000, 1050, 50));
  EXPECT_FALSE(MmWindowOpen(1000, 1051, 50));
}

TEST(ClockWindows, MmWindowAcrossTheWrapLastsItsFullLength) {
  const uint32_t edge = 0xFFFFFFF0u;  // edge + 50 overflows 32 bits
  EXPECT_TRUE(MmWindowOpen(edge, edge + 1, 50));
  EXPECT_TRUE(MmWindowOpen(edge, 0x10u, 50));  // 32 ms after the edge
  EXPECT_FALSE(MmWindowOpen(edge, 0x22u, 50));
}

TEST(ClockWindows, ZeroLengthStillWaitsForTheNextEdge) {
  EXPECT_TRUE(MmWindowOpen(500, 500, 0));
  EXPECT_FALSE(MmWindowOpen(500, 501, 0));
  EXPECT_TRUE(MmWindowOpen(0xFFFFFFFFu, 0xFFFFFFFFu, 0));
  EXPECT_FALSE(MmWindowOpen(0xFFFFFFFFu, 0u, 0));
}

TEST(ClockDeltas, WrapAroundDifferencesAreUnsigned) {
  EXPECT_EQ(0x20u, TscDelta(0x10u, 0xFFFFFFFFFFFFFFF0ull));
  EXPECT_EQ(0x20u, MsDelta(0x10u, 0xFFFFFFF0u));
  EXPECT_EQ(0x20u, HpcDelta(INT64_MIN + 0x10, INT64_MAX - 0xF));
  EXPECT_EQ(5u, HpcDelta(3, -2));
}

TEST(ClockMhz, MmTimerReference) {
  const ClockSnapshot previous = Snapshot(1000, 0, 0);
  const ClockSnapshot current = Snapshot(31000, 0, 60000000000ull);
  EXPECT_DOUBLE_EQ(2000.0,
                   ComputeCpuClockMhz(previous, current, true, 2000000000u, 0.0, 2000000.0));
}

TEST(ClockMhz, PerformanceCounterReference) {
  const ClockSnapshot previous = Snapshot(0, 100, 0);
  const ClockSnapshot current = Snapshot(0, 300000100, 91500000000ull);
  EXPECT_NEAR(3050.0, ComputeCpuClockMhz(previous, current, false, 3000000000u, 300.0, 0.0), 1e-9);
}

TEST(ClockMhz, CountersWrappingBetweenSnapshots) {
  const ClockSnapshot previous = Snapshot(0xFFFFFFFFu - 9999, 0, 0xFFFFFFFFFFFFFFFFull - 999);
  const ClockSnapshot current = Snapshot(20000, 0, 60000000000ull - 1000);
  EXPECT_DOUBLE_EQ(2000.0,
                   ComputeCpuClockMhz(previous, current, true, 2000000000u, 0.0, 2000000.0));
}

TEST(ClockMhz, FailedCalibrationOrNoElapsedTimeGivesZero) {
  const ClockSnapshot previous = Snapshot(1000, 100, 0);
  const ClockSnapshot later = Snapshot(31000, 300000100, 60000000000ull);
  // No TSC frequency: the MM timer figure is 0.
  EXPECT_EQ(0.0, ComputeCpuClockMhz(previous, later, true, 0, 0.0, 2000000.0));
  // No reference time between the snapshots, or no ratio: 0, never inf or NaN.
  const ClockSnapshot same = Snapshot(1000, 100, 5000);
  EXPECT_EQ(0.0, ComputeCpuClockMhz(previous, same, true, 2000000000u, 300.0, 2000000.0));
  EXPECT_EQ(0.0, ComputeCpuClockMhz(previous, same, false, 2000000000u, 300.0, 2000000.0));
  EXPECT_EQ(0.0, ComputeCpuClockMhz(previous, later, true, 2000000000u, 300.0, 0.0));
  EXPECT_EQ(0.0, ComputeCpuClockMhz(previous, later, false, 2000000000u, 0.0, 2000000.0));
  EXPECT_EQ(0.0, ComputeCpuClockMhz(previous, later, false, 2000000000u, std::nan(""), 1.0));
}
