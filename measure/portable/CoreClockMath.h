// The arithmetic of the core clock: a chain of dependent adds timed at two
// lengths against the performance counter, and the adds' latency on the
// processor at hand. No platform calls.
#pragma once
#include <cstddef>
#include <cstdint>
#include <string>

// Adds per pass of the two chains; the long one's extra adds are what is timed.
constexpr uint32_t kShortChainAdds = 16;
constexpr uint32_t kLongChainAdds = 64;
// Windows of each length per round; the shortest of each counts.
constexpr size_t kWindowsPerRound = 3;

// One round: each window's length in performance-counter ticks.
struct ChainRound {
  uint32_t passes = 0;
  uint64_t shortTicks[kWindowsPerRound] = {};
  uint64_t longTicks[kWindowsPerRound] = {};
};

// The shortest window: an interrupt or a preemption only ever lengthens one.
uint64_t ShortestWindow(const uint64_t* ticks, size_t count);

// The clock in MHz of a round: the long chain's extra adds over the time they
// added, which cancels the loop, the call and the counter reads. 0.0 when the
// long chain did not take longer or nothing was timed.
double ChainClockMhz(const ChainRound& round, double cyclesPerAdd, uint64_t counterFrequency);

// Whether two successive rounds agree closely enough to end the warm-up.
bool RoundsAgree(double previousMhz, double currentMhz);
// Half a percent: a core that speeds up moves by far more from one round to
// the next, and a tighter bound only lets the normal flutter of a clock (a few
// tenths of a percent within milliseconds) prolong the warm-up.
constexpr double kAgreement = 0.005;

// The figure of a warm-up that ran out of time before two rounds agreed: the
// median of its last three usable rounds, so that one round a preemption
// distorted does not decide it. 0.0 without any.
double UnsettledFigure(const double* roundsMhz, size_t count);

// Passes for the next round so that its long window lasts about `targetTicks`,
// from the passes and the long window of the last one.
uint32_t NextPasses(uint32_t passes, uint64_t longTicks, uint64_t targetTicks);

// The processor as CPUID leaves 0 and 1 describe it.
struct ProcessorKind {
  std::string vendor;   // "GenuineIntel", "AuthenticAMD", ...
  uint32_t family = 0;  // with the extended family where it applies
  uint32_t model = 0;   // with the extended model where it applies
};
// From leaf 0's EBX, EDX, ECX (the vendor) and leaf 1's EAX (the signature).
ProcessorKind DecodeProcessor(uint32_t ebx, uint32_t edx, uint32_t ecx, uint32_t signature);

// The latency of one `add r32, r32` in a dependent chain, in core cycles.
struct AddLatency {
  double cycles = 1.0;
  bool known = false;  // false: not in the table, the safe default of one cycle
};
AddLatency AddLatencyFor(const ProcessorKind& processor);
