// A run of more lines than the log edit shows: the edit keeps the newest ones
// after a note, and every line reaches the files, byte for byte.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "monitor/portable/LogWindow.h"
#include "tests/e2e/Fixture.h"
#include "tests/e2e/RunHelpers.h"

using namespace e2e;
using namespace e2e::runs;

namespace {
struct LongRun {
  const char* name;
  const char* wineVersion;  // nullptr: the prefix's own, of the NT family
  bool killed;              // ended by a kill instead of Stop
};

void PrintTo(const LongRun& row, std::ostream* out) { *out << row.name; }

size_t LineCount(const std::string& text) {
  return static_cast<size_t>(std::count(text.begin(), text.end(), '\n'));
}

std::string OnlyFile(const std::string& folder, const char* pattern) {
  const auto files = ListFiles(folder, pattern);
  return files.size() == 1 ? ReadFileBytes(folder + files[0]) : std::string();
}

// Header, the started line, `samples` sample lines and `last`, each ended by CR LF.
void ExpectEveryLine(const std::string& bytes, size_t samples, const std::regex& last) {
  EXPECT_TRUE(EveryLineEndsWithCrLf(bytes));
  const auto lines = SplitLines(bytes);
  ASSERT_EQ(samples + 4, lines.size());
  EXPECT_TRUE(std::regex_match(lines[2], std::regex(R"(started: .*\r)"))) << lines[2];
  const std::regex sample(R"(\d\d:\d\d:\d\d, .* MHz\r)");
  for (size_t i = 3; i < 3 + samples; ++i) ASSERT_TRUE(std::regex_match(lines[i], sample)) << i;
  EXPECT_TRUE(std::regex_match(lines.back(), last)) << lines.back();
}
}  // namespace

class LongRunLog : public E2e, public testing::WithParamInterface<LongRun> {};

TEST_P(LongRunLog, ShowsTheNewestLinesAndSavesEveryOne) {
  const LongRun row = GetParam();
  PrepareQuickRun(false);
  Settings::SetDword("CheckTime", 300);  // the posted ticks take the samples
  if (row.wineVersion) SetWineVersion(row.wineVersion);
  HWND dialog = row.wineVersion ? StartPastTheVersionWarning() : Start();
  ASSERT_NE(nullptr, dialog);
  ASSERT_TRUE(IsChecked(dialog, IDC_SAVE_ON_STOP));
  Click(dialog, IDC_START_STOP);
  ASSERT_TRUE(WaitForCaption(dialog, "Stop"));

  // Clock-only lines of 23 characters: more of them than the window holds.
  const size_t bound = LogWindowBoundsFor(row.wineVersion == nullptr).mostChars;
  const size_t samples = bound / 20;
  std::string journal;
  for (size_t posted = 0; posted < samples;) {
    for (size_t end = std::min(samples, posted + 1000); posted < end; ++posted) {
      PostMessageA(dialog, WM_TIMER, IDT_SAMPLE, 0);
    }
    ASSERT_TRUE(WaitUntil(
        [&] { return LineCount(journal = OnlyFile(folder, "*.journal")) == posted + 3; }, 60000))
        << LineCount(journal);
  }
  const std::string shown = ShownLog(dialog);
  EXPECT_LE(shown.size(), bound);
  const std::string note = ProgramString(IDS_EARLIER_LINES_NOTE) + "\r\n";
  ASSERT_EQ(0u, shown.find(note)) << shown.substr(0, 200);
  EXPECT_EQ(journal.size() - shown.size() + note.size(), journal.rfind(shown.substr(note.size())));

  if (row.killed) {
    Kill(program);
    ASSERT_TRUE(program.WaitForExit().has_value());
    Program next;
    ASSERT_TRUE(next.Launch(folder));
    ASSERT_NE(nullptr, next.WaitForDialog());
    const std::string recovered = OnlyFile(folder, "log_*.txt");
    EXPECT_EQ(0u, recovered.find(journal));
    ExpectEveryLine(recovered, samples, std::regex(R"(interrupted: .*\r)"));
    return;
  }
  PostCommand(dialog, IDC_START_STOP);
  ASSERT_TRUE(WaitForCaption(dialog, "Start"));
  const std::string saved = OnlyFile(folder, "log_*.txt");
  EXPECT_EQ(0u, saved.find(journal));
  ExpectEveryLine(saved, samples, std::regex(R"(stopped: .*\r)"));

  // The same bytes by hand, into a new file.
  HWND saveAs = OpenSaveAsUnticked(program, dialog);
  ASSERT_NE(nullptr, saveAs);
  const std::string path = folder + "by hand.txt";
  ConfirmSaveAs(saveAs, path);
  ASSERT_TRUE(WaitUntil([&] { return ReadFileBytes(path).size() >= saved.size(); }, 10000));
  EXPECT_EQ(saved, ReadFileBytes(path));
}

INSTANTIATE_TEST_SUITE_P(E2e, LongRunLog,
                         testing::Values(LongRun{"SavedOnTheNtFamily", nullptr, false},
                                         LongRun{"SavedOnWindows98", "win98", false},
                                         LongRun{"KilledAndRecovered", nullptr, true}),
                         [](const testing::TestParamInfo<LongRun>& rowInfo) {
                           return std::string(rowInfo.param.name);
                         });
