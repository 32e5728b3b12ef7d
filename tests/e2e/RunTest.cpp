// Monitoring runs of the real program: Start, the samples, Stop.
#include <gtest/gtest.h>

#include <cmath>

#include "tests/e2e/Fixture.h"
#include "tests/e2e/RunHelpers.h"

using namespace e2e;
using namespace e2e::runs;

namespace {
// A run with every figure, the chosen reference and a one-second period.
void PrepareRun(bool mmTimer) {
  PrepareQuickRun(true);
  Settings::SetDword("FreeMem", 1);
  Settings::SetDword("MmTimer", mmTimer ? 1 : 0);
}

void ExpectSampleLines(const std::vector<std::string>& lines, size_t first, size_t last,
                       double tscMhz) {
  for (size_t i = first; i < last; ++i) {
    std::smatch sample;
    ASSERT_TRUE(std::regex_match(lines[i], sample, kSampleLine)) << lines[i];
    ASSERT_TRUE(sample[3].matched && sample[5].matched) << "load and memory: " << lines[i];
    EXPECT_FALSE(sample[7].matched) << "the core clock was not asked for: " << lines[i];
    const double mhz = std::stod(sample[2]);
    EXPECT_NEAR(tscMhz, mhz, tscMhz * 0.01) << lines[i];
    const double load = std::stod(sample[4]);
    EXPECT_LE(0.0, load);
    EXPECT_GE(100.0, load);
    EXPECT_LT(0.0, std::stod(sample[6])) << lines[i];
  }
}

void RunAndCheck(HWND dialog, const char* timerNote) {
  SetCheck(dialog, IDC_SAVE_ON_STOP, false);
  const double tscMhz = MeasureTscMhz();
  Click(dialog, IDC_START_STOP);
  ASSERT_TRUE(WaitForCaption(dialog, "Stop"));
  EXPECT_FALSE(IsWindowVisible(dialog));
  EXPECT_FALSE(IsWindowEnabled(GetDlgItem(dialog, IDC_SAVE)));
  EXPECT_FALSE(IsWindowEnabled(GetDlgItem(dialog, IDC_EXIT)));
  ASSERT_TRUE(WaitForLogLines(dialog, 4, 20000)) << LogText(dialog);

  PostCommand(dialog, IDC_START_STOP);
  ASSERT_TRUE(WaitForCaption(dialog, "Start"));
  EXPECT_TRUE(IsWindowEnabled(GetDlgItem(dialog, IDC_SAVE)));
  EXPECT_TRUE(IsWindowEnabled(GetDlgItem(dialog, IDC_EXIT)));

  const std::string text = LogText(dialog);
  EXPECT_EQ(std::string::npos, text.find('\r'));
  ASSERT_EQ('\n', text.back());
  const auto lines = SplitLines(text);
  ASSERT_GE(lines.size(), 5u);
  std::smatch started;
  ASSERT_TRUE(std::regex_match(lines.front(), started, kStartedLine)) << lines.front();
  EXPECT_EQ(timerNote, started[2].str());
  EXPECT_TRUE(std::regex_match(lines.back(), kStoppedLine)) << lines.back();
  ExpectSampleLines(lines, 1, lines.size() - 1, tscMhz);
}
}  // namespace

TEST_F(E2e, RunAgainstThePerformanceCounter) {
  PrepareRun(false);
  HWND dialog = Start();
  ASSERT_NE(nullptr, dialog);
  RunAndCheck(dialog, "HPC");
}

TEST_F(E2e, RunAgainstTheMultimediaTimer) {
  PrepareRun(true);
  HWND dialog = Start();
  ASSERT_NE(nullptr, dialog);
  RunAndCheck(dialog, "MM timer");
}

TEST_F(E2e, CoolBitsBit0KeepsTheDialogVisibleDuringARun) {
  PrepareRun(false);
  Settings::SetDword("CoolBits", 1);
  HWND dialog = Start();
  ASSERT_NE(nullptr, dialog);
  SetCheck(dialog, IDC_SAVE_ON_STOP, false);
  Click(dialog, IDC_START_STOP);
  ASSERT_TRUE(WaitForCaption(dialog, "Stop"));
  ASSERT_TRUE(WaitForLogLines(dialog, 2, 10000));
  EXPECT_TRUE(IsWindowVisible(dialog));
  Click(dialog, IDC_START_STOP);
  ASSERT_TRUE(WaitForCaption(dialog, "Start"));
}

