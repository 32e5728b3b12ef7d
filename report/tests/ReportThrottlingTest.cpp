// Throttling episodes: where they begin and end, how they are told apart, the
// verdict's words, and the CSV's columns for the Thermal monitor's pieces.
#include <gtest/gtest.h>

#include <cstdio>
#include <ostream>
#include <string>
#include <vector>

#include "report/CoreClockScan.h"
#include "report/CsvWriter.h"
#include "report/Options.h"
#include "report/ReportSession.h"
#include "report/RunStatistics.h"
#include "report/ThrottlingText.h"
#include "report/tests/ReadBack.h"

using namespace report;

namespace {
struct Span {
  int64_t start, end;
  bool throttling;
  bool operator==(const Span& other) const {
    return start == other.start && end == other.end && throttling == other.throttling;
  }
};
std::ostream& operator<<(std::ostream& out, const Span& span) {
  return out << span.start << "-" << span.end << (span.throttling ? " throttling" : " low load");
}

// One character a sample, 5 s apart: 'H' at the peak, 'L' at half of it under
// load, 'l' at half of it nearly idle; 'g' makes the next interval a gap of 60 s.
std::vector<Span> EpisodesOf(const std::string& pattern, bool load, bool core) {
  RunStatistics run(0);
  int64_t seconds = 0;
  for (size_t i = 0; i < pattern.size(); ++i) {
    if (pattern[i] == 'g') {
      seconds += 55;
      continue;
    }
    seconds += 5;
    SampleLine line;
    const double figure = pattern[i] == 'H' ? 3000 : 1500;
    // An invariant TSC: the clock stays put while the core clock falls.
    line.mhz = core ? 2596 : figure;
    line.centiMhz = static_cast<int64_t>(line.mhz * 100);
    line.hasCoreClock = core;
    line.coreMhz = core ? figure : 0;
    line.coreCentiMhz = static_cast<int64_t>(line.coreMhz * 100);
    line.hasLoad = load;
    line.load = pattern[i] == 'l' ? 3 : 97;
    line.deciLoad = static_cast<int64_t>(line.load * 10);
    run.Add({seconds, &line});
  }
  std::vector<Span> spans;
  const RunSummary summary = run.Finish(RunEnd{}, [&](const Episode& episode) {
    spans.push_back({episode.startSeconds, episode.endSeconds, episode.throttling});
  });
  EXPECT_EQ(core, summary.throttling.coreClock);
  EXPECT_DOUBLE_EQ(3000, summary.throttling.peakMhz);
  return spans;
}
}  // namespace

TEST(ReportThrottling, EpisodesAreTwoOrMoreLowSamplesBetweenHighOnesAndGaps) {
  const struct {
    const char* what;
    const char* pattern;
    bool load, core;
    std::vector<Span> episodes;
  } rows[] = {
      {"a single dip", "HHHHHHLLHHHHHHHHHHHH", true, true, {{35, 40, true}}},
      {"one low sample is none", "HHHHHHLHHHHHHHHHHHHH", true, true, {}},
      {"a dip across a gap",
       "HHHHHHLLgLLHHHHHHHHHHHH",
       true,
       true,
       {{35, 40, true}, {100, 105, true}}},
      {"a gap leaves one sample each side", "HHHHHHLgLHHHHHHHHHHHH", true, true, {}},
      {"a run that ends in one", "HHHHHHHHHHHHHHHHHLLL", true, true, {{90, 100, true}}},
      {"a low-load drop", "HHHHHHllHHHHHHLLLHHH", true, true, {{35, 40, false}, {75, 85, true}}},
      {"no load piece", "HHHHHHllHHHHHHHHHHHH", false, true, {{35, 40, true}}},
      {"no core piece", "HHHHHHLLHHHHHHHHHHHH", true, false, {{35, 40, true}}},
  };
  for (const auto& row : rows) {
    EXPECT_EQ(row.episodes, EpisodesOf(row.pattern, row.load, row.core)) << row.what;
  }
}

TEST(ReportThrottling, TheVerdictsWords) {
  Episode deepest;
  deepest.lowestPercent = 53.6;
  deepest.lowestAt = 14 * 3600 + 22 * 60 + 5;
  deepest.hasLimit = true;
  deepest.lowestLimit = 55;
  deepest.hasTemperature = true;
  deepest.highestTemperature = 97;
  auto summary = [&](bool core, bool load, uint64_t episodes, uint64_t drops) {
    ThrottlingSummary t;
    t.coreClock = core;
    t.figureSamples = 100;
    t.peakMhz = 3000;
    t.hasLoad = load;
    t.loadReached = true;
    t.throttlingEpisodes = episodes;
    t.throttlingSeconds = 1870;
    t.hasDeepest = episodes > 0;
    t.deepest = deepest;
    t.lowLoadDrops = drops;
    return t;
  };
  ThrottlingSummary idle = summary(true, true, 0, 1);
  idle.loadReached = false;
  ThrottlingSummary lone = summary(true, true, 0, 0);
  lone.figureSamples = 1;
  ThrottlingSummary battery = summary(false, false, 1, 0);
  battery.belowPercent = 80;
  battery.deepest = Episode{};
  battery.deepest.lowestPercent = 60;
  battery.deepest.onBattery = true;
  const struct {
    ThrottlingSummary summary;
    bool oneDay;
    const char* text;
  } rows[] = {
      {summary(true, true, 2, 0), true,
       "throttling: 2 episodes under load, 00:31:10 in all, deepest 54 % of peak at 14:22:05 "
       "(limit 55%, 97.0 C)"},
      {summary(true, true, 1, 3), false,
       "throttling: 1 episode under load, 00:31:10 in all, deepest 54 % of peak at 1970-01-01 "
       "14:22:05 (limit 55%, 97.0 C); 3 low-load drops (power saving)"},
      {summary(true, true, 0, 0), true,
       "no throttling: under load the core clock stayed within 10 % of its peak"},
      {summary(false, true, 0, 1), true,
       "no throttling: under load the clock stayed within 10 % of its peak; 1 low-load drop "
       "(power saving)"},
      {idle, true, "no verdict: the load never reached 50 %; 1 low-load drop (power saving)"},
      {summary(false, false, 0, 0), true,
       "no throttling: the clock stayed within 10 % of its peak"},
      {battery, true,
       "clock drops: 1 episode, 00:31:10 in all, deepest 60 % of peak at 00:00:00 (on battery); no "
       "load logged to tell throttling from power saving"},
      {lone, true, "no verdict: fewer than two samples of the core clock"},
  };
  for (const auto& row : rows) EXPECT_EQ(row.text, VerdictText(row.summary, row.oneDay));
}

