// The figures of a run, the CSV rows, and the bounds that keep a long log small.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "report/ChartColumns.h"
#include "report/CoreClockScan.h"
#include "report/CsvWriter.h"
#include "report/Histogram.h"
#include "report/ReportSession.h"
#include "report/RunStatistics.h"
#include "report/SvgChart.h"
#include "report/tests/ReadBack.h"

using namespace report;

namespace {
Sample At(int64_t seconds, SampleLine& line) { return {seconds, &line}; }
}  // namespace

TEST(ReportFigures, ARunsSummary) {
  // Samples every 10 s, one gap of 40 s, one dip below 95 % of the maximum.
  const struct {
    int64_t at;
    double mhz, load;
    uint64_t kb;
  } samples[] = {{10, 2400, 10, 500},
                 {20, 2390, 20, 400},
                 {30, 1200, 30, 300},
                 {70, 2400, 40, 600},
                 {80, 2399, 50, 450}};
  RunStatistics run(0);
  for (const auto& s : samples) {
    SampleLine line;
    line.mhz = s.mhz;
    line.centiMhz = static_cast<int64_t>(s.mhz * 100);
    line.hasLoad = true;
    line.load = s.load;
    line.hasMemory = true;
    line.memoryKb = s.kb;
    run.Add(At(s.at, line));
  }
  RunEnd end;
  end.ending = RunEnding::kStopped;
  end.hasClosingTime = true;
  end.closingSeconds = 85;
  const RunSummary summary = run.Finish(end);
  EXPECT_EQ(85, summary.endSeconds);
  EXPECT_EQ(5u, summary.samples);
  EXPECT_DOUBLE_EQ(10, summary.medianInterval);  // of 10, 10, 40, 10
  EXPECT_EQ(1u, summary.gaps);
  EXPECT_EQ(40, summary.longestGap);
  EXPECT_EQ(30, summary.longestGapFrom);
  EXPECT_DOUBLE_EQ(1200, summary.clockMin);
  EXPECT_DOUBLE_EQ(2399, summary.clockMedian);
  EXPECT_DOUBLE_EQ(2400, summary.clockMax);
  EXPECT_DOUBLE_EQ(0.2, summary.shareBelow95);
  EXPECT_DOUBLE_EQ(30, summary.loadMean);
  EXPECT_EQ(300u, summary.memoryMin);
  EXPECT_EQ(600u, summary.memoryMax);
}

TEST(ReportFigures, AHistogramStaysBoundedAndNearlyExact) {
  Histogram exact(1000);
  for (int64_t v : {5, 1, 4, 2}) exact.Add(v);
  EXPECT_DOUBLE_EQ(3, exact.Median());
  Histogram coarse(1000);
  // Falling values across a span far wider than the bins.
  for (int64_t v = 1000000; v > 0; v -= 7) coarse.Add(v);
  EXPECT_GE(coarse.Step(), 1000);
  EXPECT_NEAR(500000, coarse.Median(), coarse.Step());
  EXPECT_NEAR(142857 / 2, static_cast<double>(coarse.CountBelow(500000)), coarse.Step());
}

TEST(ReportFigures, CsvRowsWithEmptyCellsForMissingPieces) {
  std::FILE* file = std::tmpfile();
  ASSERT_NE(nullptr, file);
  {
    std::FILE* summary = std::tmpfile();
    ReportSession session(summary, file, false);
    session.BeginFile("log.txt");
    for (const char* line :
         {"started: 12/31/99, 23:59:59 (HPC is used)", "00:00:01, 2399.87 MHz, (12.5%), (523712 K)",
          "00:00:02,  996.40 MHz, (523700 K)", "00:00:03, 1000.00 MHz, (0.0%)",
          "stopped: 01/01/00, 00:00:04", "started: 01/01/00, 00:01:00 (HPC is used)",
          "00:01:01, 10000.00 MHz"}) {
      session.ReadLine(line);
    }
    session.EndFile();
    EXPECT_TRUE(session.CsvWritten());
    std::fclose(summary);
  }
  EXPECT_EQ(
      "run,date_time,clock_mhz,load_percent,available_kb\r\n"
      "1,2000-01-01T00:00:01,2399.87,12.5,523712\r\n"
      "1,2000-01-01T00:00:02,996.40,,523700\r\n"
      "1,2000-01-01T00:00:03,1000.00,0.0,\r\n"
      "2,2000-01-01T00:01:01,10000.00,,\r\n",
      ReadBack(file));
  std::fclose(file);
}

