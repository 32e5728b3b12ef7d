// Start, Stop and the sample tick on the real dialog, driven in-process.
#include <gtest/gtest.h>

#include <algorithm>
#include <regex>

#include "app/ResourceStrings.h"
#include "monitor/portable/JournalText.h"
#include "tests/common/Files.h"
#include "tests/common/TextLines.h"
#include "tests/common/Waiting.h"
#include "tests/win/RunDialogHarness.h"
// after windows.h
#include <mmsystem.h>

using run_harness::HarnessDialog;
using run_harness::RunInDialog;
using test_text::SplitLines;

namespace {
const std::regex kStartedHpc(R"(started: \d\d/\d\d/\d\d, \d\d:\d\d:\d\d \(HPC is used\))");
const std::regex kStartedMm(R"(started: \d\d/\d\d/\d\d, \d\d:\d\d:\d\d \(MM timer is used\))");
const std::regex kStopped(R"(stopped: \d\d/\d\d/\d\d, \d\d:\d\d:\d\d)");

std::string ButtonText(HarnessDialog& d) { return d.Text(d.startButton); }
}  // namespace

TEST(RunDialog, StartAndStopFlipEveryPieceOfTheRunState) {
  RunInDialog([](HarnessDialog& d) {
    d.SetEdit(IDC_START_DELAY, "0");
    d.SetEdit(IDC_CHECK_PERIOD, "1");
    ASSERT_TRUE(IsWindowVisible(d.Window()));
    d.OnStartStop();
    EXPECT_TRUE(d.running);
    EXPECT_EQ("Stop", ButtonText(d));
    EXPECT_FALSE(IsWindowVisible(d.Window()));
    EXPECT_FALSE(IsWindowEnabled(d.saveButton));
    EXPECT_FALSE(IsWindowEnabled(d.exitButton));
    EXPECT_STREQ("Tervo: active", d.trayIcon.iconData.szTip);

    d.OnStartStop();
    EXPECT_FALSE(d.running);
    EXPECT_EQ("Start", ButtonText(d));
    EXPECT_TRUE(IsWindowEnabled(d.saveButton));
    EXPECT_TRUE(IsWindowEnabled(d.exitButton));
    EXPECT_STREQ("Tervo", d.trayIcon.iconData.szTip);

    // Start followed at once by Stop: exactly the started and the stopped line.
    const auto lines = SplitLines(d.Log());
    ASSERT_EQ(2u, lines.size()) << d.Log();
    EXPECT_TRUE(std::regex_match(lines[0], kStartedHpc)) << lines[0];
    EXPECT_TRUE(std::regex_match(lines[1], kStopped)) << lines[1];
    EXPECT_EQ('\n', d.Log().back());
    EXPECT_EQ(std::string::npos, d.Log().find('\r'));
  });
}

TEST(RunDialog, SaveOnStopKeepsSaveDisabledAndCoolBitsKeepsTheDialogVisible) {
  RunInDialog([](HarnessDialog& d) {
    d.coolBits = coolbits::kKeepVisibleOnStart | coolbits::kNoLogFile;
    d.SetCheck(IDC_SAVE_ON_STOP, true);
    d.SetCheck(IDC_USE_MM_TIMER, true);
    d.OnStartStop();
    EXPECT_TRUE(IsWindowVisible(d.Window()));
    EXPECT_FALSE(IsWindowEnabled(d.saveButton));
    d.OnStartStop();
    EXPECT_FALSE(IsWindowEnabled(d.saveButton));
    EXPECT_TRUE(IsWindowEnabled(d.exitButton));
    EXPECT_TRUE(std::regex_match(SplitLines(d.Log()).at(0), kStartedMm)) << d.Log();
  });
}

TEST(RunDialog, StartEmptiesThePreviousLog) {
  RunInDialog([](HarnessDialog& d) {
    d.SetLog("left over\nfrom before\n");
    d.OnStartStop();
    const auto lines = SplitLines(d.Log());
    ASSERT_EQ(1u, lines.size()) << d.Log();
    EXPECT_TRUE(std::regex_match(lines[0], kStartedHpc));
    EXPECT_EQ(lines[0] + "\r\n", d.Shown());
    d.OnStartStop();
  });
}

