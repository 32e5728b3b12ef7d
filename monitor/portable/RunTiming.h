// Timing of a run: the start delay, the sample timer's period and the test
// whether a sample is due, all on the 32-bit millisecond tick count that wraps
// every 49.7 days.
#pragma once
#include <cstdint>

// The start delay in milliseconds; the product wraps like the tick count.
constexpr uint32_t StartDelayMs(uint32_t minutes) { return minutes * 60000u; }

// SetTimer's longest period (USER_TIMER_MAXIMUM, about 24.8 days).
constexpr uint32_t kLongestTimerPeriodMs = 0x7FFFFFFFu;

// The sample timer's period; the product wraps at 32 bits. A period of 0 (left by
// a failed check, or a huge one that wraps to 0) runs at one second rather than
// as fast as the platform's timer allows. Windows 2000 and XP before SP2 turn a
// period above USER_TIMER_MAXIMUM into 1 ms (the MSDN Library's SetTimer page), so a
// longer one is held at that maximum, as later systems do themselves.
constexpr uint32_t TimerPeriodMs(uint32_t seconds) {
  const uint32_t period = seconds * 1000u;
  if (period == 0) return 1000u;
  return period > kLongestTimerPeriodMs ? kLongestTimerPeriodMs : period;
}

// True once `now` has reached `deadline`. The wrapped difference is compared,
// so a deadline on the far side of the wrap is still ahead, not long past.
constexpr bool SampleIsDue(uint32_t now, uint32_t deadline) {
  return static_cast<int32_t>(now - deadline) >= 0;
}
