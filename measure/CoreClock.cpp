#include "measure/CoreClock.h"

#include <algorithm>
#include <iterator>

#include "measure/Processor.h"
#include "measure/portable/ClockMath.h"

// The chains are written out so that the compiler can neither shorten nor
// parallelise them. The added register is not an immediate: some cores fold
// small immediate adds at rename and would run such a chain faster than their
// clock.
#define SENTEL_ADD_CHAIN(adds)                     \
  uint32_t value = 0;                              \
  const uint32_t step = 1;                         \
  if (passes == 0) passes = 1;                     \
  __asm__ __volatile__(                            \
      ".p2align 4\n"                               \
      "1:\n\t"                                     \
      ".rept " #adds                               \
      "\n\t"                                       \
      "addl %[step], %[value]\n\t"                 \
      ".endr\n\t"                                  \
      "subl $1, %[passes]\n\t"                     \
      "jnz 1b\n"                                   \
      : [value] "+r"(value), [passes] "+r"(passes) \
      : [step] "r"(step)                           \
      : "cc")

__attribute__((noinline)) void RunShortAddChain(uint32_t passes) { SENTEL_ADD_CHAIN(16); }
__attribute__((noinline)) void RunLongAddChain(uint32_t passes) { SENTEL_ADD_CHAIN(64); }
#undef SENTEL_ADD_CHAIN
static_assert(kShortChainAdds == 16 && kLongChainAdds == 64, "the chains above");

namespace {
// A long window of about 150 µs, and never under 1,500 counter ticks, so that
// a tick of a slow counter (1.19 MHz on the 95 family) is under 0.1 %.
constexpr uint64_t kWindowMicroseconds = 150;
constexpr uint64_t kFewestWindowTicks = 1500;
// An idle core reaches its working clock within about 17 ms on current
// processors; the warm-up stops there even if the rounds still move.
constexpr uint64_t kLongestMeasurementMicroseconds = 20000;

AddLatency FindProcessorAddLatency() {
  const CpuidRegisters vendor = Cpuid(0);
  const uint32_t signature = vendor.eax >= 1 ? Cpuid(1).eax : 0;
  return AddLatencyFor(DecodeProcessor(vendor.ebx, vendor.edx, vendor.ecx, signature));
}

template <typename Chain>
uint64_t TimeChain(Chain chain, uint32_t passes) {
  const int64_t begin = ReadPerformanceCounter();
  chain(passes);
  return HpcDelta(ReadPerformanceCounter(), begin);
}

// Short and long windows alternate, so that a clock that moves meanwhile
// moves under both.
ChainRound TimeRound(uint32_t passes) {
  ChainRound round;
  round.passes = passes;
  for (size_t window = 0; window < kWindowsPerRound; ++window) {
    round.shortTicks[window] = TimeChain(RunShortAddChain, passes);
    round.longTicks[window] = TimeChain(RunLongAddChain, passes);
  }
  return round;
}
}  // namespace

AddLatency ProcessorAddLatency() {
  // CPUID traps to a hypervisor: asked once, not at every sample.
  static const AddLatency latency = FindProcessorAddLatency();
  return latency;
}

bool MeasureCoreClock(double cyclesPerAdd, double* mhz, CoreClockTrace* trace) {
  LARGE_INTEGER frequency;
  if (!QueryPerformanceFrequency(&frequency) || frequency.QuadPart <= 0) return false;
  const auto counterFrequency = static_cast<uint64_t>(frequency.QuadPart);
  const uint64_t targetTicks =
      std::max(kFewestWindowTicks, counterFrequency * kWindowMicroseconds / 1000000);
  const uint64_t deadlineTicks = counterFrequency * kLongestMeasurementMicroseconds / 1000000;

  // The passes of the last measurement are where this one starts: the clock
  // seldom moves by much between samples.
  static uint32_t passes = 0;
  if (passes == 0) passes = NextPasses(0, 0, targetTicks);
  const int64_t begin = ReadPerformanceCounter();
  // The usable rounds' figures; a round lasts well over 0.3 ms, so no more
  // fit within the time allowed.
  double figures[80] = {};
  size_t usable = 0;
  double current = 0.0;
  uint32_t rounds = 0;
  bool settled = false;
  do {
    const ChainRound round = TimeRound(passes);
    ++rounds;
    const uint64_t longTicks = ShortestWindow(round.longTicks, kWindowsPerRound);
    // A round far from the window's length only sizes the next one.
    const bool sized = longTicks >= targetTicks / 2 && longTicks <= targetTicks * 2;
    const double figure = sized ? ChainClockMhz(round, cyclesPerAdd, counterFrequency) : 0.0;
    if (figure > 0.0) {
      settled = RoundsAgree(current, figure);
      current = figure;
      if (usable < std::size(figures)) figures[usable++] = figure;
    }
    passes = NextPasses(passes, longTicks, targetTicks);
  } while (!settled && HpcDelta(ReadPerformanceCounter(), begin) < deadlineTicks &&
           usable < std::size(figures));
  if (!settled) current = UnsettledFigure(figures, usable);

  if (trace != nullptr) {
    trace->rounds = rounds;
    trace->passes = passes;
    trace->settled = settled;
    trace->figureMhz = current;
    trace->counterTicks = static_cast<int64_t>(HpcDelta(ReadPerformanceCounter(), begin));
  }
  if (current <= 0.0) return false;
  *mhz = current;
  return true;
}