TEST(RunDialog, AFailedCheckStillStartsAndStops) {
  RunInDialog([](HarnessDialog& d) {
    d.SetEdit(IDC_CHECK_PERIOD, "400");
    d.OnStartStop();
    EXPECT_TRUE(d.running);
    EXPECT_EQ(400u, d.checkPeriodSeconds);
    d.SetEdit(IDC_START_DELAY, "not a number");
    d.OnStartStop();
    EXPECT_FALSE(d.running);
    EXPECT_EQ(2u, SplitLines(d.Log()).size());
  });
}

TEST(RunDialog, NoSampleBeforeTheDelayAndTheFirstMeasuresFromStart) {
  RunInDialog([](HarnessDialog& d) {
    d.SetEdit(IDC_START_DELAY, "1");
    const DWORD before = GetTickCount();
    d.OnStartStop();
    const DWORD after = GetTickCount();
    EXPECT_GE(d.firstSampleTick - before, 60000u);
    EXPECT_LE(d.firstSampleTick - after, 60000u);

    const std::string startLog = d.Log();
    const uint64_t startTsc = d.lastTsc;
    const int64_t startHpc = d.lastHpc;
    ASSERT_NE(0u, startTsc);
    d.OnSampleTimer();
    EXPECT_EQ(startLog, d.Log());
    EXPECT_EQ(startTsc, d.lastTsc);
    EXPECT_EQ(startHpc, d.lastHpc);

    // The delay is over: the first sample measures from Start's snapshot.
    d.firstSampleTick = GetTickCount();
    d.OnSampleTimer();
    EXPECT_EQ(2u, SplitLines(d.Log()).size()) << d.Log();
    EXPECT_GT(d.lastTsc, startTsc);
    EXPECT_GT(d.lastHpc, startHpc);
    d.OnStartStop();
  });
}

TEST(RunDialog, SampleLineShapesFollowTheFieldsOfEachTick) {
  RunInDialog([](HarnessDialog& d) {
    d.firstSampleTick = GetTickCount();
    d.OnSampleTimer();
    d.availableMemory = 1;
    d.OnSampleTimer();
    d.availableMemory = 0;
    d.useMmTimer = 1;
    // The multimedia timer must have moved since the last sample.
    ASSERT_TRUE(test_wait::WaitUntil([&] { return timeGetTime() - d.lastMmTime >= 50; }, 5000));
    d.OnSampleTimer();
    const auto lines = SplitLines(d.Log());
    ASSERT_EQ(3u, lines.size()) << d.Log();
    const std::regex clockOnly(R"(\d\d:\d\d:\d\d, [ \d]{3}\d+\.\d\d MHz)");
    const std::regex withMemory(R"(\d\d:\d\d:\d\d, [ \d]{3}\d+\.\d\d MHz, \(\d+ K\))");
    EXPECT_TRUE(std::regex_match(lines[0], clockOnly)) << lines[0];
    EXPECT_TRUE(std::regex_match(lines[1], withMemory)) << lines[1];
    EXPECT_TRUE(std::regex_match(lines[2], clockOnly)) << lines[2];
    EXPECT_EQ(std::string::npos, lines[1].find(" (0 K)"));
    // CR LF is the one line end the platform's edit breaks at: one line a sample.
    EXPECT_EQ(WithCrLf(d.Log()), d.Shown());
    EXPECT_EQ(4, SendMessageA(d.logEdit, EM_GETLINECOUNT, 0, 0));
  });
}

TEST(RunDialog, AnyTimerIdCountsAsATick) {
  RunInDialog([](HarnessDialog& d) {
    d.firstSampleTick = GetTickCount();
    // The harness swallows routed ticks; the dialog's own handler is asked directly.
    LRESULT result = 1;
    EXPECT_TRUE(d.MonitorDialog::RouteMessage(WM_TIMER, 4242, 0, result));
    EXPECT_EQ(0, result);
    EXPECT_EQ(1u, SplitLines(d.Log()).size());
  });
}

