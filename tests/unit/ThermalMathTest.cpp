#include "measure/portable/ThermalMath.h"

#include <gtest/gtest.h>

#include <cmath>

#include "monitor/portable/LogText.h"

TEST(ThermalMath, LimitsAreRoundedHeldAtOneHundredAndRefusedWhenNoFigure) {
  const struct {
    double percent;
    bool answers;
    unsigned rounded;
  } rows[] = {{55.4, true, 55},   {55.5, true, 56}, {0.0, true, 0}, {100.0, true, 100},
              {130.0, true, 100}, {-1.0, false, 0}, {NAN, false, 0}};
  for (const auto& row : rows) {
    unsigned rounded = 999;
    EXPECT_EQ(row.answers, LimitPercent(row.percent, &rounded)) << row.percent;
    if (row.answers) {
      EXPECT_EQ(row.rounded, rounded) << row.percent;
    }
  }
  unsigned percent = 0;
  EXPECT_TRUE(LimitPercentFromMhz(1300, 2600, &percent));
  EXPECT_EQ(50u, percent);
  EXPECT_FALSE(LimitPercentFromMhz(1300, 0, &percent));
}

TEST(ThermalMath, TheLowestLimitAndTheHottestZoneWin) {
  ThermalReading reading;
  TakeLowerLimit(reading, 100);
  TakeLowerLimit(reading, 55);
  TakeLowerLimit(reading, 80);
  EXPECT_TRUE(reading.hasLimit);
  EXPECT_EQ(55u, reading.limitPercent);
  double celsius = 0.0;
  EXPECT_FALSE(CelsiusFromKelvin(0.0, &celsius));  // a zone without a sensor
  ASSERT_TRUE(CelsiusFromKelvin(370.15, &celsius));
  EXPECT_NEAR(97.0, celsius, 1e-9);
  TakeHotterZone(reading, 40.0);
  TakeHotterZone(reading, celsius);
  TakeHotterZone(reading, 60.0);
  EXPECT_NEAR(97.0, reading.celsius, 1e-9);
}

TEST(ThermalMath, TheAffinityMaskChoosesProcessorsOrAllWhenItNamesNone) {
  EXPECT_TRUE(ProcessorSelected(1, 0, 4));
  EXPECT_FALSE(ProcessorSelected(1, 1, 4));
  EXPECT_TRUE(ProcessorSelected(0x6, 2, 4));
  EXPECT_TRUE(ProcessorSelected(0x10, 3, 2));  // no processor 4 here: all of them
  EXPECT_TRUE(ProcessorSelected(0, 1, 2));
}

TEST(LogText, ThermalPiecesComeInTheirOrderAndOnlyWhenAnswered) {
  ThermalReading reading;
  EXPECT_EQ("", ThermalPieces(reading));
  reading.hasLimit = true;
  reading.limitPercent = 55;
  EXPECT_EQ(", (limit 55%)", ThermalPieces(reading));
  reading.hasTemperature = true;
  reading.celsius = 97.04;
  reading.onBattery = true;
  EXPECT_EQ(", (limit 55%), (97.0 C), (on battery)", ThermalPieces(reading));
  reading.hasLimit = false;
  reading.celsius = -5.24;
  EXPECT_EQ(", (-5.2 C), (on battery)", ThermalPieces(reading));
}
