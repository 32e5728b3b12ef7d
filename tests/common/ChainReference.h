// The tests' own measure of the core clock, independent of the program's: a
// chain of dependent multiplies (3 cycles each on the cores these tests run
// on: Core 2 and later, K8 and later), windows five times as long, the best
// of many.
#pragma once
#include <windows.h>

#include <algorithm>
#include <cstdint>

namespace chain_reference {

constexpr double kMultiplyCycles = 3.0;

#define SENTEL_MULTIPLY_CHAIN(multiplies)          \
  uint32_t value = 1;                              \
  const uint32_t factor = 1;                       \
  __asm__ __volatile__(                            \
      ".p2align 4\n"                               \
      "1:\n\t"                                     \
      ".rept " #multiplies                         \
      "\n\t"                                       \
      "imull %[factor], %[value]\n\t"              \
      ".endr\n\t"                                  \
      "subl $1, %[passes]\n\t"                     \
      "jnz 1b\n"                                   \
      : [value] "+r"(value), [passes] "+r"(passes) \
      : [factor] "r"(factor)                       \
      : "cc")
__attribute__((noinline)) inline void ShortChain(uint32_t passes) { SENTEL_MULTIPLY_CHAIN(8); }
__attribute__((noinline)) inline void LongChain(uint32_t passes) { SENTEL_MULTIPLY_CHAIN(40); }
#undef SENTEL_MULTIPLY_CHAIN
constexpr uint32_t kExtraMultiplies = 40 - 8;

inline int64_t Counter() {
  LARGE_INTEGER count;
  QueryPerformanceCounter(&count);
  return count.QuadPart;
}

template <typename Chain>
int64_t Time(Chain chain, uint32_t passes) {
  const int64_t begin = Counter();
  chain(passes);
  return Counter() - begin;
}

// The clock in MHz over long windows of about `windowUs`, after a warm-up.
// Many windows, since on a busy machine most of them lose the processor once.
inline double CoreClockMhz(int64_t windowUs = 1000, int windows = 15) {
  LARGE_INTEGER frequency;
  QueryPerformanceFrequency(&frequency);
  const int64_t target = frequency.QuadPart * windowUs / 1000000;
  uint32_t passes = 64;
  // Sizing doubles as the warm-up: at least 20 ms of work before any window counts.
  const int64_t warmUpEnd = Counter() + frequency.QuadPart / 50;
  while (Time(LongChain, passes) < target || Counter() < warmUpEnd) {
    if (Time(LongChain, passes) < target) passes *= 2;
  }
  int64_t shortest = INT64_MAX, longest = INT64_MAX;
  for (int window = 0; window < windows; ++window) {
    shortest = std::min(shortest, Time(ShortChain, passes));
    longest = std::min(longest, Time(LongChain, passes));
  }
  if (longest <= shortest) return 0.0;
  const double seconds =
      static_cast<double>(longest - shortest) / static_cast<double>(frequency.QuadPart);
  return kExtraMultiplies * static_cast<double>(passes) * kMultiplyCycles / seconds / 1e6;
}

}  // namespace chain_reference
