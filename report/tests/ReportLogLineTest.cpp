// The shapes of log lines: every piece in place, and every way a line can miss one.
#include <gtest/gtest.h>

#include <utility>
#include <string>

#include "report/LogLine.h"

using namespace report;

TEST(ReportLogLine, SampleLinesWithEveryCombinationOfPieces) {
  struct Row {
    const char* line;
    unsigned second;
    double mhz;
    const char* mhzText;
    const char* load;  // null: no load piece
    const char* memory;
  } const rows[] = {
      {"14:05:30, 2399.87 MHz", 14 * 3600 + 5 * 60 + 30, 2399.87, "2399.87", nullptr, nullptr},
      {"14:06:00, 2399.91 MHz, (12.5%), (523712 K)", 50760, 2399.91, "2399.91", "12.5", "523712"},
      {"14:06:30,  996.40 MHz, (523700 K)", 50790, 996.40, "996.40", nullptr, "523700"},
      {"00:00:00,    0.00 MHz, (100.0%)", 0, 0, "0.00", "100.0", nullptr},
      {"23:59:59, 12345.67 MHz, (-0.0%), (18446744073709551615 K)", 86399, 12345.67, "12345.67",
       "-0.0", "18446744073709551615"},
  };
  for (const Row& row : rows) {
    SampleLine sample;
    ASSERT_TRUE(ParseSampleLine(row.line, sample)) << row.line;
    EXPECT_EQ(row.second, sample.secondOfDay) << row.line;
    EXPECT_DOUBLE_EQ(row.mhz, sample.mhz) << row.line;
    EXPECT_EQ(row.mhzText, sample.mhzText) << row.line;
    EXPECT_EQ(row.load != nullptr, sample.hasLoad) << row.line;
    if (row.load) {
      EXPECT_EQ(row.load, sample.loadText) << row.line;
    }
    EXPECT_EQ(row.memory != nullptr, sample.hasMemory) << row.line;
    if (row.memory) {
      EXPECT_EQ(row.memory, sample.memoryText) << row.line;
    }
  }
}

TEST(ReportLogLine, LinesOfEveryWrongShapeAreNoSample) {
  const char* rows[] = {
      "",
      "14:05:30",
      "14:05:30, 2399.87",
      "14:05:30, 2399.87 MHz ",
      "14:05:30, 2399.8 MHz",
      "14:05:30, 2399 MHz",
      "14:05:30,2399.87 MHz",
      "24:00:00, 2399.87 MHz",
      "14:60:00, 2399.87 MHz",
      "14:05:60, 2399.87 MHz",
      "4:05:30, 2399.87 MHz",
      "14:05:30, 2399.87 GHz",
      "14:05:30, 2399.87 MHz, (12.5%)x",
      "14:05:30, 2399.87 MHz, (12.55%)",
      "14:05:30, 2399.87 MHz, (12.5 %)",
      "14:05:30, 2399.87 MHz, (523712 K), (12.5%)",
      "14:05:30, 2399.87 MHz, (523712K)",
      "14:05:30, 2399.87 MHz, (-5 K)",
      "14:05:30, 2399.87 MHz, (18446744073709551616 K)",
      "14:05:30, 2399.87 MHz, ()",
      "14:05:30, 2399.87 MHz,",
      "started: 12/31/05, 23:59:58 (HPC is used)",
  };
  for (const char* line : rows) {
    SampleLine sample;
    EXPECT_FALSE(ParseSampleLine(line, sample)) << line;
  }
}

TEST(ReportLogLine, TheCoreClockPieceLastWithOrWithoutTheOthers) {
  struct Row {
    const char* pieces;  // after "14:06:00, 2596.01 MHz"
    const char* core;    // null: the line is no sample
    bool load, memory;
  } const rows[] = {
      {", (12.5%), (523712 K), (core 3612.40 MHz)", "3612.40", true, true},
      {", (core  996.40 MHz)", "996.40", false, false},
      {", (12.5%), (core 10000.00 MHz)", "10000.00", true, false},
      {", (523712 K), (core 12345.67 MHz)", "12345.67", false, true},
      {", (core 3612.4 MHz)", nullptr, false, false},
      {", (core3612.40 MHz)", nullptr, false, false},
      {", (Core 3612.40 MHz)", nullptr, false, false},
      {", (core 3612.40 MHz) ", nullptr, false, false},
      {", (core 3612.40 MHz), (12.5%)", nullptr, false, false},
      {", (core 3612.40 MHz), (523712 K)", nullptr, false, false},
  };
  for (const Row& row : rows) {
    const std::string line = std::string("14:06:00, 2596.01 MHz") + row.pieces;
    SampleLine sample;
    ASSERT_EQ(row.core != nullptr, ParseSampleLine(line, sample)) << line;
    if (!row.core) continue;
    EXPECT_EQ(row.core, sample.coreText) << line;
    EXPECT_DOUBLE_EQ(std::stod(row.core), sample.coreMhz) << line;
    EXPECT_EQ(std::make_pair(row.load, row.memory),
              std::make_pair(sample.hasLoad, sample.hasMemory))
        << line;
  }
}