TEST_F(E2e, StartThenStopLeavesTwoLinesAndStartEmptiesTheLog) {
  PrepareRun(false);
  HWND dialog = Start();
  ASSERT_NE(nullptr, dialog);
  SetCheck(dialog, IDC_SAVE_ON_STOP, false);
  Click(dialog, IDC_START_STOP);
  ASSERT_TRUE(WaitForLogLines(dialog, 2, 10000));
  PostCommand(dialog, IDC_START_STOP);
  ASSERT_TRUE(WaitForCaption(dialog, "Start"));
  const std::string firstRun = LogText(dialog);
  ASSERT_GE(SplitLines(firstRun).size(), 3u);

  PostCommand(dialog, IDC_START_STOP);
  PostCommand(dialog, IDC_START_STOP);
  ASSERT_TRUE(WaitUntil(
      [&] {
        const auto lines = LogLines(dialog);
        return lines.size() == 2 && std::regex_match(lines[1], kStoppedLine);
      },
      10000))
      << LogText(dialog);
  const auto lines = LogLines(dialog);
  EXPECT_TRUE(std::regex_match(lines[0], kStartedLine)) << lines[0];
  EXPECT_EQ("Start", ControlText(dialog, IDC_START_STOP));
}

TEST_F(E2e, AFailedPeriodCheckStillStartsWithThatPeriod) {
  PrepareRun(false);
  HWND dialog = Start();
  ASSERT_NE(nullptr, dialog);
  SetCheck(dialog, IDC_SAVE_ON_STOP, false);
  SetControlText(dialog, IDC_CHECK_PERIOD, "400");
  Click(dialog, IDC_START_STOP);
  ASSERT_TRUE(WaitForCaption(dialog, "Stop"));
  EXPECT_EQ("400", ControlText(dialog, IDC_CHECK_PERIOD));
  // A one-second period would have written four samples in this time.
  EXPECT_FALSE(WaitForLogLines(dialog, 2, 4500)) << LogText(dialog);
  PostCommand(dialog, IDC_START_STOP);
  ASSERT_TRUE(WaitForCaption(dialog, "Start"));
  EXPECT_EQ(2u, LogLines(dialog).size());
}

TEST_F(E2e, APeriodOfZeroSamplesOncePerSecond) {
  PrepareRun(false);
  Settings::SetDword("CpuLoad", 0);
  Settings::SetDword("FreeMem", 0);
  HWND dialog = Start();
  ASSERT_NE(nullptr, dialog);
  SetCheck(dialog, IDC_SAVE_ON_STOP, false);
  SetControlText(dialog, IDC_CHECK_PERIOD, "0");
  Click(dialog, IDC_START_STOP);
  ASSERT_TRUE(WaitForCaption(dialog, "Stop"));
  ASSERT_TRUE(WaitForLogLines(dialog, 2, 5000));
  const DWORD firstSample = GetTickCount();
  ASSERT_TRUE(WaitForLogLines(dialog, 5, 10000)) << LogText(dialog);
  PostCommand(dialog, IDC_START_STOP);
  ASSERT_TRUE(WaitForCaption(dialog, "Start"));
  const DWORD elapsed = GetTickCount() - firstSample;
  const size_t samples = LogLines(dialog).size() - 2;
  EXPECT_GE(samples, elapsed / 1000 - 1) << LogText(dialog);
  EXPECT_LE(samples, elapsed / 1000 + 2) << LogText(dialog);
}

TEST_F(E2e, TheStartDelayHoldsBackTheFirstSample) {
  PrepareRun(false);
  Settings::SetDword("StartTime", 1);
  Settings::SetDword("CpuLoad", 0);
  HWND dialog = Start();
  ASSERT_NE(nullptr, dialog);
  SetCheck(dialog, IDC_SAVE_ON_STOP, false);
  const double tscMhz = MeasureTscMhz();
  Click(dialog, IDC_START_STOP);
  ASSERT_TRUE(WaitForLogLines(dialog, 1, 10000));
  const DWORD started = GetTickCount();
  // Nothing during the minute.
  EXPECT_FALSE(WaitForLogLines(dialog, 2, 57000)) << LogText(dialog);
  ASSERT_TRUE(WaitForLogLines(dialog, 2, 10000));
  EXPECT_GE(GetTickCount() - started, 58000u);
  PostCommand(dialog, IDC_START_STOP);
  ASSERT_TRUE(WaitForCaption(dialog, "Start"));

  const auto lines = LogLines(dialog);
  std::smatch startedLine, firstSample;
  ASSERT_TRUE(std::regex_match(lines[0], startedLine, kStartedLine));
  ASSERT_TRUE(std::regex_match(lines[1], firstSample, kSampleLine)) << lines[1];
  const int waited = (SecondsOfDay(firstSample[1]) - SecondsOfDay(startedLine[1]) + 86400) % 86400;
  EXPECT_GE(waited, 60);
  EXPECT_LE(waited, 63);
  // The first figure covers the whole minute since Start, and is right.
  EXPECT_NEAR(tscMhz, std::stod(firstSample[2]), tscMhz * 0.01) << lines[1];
}
