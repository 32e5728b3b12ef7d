// The program as a user runs it: its exit codes, and its chart drawn by a real
// SVG renderer with the clock line where the data puts it.
#include <gtest/gtest.h>

#include <sys/wait.h>

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "report/SvgChart.h"

namespace {
const std::string kProgram = SENTEL_REPORT_PROGRAM;

std::string TempPath(const std::string& name) {
  return testing::TempDir() + "sentel-report-" + name;
}

void WriteText(const std::string& path, const std::string& text) {
  std::ofstream(path, std::ios::binary) << text;
}

int RunReport(const std::string& arguments) {
  const int status = std::system((kProgram + " " + arguments + " >/dev/null 2>&1").c_str());
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

// An RGB picture read from a binary PPM (P6, maximum 255).
struct Picture {
  int width = 0, height = 0;
  std::vector<unsigned char> rgb;
  bool IsClockBlue(int x, int y) const {
    const unsigned char* p = &rgb[(static_cast<size_t>(y) * width + x) * 3];
    return p[2] > 120 && p[2] > p[0] + 60 && p[2] > p[1] + 30;
  }
};

bool ReadPpm(const std::string& path, Picture& picture) {
  std::ifstream in(path, std::ios::binary);
  std::string magic;
  int maximum = 0;
  in >> magic >> picture.width >> picture.height >> maximum;
  in.get();
  if (magic != "P6" || maximum != 255) return false;
  picture.rgb.resize(static_cast<size_t>(picture.width) * picture.height * 3);
  in.read(reinterpret_cast<char*>(picture.rgb.data()),
          static_cast<std::streamsize>(picture.rgb.size()));
  return static_cast<bool>(in);
}
}  // namespace

TEST(ReportProgram, ExitCodes) {
  const std::string good = TempPath("good.txt");
  const std::string noRun = TempPath("norun.txt");
  WriteText(good, "started: 01/01/06, 10:00:00 (HPC is used)\r\n10:00:01, 2000.00 MHz\r\n");
  WriteText(noRun, "Ondrel (build: Wed Apr 21 20:50:43 2004) log file.\r\n--\r\n");
  EXPECT_EQ(0, RunReport(good));
  EXPECT_EQ(0, RunReport("--help"));
  EXPECT_EQ(2, RunReport(TempPath("missing.txt")));
  EXPECT_EQ(2, RunReport(noRun));
  EXPECT_EQ(2, RunReport(good + " " + noRun));
  EXPECT_EQ(2, RunReport(""));
  EXPECT_EQ(2, RunReport("--csv"));
  EXPECT_EQ(2, RunReport("--colour " + good));
  EXPECT_EQ(2, RunReport("--csv /nonexistent-folder/x.csv " + good));
}

TEST(ReportProgram, TheRenderedChartShowsTheClockWhereTheDataIs) {
  // 2,000 samples 10 s apart: 3000 MHz, then 1000 MHz from the middle on, with
  // one sample of 4000 MHz an eighth of the way in.
  std::ostringstream log;
  log << "started: 03/01/06, 08:00:00 (HPC is used)\r\n";
  const int count = 2000;
  for (int i = 0; i < count; ++i) {
    const int second = 8 * 3600 + 10 * (i + 1);
    const int mhz = i == count / 8 ? 4000 : i < count / 2 ? 3000 : 1000;
    char line[64];
    std::snprintf(line, sizeof line, "%02d:%02d:%02d, %7.2f MHz\r\n", second / 3600,
                  second / 60 % 60, second % 60, static_cast<double>(mhz));
    log << line;
  }
  log << "stopped: 03/01/06, 13:40:00\r\n";
  const std::string logPath = TempPath("picture.txt");
  const std::string svg = TempPath("picture.svg");
  const std::string png = TempPath("picture.png");
  const std::string ppm = TempPath("picture.ppm");
  WriteText(logPath, log.str());
  ASSERT_EQ(0, RunReport("--svg " + svg + " " + logPath));
  ASSERT_EQ(0, std::system(("rsvg-convert " + svg + " -o " + png).c_str()))
      << "rsvg-convert (librsvg2-bin, installed by scripts/setup) must be on PATH";
  ASSERT_EQ(0, std::system(("convert " + png + " -depth 8 " + ppm).c_str()));
  Picture picture;
  ASSERT_TRUE(ReadPpm(ppm, picture));

  using namespace report::chart_layout;
  // The blue rows of a plot column near a fraction of the time axis, top and bottom.
  auto blueRows = [&](double fraction, int& top, int& bottom) {
    const int x = kPlotLeft + static_cast<int>(fraction * (kPlotWidth - 1) + 0.5);
    top = picture.height;
    bottom = -1;
    for (int dx = -2; dx <= 2; ++dx) {
      for (int y = kTop; y <= kTop + kClockHeight; ++y) {
        if (!picture.IsClockBlue(x + dx, y)) continue;
        top = std::min(top, y);
        bottom = std::max(bottom, y);
      }
    }
    return bottom >= 0;
  };
  int top3000, bottom3000, top1000, bottom1000, top4000, bottom4000;
  ASSERT_TRUE(blueRows(0.3, top3000, bottom3000));
  ASSERT_TRUE(blueRows(0.8, top1000, bottom1000));
  const double fractionOfSpike = (count / 8) / static_cast<double>(count - 1);
  ASSERT_TRUE(blueRows(fractionOfSpike, top4000, bottom4000));
  const double y3000 = (top3000 + bottom3000) / 2.0;
  const double y1000 = (top1000 + bottom1000) / 2.0;
  EXPECT_LE(bottom3000 - top3000, 4) << "a level line at 3000 MHz";
  EXPECT_LE(bottom1000 - top1000, 4) << "a level line at 1000 MHz";
  // The drop is twice as far below 3000 MHz as the spike rises above it.
  ASSERT_GT(y1000, y3000);
  ASSERT_LT(top4000, y3000);
  EXPECT_NEAR(2.0, (y1000 - y3000) / (y3000 - top4000), 0.1);
  // The spike is one column wide: nothing that high a few columns either side.
  int top, bottom;
  ASSERT_TRUE(blueRows(fractionOfSpike + 6.0 / kPlotWidth, top, bottom));
  EXPECT_GT(top, y3000 - 4);
  // The drop lies half way along the axis.
  ASSERT_TRUE(blueRows(0.5, top, bottom));
  EXPECT_LE(top, y3000 + 2);
  EXPECT_GE(bottom, y1000 - 2);
}
