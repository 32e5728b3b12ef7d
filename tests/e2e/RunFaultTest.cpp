// Failing load and memory readings: their boxes stack up under the running
// timer, and every tick still writes its line.
#include <gtest/gtest.h>

#include <set>

#include "tests/e2e/Fixture.h"
#include "tests/e2e/RunHelpers.h"

using namespace e2e;
using namespace e2e::runs;

TEST_F(E2e, FailingReadingsDoNotStopTheTicksAndNoLineIsLost) {
  PrepareQuickRun(true);
  Settings::SetDword("FreeMem", 1);
  const FaultsForProgram faults("ntquerycall,memstatuscall");
  HWND dialog = Start();
  ASSERT_NE(nullptr, dialog);
  SetCheck(dialog, IDC_SAVE_ON_STOP, false);
  Click(dialog, IDC_START_STOP);

  // Later ticks run under the first tick's open box and add boxes of their own.
  const std::string loadText = ProgramString(IDS_MSG_NTQUERY_FAILED);
  const std::string memoryText = ProgramString(IDS_MSG_MEMSTATUS_NOT_FOUND);
  auto openBoxes = [&] {
    size_t count = 0;
    for (HWND window : program.TopLevelWindows()) {
      if (window != dialog && IsWindowVisible(window) && GetDlgItem(window, 0xFFFF)) ++count;
    }
    return count;
  };
  ASSERT_TRUE(WaitUntil([&] { return openBoxes() >= 3; }, 20000)) << openBoxes();
  PostCommand(dialog, IDC_START_STOP);
  ASSERT_TRUE(WaitForCaption(dialog, "Start"));

  // Close every box, the load's and the memory's, as they come.
  size_t loadBoxes = 0;
  size_t memoryBoxes = 0;
  std::set<HWND> closed;
  while (auto box = program.WaitForMessageBox(3000)) {
    if (closed.count(box->window) != 0) continue;
    closed.insert(box->window);
    EXPECT_EQ("Fatal Error", box->caption);
    if (box->text == loadText) {
      ++loadBoxes;
    } else if (box->text == memoryText) {
      ++memoryBoxes;
    } else {
      ADD_FAILURE() << box->text;
    }
    CloseMessageBox(box->window);
    WaitUntil([&] { return !IsWindow(box->window) || !IsWindowVisible(box->window); }, 5000);
  }
  ASSERT_GE(loadBoxes, 3u);
  EXPECT_EQ(loadBoxes, memoryBoxes);

  // One line per tick, every one with its failed figures as zero.
  const auto lines = LogLines(dialog);
  size_t samples = 0;
  for (const auto& line : lines) {
    std::smatch sample;
    if (!std::regex_match(line, sample, kSampleLine)) continue;
    ++samples;
    EXPECT_EQ("0.0", sample[4].str()) << line;
    EXPECT_EQ("0", sample[6].str()) << line;
  }
  EXPECT_EQ(loadBoxes, samples) << LogText(dialog);
  EXPECT_EQ(1u, CountOf(LogText(dialog), "stopped: "));
}
