// The load arithmetic of both methods, and the failure codes of the service.
#include <gtest/gtest.h>

#include <cmath>

#include "app/portable/ErrorCodes.h"
#include "measure/portable/LoadMath.h"
#include "measure/portable/MemoryMath.h"

TEST(LoadIdleThread, ShareOfTheFullSpeedCountNotReached) {
  // 30,000 ms at 10,000 passes per ms would be 300,000,000 passes.
  EXPECT_FLOAT_EQ(75.0f, IdleLoadPercent(75000000u, 30000u, 10000.0));
  EXPECT_FLOAT_EQ(100.0f, IdleLoadPercent(0u, 30000u, 10000.0));
  EXPECT_FLOAT_EQ(0.0f, IdleLoadPercent(400000000u, 30000u, 10000.0));  // limited
  EXPECT_FLOAT_EQ(25.0f, IdleLoadPercent(3000000000u, 40000u, 100000.0));
}

TEST(LoadIdleThread, NothingExpectedGivesZeroNotNaN) {
  const float noRate = IdleLoadPercent(1000u, 30000u, 0.0);
  const float noTime = IdleLoadPercent(1000u, 0u, 10000.0);
  EXPECT_EQ(0.0f, noRate);
  EXPECT_EQ(0.0f, noTime);
  EXPECT_EQ(0.0f, IdleLoadPercent(0u, 0u, 0.0));
}

TEST(LoadIdleThread, CalibrationRunLengthAndRate) {
  EXPECT_EQ(5000000u, IdleCalibrationLimit(0));
  EXPECT_EQ(15000000u, IdleCalibrationLimit(3000000000u));
  EXPECT_DOUBLE_EQ(10000.0, IdleCountsPerMs(15000000u, 1500u));
  // A run inside one tick still gives a finite rate.
  EXPECT_DOUBLE_EQ(1000.0, IdleCountsPerMs(1000u, 0u));
}

TEST(LoadNative, FirstReadingIsZeroThenTheIntervalsLoad) {
  NativeLoadHistory history;
  EXPECT_FLOAT_EQ(0.0f, NativeLoadPercent(history, 100000000, 500000000, 2));
  // Idle grew by 45,000,000 while 30,000,000 passed on 2 processors: 75 % idle.
  EXPECT_FLOAT_EQ(25.0f, NativeLoadPercent(history, 145000000, 530000000, 2));
  EXPECT_DOUBLE_EQ(145000000.0, history.prevIdleTime);
  EXPECT_DOUBLE_EQ(530000000.0, history.prevSystemTime);
  // Fully idle, then fully busy.
  EXPECT_FLOAT_EQ(0.0f, NativeLoadPercent(history, 205000000, 560000000, 2));
  EXPECT_FLOAT_EQ(100.0f, NativeLoadPercent(history, 205000000, 590000000, 2));
}

TEST(LoadNative, NoElapsedTimeOrNoProcessorGivesZero) {
  NativeLoadHistory history;
  NativeLoadPercent(history, 100000000, 500000000, 2);
  const float sameTime = NativeLoadPercent(history, 100000500, 500000000, 2);
  EXPECT_EQ(0.0f, sameTime);
  const float noProcessors = NativeLoadPercent(history, 100001000, 500010000, 0);
  EXPECT_EQ(0.0f, noProcessors);
  EXPECT_DOUBLE_EQ(500010000.0, history.prevSystemTime);
}

TEST(MemoryKilobytes, DropTheFractionAndKeepAll64Bits) {
  EXPECT_EQ(8388608u, BytesToKilobytes(8589934592ull));
  EXPECT_EQ(1u, BytesToKilobytes(1536u));
  EXPECT_EQ(0u, BytesToKilobytes(1023u));
  EXPECT_EQ(1ull << 32, BytesToKilobytes(1ull << 42));  // 4 TiB
  EXPECT_EQ(0x3FFFFFFFFFFFFFull, BytesToKilobytes(UINT64_MAX));
}

TEST(LoadFailureCodes, Win32ErrorsMapIntoTheWin32Facility) {
  EXPECT_EQ(static_cast<int32_t>(0x8007007Fu), FailureFromLastError(127));  // proc not found
  EXPECT_EQ(static_cast<int32_t>(0x80070008u), FailureFromLastError(8));
  EXPECT_EQ(static_cast<int32_t>(0x80071234u), FailureFromLastError(0x00051234u));
  EXPECT_EQ(static_cast<int32_t>(0x80070005u), codes::FromWin32(5));
}

TEST(LoadFailureCodes, NoErrorNumberStillReportsAFailure) {
  EXPECT_EQ(codes::kFail, FailureFromLastError(0));
  // Already an HRESULT: passes through.
  EXPECT_EQ(static_cast<int32_t>(0x80004005u), FailureFromLastError(0x80004005u));
}