TEST(RunDialog, LeavingDuringARunStopsItFirstAndOnlyThen) {
  RunInDialog([](HarnessDialog& d) {
    d.FinishRunBeforeLeaving();
    EXPECT_EQ("", d.Log());
    d.OnStartStop();
    d.FinishRunBeforeLeaving();
    EXPECT_FALSE(d.running);
    EXPECT_EQ("Start", ButtonText(d));
    EXPECT_STREQ("Tervo", d.trayIcon.iconData.szTip);
    const auto lines = SplitLines(d.Log());
    ASSERT_EQ(2u, lines.size());
    EXPECT_TRUE(std::regex_match(lines[1], kStopped));
    d.FinishRunBeforeLeaving();
    EXPECT_EQ(2u, SplitLines(d.Log()).size());
  });
}

class LongLog : public testing::TestWithParam<bool> {};

// The run's text keeps every line; the edit, within the bound of the platform
// family, the newest ones after the note.
TEST_P(LongLog, KeepsEveryLineAndShowsTheNewestAfterTheNote) {
  RunInDialog([](HarnessDialog& d) {
    d.isNt = GetParam();
    ShowWindow(d.Window(), SW_HIDE);  // as during a run
    const size_t bound = LogWindowBoundsFor(d.isNt).mostChars;
    std::string expected;
    size_t longest = 0;
    for (int i = 0; expected.size() < 2 * bound; ++i) {
      const std::string line = "12:00:00, 2399.87 MHz, (12.5%), (" + std::to_string(i) + " K)\n";
      d.AppendLogText(line.c_str());
      expected += line;
      longest = std::max(longest, static_cast<size_t>(GetWindowTextLengthW(d.logEdit)));
      // Wherever the user clicked, the next line goes to the end.
      if (i == 1000) SendMessageA(d.logEdit, EM_SETSEL, 0, 10);
    }
    EXPECT_EQ(expected, d.Log());
    EXPECT_LE(longest, bound);
    const std::string shown = d.Shown();
    const std::string note = LoadResourceString(IDS_EARLIER_LINES_NOTE);
    ASSERT_EQ(note + "\r\n", shown.substr(0, note.size() + 2));
    const std::string newest = shown.substr(note.size() + 2);
    const std::string all = WithCrLf(expected);
    EXPECT_EQ(all.size() - newest.size(), all.rfind(newest));
    EXPECT_EQ('\n', all[all.size() - newest.size() - 1]);
    // One line a sample after the note, however the note wraps, and the empty last line.
    const LRESULT noteLines = SendMessageA(d.logEdit, EM_LINEFROMCHAR, note.size() + 2, 0);
    EXPECT_EQ(noteLines + std::count(newest.begin(), newest.end(), '\n') + 1,
              SendMessageA(d.logEdit, EM_GETLINECOUNT, 0, 0));
  });
}

INSTANTIATE_TEST_SUITE_P(RunDialog, LongLog, testing::Values(true, false),
                         [](const testing::TestParamInfo<bool>& row) {
                           return row.param ? "NtFamily" : "Windows98";
                         });

// Ticked during a run, "Save on Stop" starts the journal with the whole run so
// far, not with what the edit shows; it goes over in more than one batch.
TEST(RunDialog, AJournalStartedDuringALongRunHoldsEveryLine) {
  RunInDialog([](HarnessDialog& d) {
    d.OnStartStop();
    std::string lines;
    for (int i = 0; lines.size() < 1536 * 1024; ++i) {
      lines += "12:00:00, 2399.87 MHz, (" + std::to_string(i) + " K)\n";
    }
    d.AppendLogText(lines.c_str());
    d.SetCheck(IDC_SAVE_ON_STOP, true);
    d.OnSaveOnStop();
    char exe[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, exe, MAX_PATH);
    const std::string folder = std::string(exe).substr(0, std::string(exe).rfind('\\') + 1);
    WIN32_FIND_DATAA found{};
    const HANDLE search = FindFirstFileA((folder + "*.journal").c_str(), &found);
    ASSERT_NE(INVALID_HANDLE_VALUE, search);
    FindClose(search);
    const std::string journal = test_files::ReadFileBytes(folder + found.cFileName);
    const std::string run = WithCrLf(d.Log());
    EXPECT_EQ(journal.size() - run.size(), journal.find(run));
    d.SetCheck(IDC_SAVE_ON_STOP, false);
    d.OnSaveOnStop();  // removes the journal
    d.OnStartStop();
  });
}
