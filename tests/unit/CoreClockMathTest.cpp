#include "measure/portable/CoreClockMath.h"

#include <gtest/gtest.h>

#include <cstring>

namespace {
ChainRound Round(uint32_t passes, std::initializer_list<uint64_t> shortTicks,
                 std::initializer_list<uint64_t> longTicks) {
  ChainRound round;
  round.passes = passes;
  std::copy(shortTicks.begin(), shortTicks.end(), round.shortTicks);
  std::copy(longTicks.begin(), longTicks.end(), round.longTicks);
  return round;
}

uint32_t Register(const char* fourBytes) {
  uint32_t value = 0;
  std::memcpy(&value, fourBytes, 4);
  return value;
}
}  // namespace

TEST(CoreClockMath, LoopCostCancelsAndTheShortestWindowOfEachLengthCounts) {
  // 10,000 passes: 480,000 extra adds. At 10 MHz a 3,000 MHz core takes 1,600
  // ticks for them, whatever the loop and the counter reads cost on top.
  const struct {
    ChainRound round;
    double cyclesPerAdd;
    double mhz;
  } rows[] = {
      {Round(10000, {600, 600, 600}, {2200, 2200, 2200}), 1.0, 3000.0},
      {Round(10000, {900, 900, 900}, {2500, 2500, 2500}), 1.0, 3000.0},   // dearer loop
      {Round(10000, {9000, 600, 700}, {2200, 8000, 2300}), 1.0, 3000.0},  // interrupted windows
      {Round(10000, {600, 600, 600}, {2200, 2200, 2200}), 0.5, 1500.0},   // half-cycle adds
      {Round(10000, {600, 600, 600}, {600, 600, 600}), 1.0, 0.0},         // nothing added
      {Round(10000, {700, 700, 700}, {600, 600, 600}), 1.0, 0.0},
      {Round(0, {600, 600, 600}, {2200, 2200, 2200}), 1.0, 0.0},
  };
  for (const auto& row : rows) {
    EXPECT_DOUBLE_EQ(row.mhz, ChainClockMhz(row.round, row.cyclesPerAdd, 10000000));
  }
  EXPECT_DOUBLE_EQ(0.0, ChainClockMhz(rows[0].round, 1.0, 0));
}

TEST(CoreClockMath, WarmUpEndsWhenTwoRoundsAgree) {
  EXPECT_TRUE(RoundsAgree(3600.0, 3605.0));
  EXPECT_FALSE(RoundsAgree(1800.0, 3600.0));  // still ramping up
  EXPECT_FALSE(RoundsAgree(3600.0, 3620.0));
  EXPECT_FALSE(RoundsAgree(0.0, 3600.0));
}

TEST(CoreClockMath, AnUnsettledWarmUpTakesTheMedianOfItsLastThreeRounds) {
  const double rounds[] = {1800.0, 3500.0, 3600.0, 2400.0, 3610.0};
  EXPECT_DOUBLE_EQ(3600.0, UnsettledFigure(rounds, 5));  // 2400 was preempted
  EXPECT_DOUBLE_EQ(2650.0, UnsettledFigure(rounds, 2));
  EXPECT_DOUBLE_EQ(1800.0, UnsettledFigure(rounds, 1));
  EXPECT_DOUBLE_EQ(0.0, UnsettledFigure(rounds, 0));
}

TEST(CoreClockMath, PassesAimAtTheWindowInBoundedSteps) {
  EXPECT_EQ(2000u, NextPasses(1000, 1000, 2000));
  EXPECT_EQ(500u, NextPasses(1000, 4000, 2000));
  EXPECT_EQ(16000u, NextPasses(1000, 1, 2000));  // at most 16 times at once
  EXPECT_EQ(16000u, NextPasses(1000, 0, 2000));
  EXPECT_EQ(16u, NextPasses(0, 0, 2000));
  EXPECT_EQ(16u, NextPasses(16, 1000000, 2000));
}

TEST(CoreClockMath, AddLatencyTable) {
  const struct {
    const char* vendor;
    uint32_t signature;  // CPUID leaf 1 EAX
    uint32_t family, model;
    double cycles;
    bool known;
  } rows[] = {
      {"GenuineIntel", 0x00000F24, 15, 2, 0.5, true},    // Northwood
      {"GenuineIntel", 0x00000F12, 15, 1, 0.5, true},    // Willamette
      {"GenuineIntel", 0x00000F34, 15, 3, 1.0, true},    // Prescott
      {"GenuineIntel", 0x000906EA, 6, 0x9E, 1.0, true},  // Coffee Lake
      {"GenuineIntel", 0x00000543, 5, 4, 1.0, true},     // Pentium MMX
      {"AuthenticAMD", 0x00A00F11, 25, 1, 1.0, true},    // Zen 3 EPYC
      {"AuthenticAMD", 0x00000662, 6, 6, 1.0, true},     // Athlon XP
      {"CyrixInstead", 0x00000520, 5, 2, 1.0, false},    // not in the table
      {"GenuineIntel", 0x00000480, 4, 8, 1.0, false},
  };
  for (const auto& row : rows) {
    const ProcessorKind kind = DecodeProcessor(Register(row.vendor), Register(row.vendor + 4),
                                               Register(row.vendor + 8), row.signature);
    EXPECT_EQ(row.vendor, kind.vendor);
    EXPECT_EQ(row.family, kind.family) << row.signature;
    EXPECT_EQ(row.model, kind.model) << row.signature;
    const AddLatency latency = AddLatencyFor(kind);
    EXPECT_EQ(row.cycles, latency.cycles) << row.signature;
    EXPECT_EQ(row.known, latency.known) << row.signature;
  }
}
