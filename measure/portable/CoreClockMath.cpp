#include "measure/portable/CoreClockMath.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace {
// A dependent `add r32, r32` chain, cycles per add. Processors outside these
// rows use one cycle, the latency of a simple ALU operation on every x86 core
// documented since the i486.
struct AddLatencyRow {
  const char* vendor;
  uint32_t family;
  uint32_t firstModel;
  uint32_t lastModel;
  double cycles;
  // Sources: A. Fog, "Instruction tables" (agner.org/optimize), and
  // T. Granlund, "Instruction latencies and throughput for AMD and Intel x86
  // processors" (gmplib.org/~tege/x86-timing.pdf).
};
constexpr AddLatencyRow kAddLatencies[] = {
    // Pentium: ADD r,r 1 clock (Fog, "Pentium and Pentium MMX").
    {"GenuineIntel", 5, 0, 0xFF, 1.0},
    // Pentium Pro to the current cores: 1 (Fog, each family-6 table; Granlund, "P6").
    {"GenuineIntel", 6, 0, 0xFF, 1.0},
    // Willamette and Northwood: the double-speed ALU adds in half a clock
    // (Fog, "Pentium 4": ADD r,r latency 0.5; Granlund, "P4 F0-F2").
    {"GenuineIntel", 15, 0, 2, 0.5},
    // Prescott and later Pentium 4: 1 (Fog, "Pentium 4 E"; Granlund, "P4 F3-F6").
    {"GenuineIntel", 15, 3, 0xFF, 1.0},
    // K6 to Zen: 1 (Fog, "AMD K7" to "AMD Zen 4"; AMD's software optimization
    // guides for families 10h to 19h, Appendix "Instruction latencies").
    {"AuthenticAMD", 5, 6, 0xFF, 1.0},
    {"AuthenticAMD", 6, 0, 0xFF, 1.0},
    {"AuthenticAMD", 15, 0, 0xFF, 1.0},
    {"AuthenticAMD", 16, 0, 0xFF, 1.0},
    {"AuthenticAMD", 17, 0, 0xFF, 1.0},
    {"AuthenticAMD", 18, 0, 0xFF, 1.0},
    {"AuthenticAMD", 20, 0, 0xFF, 1.0},
    {"AuthenticAMD", 21, 0, 0xFF, 1.0},
    {"AuthenticAMD", 22, 0, 0xFF, 1.0},
    {"AuthenticAMD", 23, 0, 0xFF, 1.0},
    {"AuthenticAMD", 25, 0, 0xFF, 1.0},
    {"AuthenticAMD", 26, 0, 0xFF, 1.0},
    // Nano: 1 (Fog, "VIA Nano 2000 / 3000 series").
    {"CentaurHauls", 6, 15, 15, 1.0},
};

void AppendRegister(std::string& text, uint32_t value) {
  char bytes[4];
  std::memcpy(bytes, &value, sizeof bytes);
  text.append(bytes, sizeof bytes);
}
}  // namespace

uint64_t ShortestWindow(const uint64_t* ticks, size_t count) {
  if (count == 0) return 0;
  return *std::min_element(ticks, ticks + count);
}

double ChainClockMhz(const ChainRound& round, double cyclesPerAdd, uint64_t counterFrequency) {
  const uint64_t shortest = ShortestWindow(round.shortTicks, kWindowsPerRound);
  const uint64_t longest = ShortestWindow(round.longTicks, kWindowsPerRound);
  if (longest <= shortest || counterFrequency == 0 || round.passes == 0) return 0.0;
  const double extraAdds =
      static_cast<double>(kLongChainAdds - kShortChainAdds) * static_cast<double>(round.passes);
  const double seconds =
      static_cast<double>(longest - shortest) / static_cast<double>(counterFrequency);
  return extraAdds * cyclesPerAdd / seconds / 1e6;
}

bool RoundsAgree(double previousMhz, double currentMhz) {
  if (previousMhz <= 0.0 || currentMhz <= 0.0) return false;
  return std::fabs(currentMhz - previousMhz) <= kAgreement * currentMhz;
}

double UnsettledFigure(const double* roundsMhz, size_t count) {
  if (count == 0) return 0.0;
  const size_t kept = std::min<size_t>(count, 3);
  double last[3] = {};
  std::copy(roundsMhz + count - kept, roundsMhz + count, last);
  std::sort(last, last + kept);
  return kept == 2 ? (last[0] + last[1]) / 2.0 : last[kept / 2];
}

uint32_t NextPasses(uint32_t passes, uint64_t longTicks, uint64_t targetTicks) {
  constexpr uint32_t kFewest = 16;
  constexpr uint32_t kMost = 1u << 24;
  if (passes == 0) return kFewest;
  // Nothing measurable yet: grow fast, but by a bounded step.
  if (longTicks == 0) return std::min(kMost, passes * 16);
  const double scaled = static_cast<double>(passes) * static_cast<double>(targetTicks) /
                        static_cast<double>(longTicks);
  const double bounded = std::min(scaled, static_cast<double>(passes) * 16.0);
  return static_cast<uint32_t>(
      std::clamp(bounded, static_cast<double>(kFewest), static_cast<double>(kMost)));
}

ProcessorKind DecodeProcessor(uint32_t ebx, uint32_t edx, uint32_t ecx, uint32_t signature) {
  ProcessorKind kind;
  AppendRegister(kind.vendor, ebx);
  AppendRegister(kind.vendor, edx);
  AppendRegister(kind.vendor, ecx);
  const uint32_t baseFamily = (signature >> 8) & 0xF;
  const uint32_t baseModel = (signature >> 4) & 0xF;
  kind.family = baseFamily == 0xF ? baseFamily + ((signature >> 20) & 0xFF) : baseFamily;
  // The extended model counts for families 6 and 15 (Intel's rule, which
  // AMD's "family 0Fh and above" matches).
  kind.model = baseFamily == 0x6 || baseFamily == 0xF ? baseModel | (((signature >> 16) & 0xF) << 4)
                                                      : baseModel;
  return kind;
}

AddLatency AddLatencyFor(const ProcessorKind& processor) {
  for (const AddLatencyRow& row : kAddLatencies) {
    if (processor.vendor == row.vendor && processor.family == row.family &&
        processor.model >= row.firstModel && processor.model <= row.lastModel) {
      return {row.cycles, true};
    }
  }
  return {};
}