TEST(ReportLogLine, StampedLinesInAnyLanguage) {
  struct Row {
    const char* line;
    const char* label;
    int year;
    unsigned month, day, second;
    const char* note;  // null: none
  } const rows[] = {
      {"started: 12/31/05, 23:59:58 (HPC is used)", "started", 2005, 12, 31, 86398, "HPC is used"},
      {"stopped: 01/01/06, 00:29:58", "stopped", 2006, 1, 1, 1798, nullptr},
      {"gestartet: 02/29/04, 10:00:00 (MM-Timer wird verwendet)", "gestartet", 2004, 2, 29, 36000,
       "MM-Timer wird verwendet"},
      {"gestoppt: 07/04/99, 12:00:00", "gestoppt", 1999, 7, 4, 43200, nullptr},
      {"interrupted: 01/01/69, 00:00:01 (the run ended without Stop)", "interrupted", 1969, 1, 1, 1,
       "the run ended without Stop"},
      {"unterbrochen: 12/31/68, 23:59:59 (Lauf ohne Stoppen beendet)", "unterbrochen", 2068, 12, 31,
       86399, "Lauf ohne Stoppen beendet"},
  };
  for (const Row& row : rows) {
    StampedLine stamped;
    ASSERT_TRUE(ParseStampedLine(row.line, stamped)) << row.line;
    EXPECT_EQ(row.label, stamped.label) << row.line;
    EXPECT_EQ(row.year, stamped.year) << row.line;
    EXPECT_EQ(row.month, stamped.month) << row.line;
    EXPECT_EQ(row.day, stamped.day) << row.line;
    EXPECT_EQ(row.second, stamped.secondOfDay) << row.line;
    EXPECT_EQ(row.note != nullptr, stamped.hasNote) << row.line;
    if (row.note) {
      EXPECT_EQ(row.note, stamped.note) << row.line;
    }
  }
}

TEST(ReportLogLine, StampedLinesOfWrongShape) {
  const char* rows[] = {
      "started 12/31/05, 23:59:58 (HPC is used)",
      ": 12/31/05, 23:59:58",
      "a:b: 12/31/05, 23:59:58",
      "started: 12/31/2005, 23:59:58",
      "started: 12-31-05, 23:59:58",
      "started: 12/31/05 23:59:58",
      "started: 13/01/05, 10:00:00",
      "started: 02/29/05, 10:00:00",
      "started: 00/10/05, 10:00:00",
      "started: 12/31/05, 23:59:58 ",
      "started: 12/31/05, 23:59:58 ()",
      "started: 12/31/05, 23:59:58 (HPC is used",
      "started: 12/31/05, 23:59:58HPC)",
      "14:05:30, 2399.87 MHz",
  };
  for (const char* line : rows) {
    StampedLine stamped;
    EXPECT_FALSE(ParseStampedLine(line, stamped)) << line;
  }
}

TEST(ReportLogLine, HeaderAndRuleLines) {
  EXPECT_TRUE(IsHeaderLine("Ondrel (build: Wed Apr 21 20:50:43 2004) log file."));
  EXPECT_TRUE(IsHeaderLine("Ondrel (Build: Wed Apr 21 20:50:43 2004) Protokolldatei."));
  EXPECT_TRUE(IsHeaderLine("A (b) c (Version: 1) d"));
  for (const char* line :
       {"Ondrel (build: Wed Apr 21 20:50:43 2004)", "(build: x) log", "Ondrel (build:x) log",
        "Ondrel (build: ) log", "Ondrel (my build: x) log", "Ondrel build: x log",
        "Idle thread method is used.", "--"}) {
    EXPECT_FALSE(IsHeaderLine(line)) << line;
  }
  EXPECT_TRUE(IsRuleLine("--"));
  EXPECT_FALSE(IsRuleLine("---"));
  EXPECT_FALSE(IsRuleLine("-- "));
}

TEST(ReportLogLine, TheThermalMonitorPiecesAfterTheCoreClockInTheirOrder) {
  struct Row {
    const char* pieces;  // after "14:06:00, 2596.01 MHz"
    bool sample;
    const char* limit = nullptr;  // null: no limit piece
    const char* temperature = nullptr;
    bool battery = false;
  } const rows[] = {
      {", (98.5%), (core 2140.33 MHz), (limit 55%), (97.0 C), (on battery)", true, "55", "97.0",
       true},
      {", (limit 100%)", true, "100", nullptr, false},
      {", (12.5%), (-3.5 C)", true, nullptr, "-3.5", false},
      {", (523712 K), (limit 0%), (on battery)", true, "0", nullptr, true},
      {", (on battery)", true, nullptr, nullptr, true},
      {", (limit 55 %)", false},
      {", (limit -5%)", false},
      {", (limit 4294967296%)", false},
      {", (97 C)", false},
      {", (97.0C)", false},
      {", (97.0 C), (limit 55%)", false},
      {", (on battery), (97.0 C)", false},
      {", (limit 55%), (limit 55%)", false},
      {", (on Battery)", false},
      {", (on battery) ", false},
  };
  for (const Row& row : rows) {
    const std::string line = std::string("14:06:00, 2596.01 MHz") + row.pieces;
    SampleLine sample;
    ASSERT_EQ(row.sample, ParseSampleLine(line, sample)) << line;
    if (!row.sample) continue;
    EXPECT_EQ(row.limit != nullptr, sample.hasLimit) << line;
    if (row.limit) {
      EXPECT_EQ(row.limit, sample.limitText) << line;
      EXPECT_EQ(std::stoul(row.limit), sample.limitPercent) << line;
    }
    EXPECT_EQ(row.temperature != nullptr, sample.hasTemperature) << line;
    if (row.temperature) {
      EXPECT_EQ(row.temperature, sample.temperatureText) << line;
      EXPECT_DOUBLE_EQ(std::stod(row.temperature), sample.temperature) << line;
    }
    EXPECT_EQ(row.battery, sample.onBattery) << line;
  }
}
