// Failing load and memory readings: one box of each kind at a time under the
// running timer, and every tick still writes its line.
#include <gtest/gtest.h>

#include <algorithm>
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

  // Later ticks run under the first tick's open boxes: one of each kind at the most.
  const std::string loadText = ProgramString(IDS_MSG_NTQUERY_FAILED);
  const std::string memoryText = ProgramString(IDS_MSG_MEMSTATUS_NOT_FOUND);
  size_t mostOpen = 0;
  ASSERT_TRUE(WaitUntil(
      [&] {
        mostOpen = std::max(mostOpen, OpenMessageBoxes(program));
        return mostOpen >= 2 && LogLines(dialog).size() >= 6;
      },
      20000))
      << OpenMessageBoxes(program);
  PostCommand(dialog, IDC_START_STOP);
  ASSERT_TRUE(WaitForCaption(dialog, "Start"));
  EXPECT_EQ(2u, mostOpen);

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
  EXPECT_GE(loadBoxes, 1u);
  EXPECT_GE(memoryBoxes, 1u);

  // One line per tick, every one with its failed figures as zero, whatever the boxes.
  const auto lines = LogLines(dialog);
  size_t samples = 0;
  for (const auto& line : lines) {
    std::smatch sample;
    if (!std::regex_match(line, sample, kSampleLine)) continue;
    ++samples;
    EXPECT_EQ("0.0", sample[4].str()) << line;
    EXPECT_EQ("0", sample[6].str()) << line;
  }
  EXPECT_GE(samples, 5u) << LogText(dialog);
  EXPECT_TRUE(std::regex_match(lines.back(), kStoppedLine)) << "nothing after the stopped line";
  EXPECT_EQ(1u, CountOf(LogText(dialog), "stopped: "));
}