TEST(ReportFigures, LinesAcrossReadBlocksWithEitherLineEndAndOneTooLong) {
  char name[] = "/tmp/sentel-report-blocksXXXXXX";
  const int descriptor = mkstemp(name);
  ASSERT_GE(descriptor, 0);
  std::FILE* log = fdopen(descriptor, "wb");
  std::fputs("started: 01/01/06, 00:00:00 (HPC is used)\n", log);
  const int count = 60000;  // about 1.4 MB: lines straddle the 1 MB read blocks
  for (int i = 1; i <= count; ++i) {
    std::fprintf(log, "%02d:%02d:%02d, 2399.87 MHz%s", i / 3600 % 24, i / 60 % 60, i % 60,
                 i % 2 ? "\r\n" : "\n");
  }
  std::fputs(std::string(200000, 'x').c_str(), log);
  std::fputs("\r\nstopped: 01/01/06, 17:00:00", log);
  std::fclose(log);
  std::FILE* summary = std::tmpfile();
  ReportSession session(summary, nullptr, false);
  ASSERT_TRUE(session.ReadFile(name));
  std::remove(name);
  EXPECT_EQ(1u, session.Runs());
  EXPECT_EQ(1u, session.UnknownLines());
  ASSERT_EQ(1u, session.FirstUnknownLines().size());
  EXPECT_EQ(static_cast<size_t>(count + 2), session.FirstUnknownLines()[0].lineNumber);
  const std::string text = ReadBack(summary);
  EXPECT_NE(std::string::npos, text.find("samples    60000\n")) << text;
  EXPECT_NE(std::string::npos, text.find("end        2006-01-01 17:00:00, stopped")) << text;
  std::fclose(summary);
}

TEST(ReportFigures, AMillionSamplesMakeASmallChartThatKeepsItsSpike) {
  ChartColumns columns;
  SampleLine line;
  const int64_t count = 1000000;
  for (int64_t i = 0; i < count; ++i) {
    line.mhz = i == count / 3 ? 4800 : i == 2 * count / 3 ? 10 : 2400;
    columns.Add(0, i * 5, i == 0 ? -1 : 5, line);
  }
  const auto buckets = columns.UsedBuckets();
  EXPECT_LE(buckets.size(), 4096u);
  int spikes = 0, dips = 0;
  for (const ChartBucket& bucket : buckets) {
    spikes += bucket.mhzMax == 4800;
    dips += bucket.mhzMin == 10;
  }
  EXPECT_EQ(1, spikes);
  EXPECT_EQ(1, dips);
  const std::string svg = RenderSvgChart(columns, {5});
  EXPECT_LT(svg.size(), 1000000u);
  // One unbroken line for the one run without gaps.
  const size_t path = svg.find("class=\"clock\"");
  ASSERT_NE(std::string::npos, path);
  const std::string d =
      svg.substr(svg.find("d=\"", path), svg.find("\"/>", path) - svg.find("d=\"", path));
  EXPECT_EQ(1u, std::count(d.begin(), d.end(), 'M'));
}

TEST(ReportFigures, TheCoreClockOnlyWhereALogHasIt) {
  const std::string oldRun =
      "started: 12/09/26, 14:00:00 (HPC is used)\n14:00:01, 2596.01 MHz, (12.5%)\n";
  const std::string coreRun =
      "started: 12/09/26, 14:05:00 (HPC is used)\n14:05:01, 2596.01 MHz, (core 3612.40 MHz)\n"
      "14:05:02, 2596.02 MHz, (523712 K), (core  996.40 MHz)\n"
      "14:05:03, 2596.01 MHz, (core 4800.00 MHz)\n";
  for (const bool core : {false, true}) {
    char name[] = "/tmp/sentel-report-coreXXXXXX";
    std::FILE* log = fdopen(mkstemp(name), "wb");
    ASSERT_NE(nullptr, log);
    std::fputs((core ? oldRun + coreRun : oldRun).c_str(), log);
    std::fclose(log);
    std::FILE* summary = std::tmpfile();
    std::FILE* csv = std::tmpfile();
    std::string svg;
    {
      ReportSession session(summary, csv, true, PiecesInLogs({name}));
      ASSERT_TRUE(session.ReadFile(name));
      svg = session.Chart();
    }
    std::remove(name);
    const std::string text = ReadBack(summary), table = ReadBack(csv);
    // Only the run with the piece has the figures; without it the CSV keeps its old header.
    const size_t figures = text.find("core clock min 996.40, median 3612.40, max 4800.00 MHz\n");
    EXPECT_EQ(core ? figures : std::string::npos, text.find("core clock")) << text;
    EXPECT_EQ(core, figures != std::string::npos && figures > text.find("Run 2")) << text;
    const std::string header = "run,date_time,clock_mhz,load_percent,available_kb";
    EXPECT_EQ(0u, table.find(header + (core ? ",core_clock_mhz\r\n" : "\r\n"))) << table;
    EXPECT_EQ(core, table.find(",2596.01,12.5,,\r\n2,") != std::string::npos) << table;
    EXPECT_EQ(core, table.find(",2596.02,,523712,996.40\r\n") != std::string::npos) << table;
    EXPECT_EQ(core, svg.find("class=\"core-clock\"") != std::string::npos) << svg;
    EXPECT_EQ(core, svg.find("class=\"legend\"") != std::string::npos) << svg;
    std::fclose(summary);
    std::fclose(csv);
  }
}
