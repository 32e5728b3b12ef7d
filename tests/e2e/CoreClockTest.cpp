// "Core clock" in a run of the real program: every sample line ends with the
// figure, and the figure is the clock the test measures its own way.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

#include "tests/common/ChainReference.h"
#include "tests/e2e/Fixture.h"
#include "tests/e2e/RunHelpers.h"

using namespace e2e;
using namespace e2e::runs;

TEST_F(E2e, CoreClockEndsEverySampleLineAndMatchesAReference) {
  PrepareQuickRun(true);
  Settings::SetDword("FreeMem", 1);
  Settings::SetDword("CoreClock", 1);
  // No tick of its own comes within the test: each sample is posted, with the
  // reference measured right before and after it.
  Settings::SetDword("CheckTime", 300);
  HWND dialog = Start();
  ASSERT_NE(nullptr, dialog);
  SetCheck(dialog, IDC_SAVE_ON_STOP, false);
  Click(dialog, IDC_START_STOP);
  ASSERT_TRUE(WaitForCaption(dialog, "Stop"));

  // On the processor the program's thread is bound to (AffMask 1).
  const DWORD_PTR previousMask = SetThreadAffinityMask(GetCurrentThread(), 1);
  // A virtual machine's host moves its clock by a few per cent from one moment
  // to the next: a sample is judged only when the references around it agree.
  constexpr size_t kJudged = 5, kMostSamples = 15;
  size_t judged = 0;
  for (size_t sample = 1; sample <= kMostSamples && judged < kJudged; ++sample) {
    const double before = chain_reference::CoreClockMhz();
    PostMessageA(dialog, WM_TIMER, IDT_SAMPLE, 0);
    ASSERT_TRUE(WaitForLogLines(dialog, 1 + sample, 20000)) << LogText(dialog);
    const double after = chain_reference::CoreClockMhz();
    const std::string line = LogLines(dialog).back();
    std::smatch pieces;
    ASSERT_TRUE(std::regex_match(line, pieces, kSampleLine)) << line;
    ASSERT_TRUE(pieces[3].matched && pieces[5].matched && pieces[7].matched) << line;
    if (std::fabs(after / before - 1.0) > 0.01) continue;
    ++judged;
    const double core = std::stod(pieces[8]);
    const double nearest = std::min(std::fabs(core / before - 1.0), std::fabs(core / after - 1.0));
    EXPECT_LT(nearest, 0.03) << line << " against " << before << " and " << after << " MHz";
  }
  EXPECT_GE(judged, 3u) << "the references seldom agreed: " << LogText(dialog);
  SetThreadAffinityMask(GetCurrentThread(), previousMask);
  PostCommand(dialog, IDC_START_STOP);
  ASSERT_TRUE(WaitForCaption(dialog, "Start"));
}
