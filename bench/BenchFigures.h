// What the benchmarks under bench/ measure with: the host kernel's CPU time of
// the calling thread, and the median and worst of a series.
#pragma once
#include <windows.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <vector>

// The thread's CPU time as the host kernel counts it, in nanoseconds; -1 where
// it cannot be asked. Wine's GetThreadTimes counts in 10 ms clock ticks (it
// reads /proc), too coarse for a call of a few milliseconds, so this asks the
// kernel directly: a Windows thread under Wine is a Linux thread.
inline int64_t HostThreadCpuNs() {
  constexpr long kThreadCpuClock = 3;  // CLOCK_THREAD_CPUTIME_ID
#if defined(__i386__)
  struct {
    int32_t seconds, nanoseconds;
  } time{};
  int32_t result;
  __asm__ __volatile__("int $0x80"
                       : "=a"(result)
                       : "a"(265 /* clock_gettime */), "b"(kThreadCpuClock), "c"(&time)
                       : "memory");
#else
  struct {
    int64_t seconds, nanoseconds;
  } time{};
  int64_t result;
  __asm__ __volatile__("syscall"
                       : "=a"(result)
                       : "a"(228 /* clock_gettime */), "D"(kThreadCpuClock), "S"(&time)
                       : "rcx", "r11", "memory");
#endif
  if (result != 0) return -1;
  return static_cast<int64_t>(time.seconds) * 1000000000 + time.nanoseconds;
}

struct Spread {
  double median = 0.0, worst = 0.0;
};
// The median and the largest magnitude, keeping the sign of the largest.
inline Spread SpreadOf(std::vector<double> values) {
  Spread spread;
  if (values.empty()) return spread;
  for (double value : values) {
    if (std::fabs(value) > std::fabs(spread.worst)) spread.worst = value;
  }
  std::sort(values.begin(), values.end());
  const size_t middle = values.size() / 2;
  spread.median =
      values.size() % 2 != 0 ? values[middle] : (values[middle - 1] + values[middle]) / 2;
  return spread;
}
