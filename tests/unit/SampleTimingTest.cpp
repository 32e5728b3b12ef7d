#include <gtest/gtest.h>

#include "monitor/portable/RunTiming.h"

TEST(SampleTiming, StartDelayIsInMinutesOnTheTickScale) {
  EXPECT_EQ(0u, StartDelayMs(0));
  EXPECT_EQ(60000u, StartDelayMs(1));
  EXPECT_EQ(7200000u, StartDelayMs(120));
}

TEST(SampleTiming, TimerPeriodIsInSecondsAndZeroRunsAtOneSecond) {
  EXPECT_EQ(1000u, TimerPeriodMs(1));
  EXPECT_EQ(300000u, TimerPeriodMs(300));
  EXPECT_EQ(400000u, TimerPeriodMs(400));
  EXPECT_EQ(1000u, TimerPeriodMs(0));
  EXPECT_EQ(1000u, TimerPeriodMs(536870912u));  // 536,870,912,000 ms wraps to exactly 0
}

// Above USER_TIMER_MAXIMUM, Windows 2000 and XP before SP2 would fire every millisecond.
TEST(SampleTiming, TimerPeriodStaysWithinTheLongestTheTimerTakes) {
  EXPECT_EQ(2147483000u, TimerPeriodMs(2147483u));
  EXPECT_EQ(0x7FFFFFFFu, TimerPeriodMs(2147484u));
  EXPECT_EQ(0x7FFFFFFFu, TimerPeriodMs(4294967u));  // 4,294,967,000 ms
}

TEST(SampleTiming, NoSampleBeforeTheDeadline) {
  EXPECT_FALSE(SampleIsDue(1000, 61000));
  EXPECT_FALSE(SampleIsDue(60999, 61000));
  EXPECT_TRUE(SampleIsDue(61000, 61000));
  EXPECT_TRUE(SampleIsDue(61001, 61000));
  EXPECT_TRUE(SampleIsDue(61000 + 300000, 61000));
}

TEST(SampleTiming, TheDeadlineSurvivesTheTickCountWrap) {
  // Started two minutes before the wrap with a five-minute delay.
  const uint32_t start = 0xFFFFFFFFu - 120000u;
  const uint32_t deadline = start + StartDelayMs(5);
  ASSERT_LT(deadline, start);  // the sum wrapped
  EXPECT_FALSE(SampleIsDue(start, deadline));
  EXPECT_FALSE(SampleIsDue(start + 1000u, deadline));
  EXPECT_FALSE(SampleIsDue(5000u, deadline));
  EXPECT_TRUE(SampleIsDue(deadline, deadline));
  EXPECT_TRUE(SampleIsDue(deadline + 1000u, deadline));
  // A deadline just before the wrap, reached by a tick just after it.
  EXPECT_TRUE(SampleIsDue(10u, 0xFFFFFFF0u));
}