TEST(ReportThrottling, CsvColumnsOnlyForThePiecesSomeLineHas) {
  const char* const lines[] = {
      "started: 12/09/26, 14:00:00 (HPC is used)\n14:00:01, 2596.01 MHz, (97.0 C)\n",
      "14:00:01, 2596.01 MHz, (limit 55%), (on battery)\n14:00:02, 2596.01 MHz, (12.5%)\n",
  };
  const struct {
    std::string text;
    bool limit, temperature, battery;
    const char* header;  // after the five columns that are always there
  } rows[] = {
      {lines[0], false, true, false, ",temperature_c"},
      {lines[1], true, false, true, ",limit_percent,on_battery"},
      {std::string(lines[0]) + lines[1], true, true, true,
       ",limit_percent,temperature_c,on_battery"},
  };
  for (const auto& row : rows) {
    std::FILE* log = std::tmpfile();
    std::fputs(row.text.c_str(), log);
    std::rewind(log);
    const LoggedPieces found = FindPieces(log, {true, true, true, true});
    std::fclose(log);
    EXPECT_EQ(row.limit, found.limit) << row.text;
    EXPECT_EQ(row.temperature, found.temperature) << row.text;
    EXPECT_EQ(row.battery, found.battery) << row.text;
    EXPECT_FALSE(found.coreClock) << row.text;

    std::FILE* csv = std::tmpfile();
    SampleLine sample;
    ASSERT_TRUE(
        ParseSampleLine("14:00:01, 2596.01 MHz, (limit 55%), (97.0 C), (on battery)", sample));
    {
      CsvWriter writer(csv, found);
      writer.WriteRow(1, 0, sample);
    }
    std::rewind(csv);
    char text[256] = {};
    std::fread(text, 1, sizeof text - 1, csv);
    std::fclose(csv);
    std::string expected = std::string("run,date_time,clock_mhz,load_percent,available_kb") +
                           row.header + "\r\n1,1970-01-01T00:00:00,2596.01,,";
    if (row.limit) expected += ",55";
    if (row.temperature) expected += ",97.0";
    if (row.battery) expected += ",1";
    EXPECT_EQ(expected + "\r\n", text);
  }
}

TEST(ReportThrottling, TheShareBelowThePeakFromTheCommandLine) {
  Options options;
  std::string error;
  ASSERT_TRUE(ParseOptions({"--below", "80", "log.txt"}, options, error));
  EXPECT_EQ(80u, options.belowPercent);
  ASSERT_TRUE(ParseOptions({"log.txt"}, options, error));
  EXPECT_EQ(kDefaultBelowPercent, options.belowPercent);
  for (const char* wrong : {"0", "100", "8x", ""}) {
    EXPECT_FALSE(ParseOptions({"--below", wrong, "log.txt"}, options, error)) << wrong;
  }
  EXPECT_FALSE(ParseOptions({"log.txt", "--below"}, options, error));
}

TEST(ReportThrottling, TheVerdictHeadsTheRunAndTheChartShadesItsEpisodes) {
  for (const bool thermal : {false, true}) {
    std::FILE* summary = std::tmpfile();
    std::string svg;
    {
      ReportSession session(summary, nullptr, true);
      session.BeginFile("log.txt");
      session.ReadLine("started: 12/09/26, 14:00:00 (HPC is used)");
      const char* const figures[] = {"3400.00", "3400.00", "1840.00", "1850.00", "3400.00"};
      for (int i = 0; i < 5; ++i) {
        char line[128];
        std::snprintf(line, sizeof line, "14:00:%02d, 2596.01 MHz, (97.0%%), (core %s MHz)%s",
                      5 * (i + 1), figures[i], thermal ? ", (limit 55%)" : "");
        session.ReadLine(line);
      }
      session.ReadLine("stopped: 12/09/26, 14:00:30");
      session.EndFile();
      svg = session.Chart();
    }
    const std::string text = ReadBack(summary);
    std::fclose(summary);
    EXPECT_EQ(0u, text.find("Run 1 (log.txt, line 1; HPC is used)\n  throttling: 1 episode under "
                            "load, 00:00:05 in all, deepest 54 % of peak at 14:00:15"))
        << text;
    EXPECT_NE(std::string::npos, svg.find("<rect class=\"throttling\"")) << svg;
    EXPECT_EQ(thermal, svg.find("class=\"limit\"") != std::string::npos) << svg;
  }
}
