// What a run leaves on the disk while it goes on, what the next start makes of
// a run that never reached Stop, and failing readings that must not stop the log.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "tests/common/HostCommands.h"
#include "tests/e2e/FolderLocks.h"
#include "tests/e2e/Fixture.h"
#include "tests/e2e/ReportHelpers.h"
#include "tests/e2e/RunHelpers.h"

using namespace e2e;
using namespace e2e::runs;

namespace {
const std::regex kInterruptedLine(
    R"(interrupted: \d\d/\d\d/\d\d, \d\d:\d\d:\d\d \(the run ended without Stop\)\r)");

std::vector<std::string> Journals(const std::string& folder) {
  return ListFiles(folder, "*.journal");
}

// The journal's bytes once they hold the header and exactly what the log shows.
bool JournalMatchesLog(const std::string& folder, HWND dialog, std::string& bytes) {
  const auto journals = Journals(folder);
  if (journals.size() != 1) return false;
  const std::string shown = LogText(dialog);
  bytes = ReadFileBytes(folder + journals[0]);
  std::smatch header;
  return std::regex_search(bytes, header, kHeader) && header.position(0) == 0 &&
         bytes.substr(header.length(0)) == WithCrLf(shown);
}

}  // namespace

TEST_F(E2e, AKilledRunIsRecoveredAtTheNextStart) {
  PrepareQuickRun(false);
  HWND dialog = Start();
  ASSERT_NE(nullptr, dialog);
  ASSERT_TRUE(IsChecked(dialog, IDC_SAVE_ON_STOP));
  Click(dialog, IDC_START_STOP);
  ASSERT_TRUE(WaitForLogLines(dialog, 4, 15000)) << LogText(dialog);
  // On the disk while the run goes on, as the log shows it.
  std::string journal;
  ASSERT_TRUE(WaitUntil([&] { return JournalMatchesLog(folder, dialog, journal); }, 5000))
      << journal;
  Kill(program);
  ASSERT_TRUE(program.WaitForExit().has_value());

  Program next;
  ASSERT_TRUE(next.Launch(folder));
  dialog = next.WaitForDialog();
  ASSERT_NE(nullptr, dialog);
  EXPECT_TRUE(Journals(folder).empty());
  const auto logs = ListFiles(folder, "log_*.txt");
  ASSERT_EQ(1u, logs.size());
  // The program names its folder in its own spelling.
  const std::string named = LogText(dialog);
  EXPECT_EQ(0u, named.find("A run that ended without Stop was saved as Z:\\")) << named;
  EXPECT_EQ(named.size() - logs[0].size() - 2, named.rfind("\\" + logs[0] + "\n")) << named;
  // Everything the log showed, any line written since, and the line that says so.
  const std::string bytes = ReadFileBytes(folder + logs[0]);
  EXPECT_EQ(0u, bytes.find(journal));
  EXPECT_TRUE(EveryLineEndsWithCrLf(bytes));
  const auto lines = SplitLines(bytes);
  const size_t shownLines = SplitLines(journal).size();
  ASSERT_GT(lines.size(), shownLines);
  for (size_t i = shownLines; i + 1 < lines.size(); ++i) {
    EXPECT_TRUE(std::regex_match(lines[i], std::regex(R"(\d\d:\d\d:\d\d, .* MHz\r)"))) << lines[i];
  }
  EXPECT_TRUE(std::regex_match(lines.back(), kInterruptedLine)) << lines.back();
  // The report tool reads it as a run that ended without Stop.
  CopyInto(folder, "sentel-report.exe");
  const ReportResult report = RunReport(folder, logs[0]);
  EXPECT_EQ(0u, report.exitCode) << report.output;
  EXPECT_NE(std::string::npos, report.output.find("ended without Stop (closed by the journal)"))
      << report.output;

  // A clean run afterwards: its own file, and no journal left.
  Click(dialog, IDC_START_STOP);
  ASSERT_TRUE(WaitForLogLines(dialog, 2, 10000));
  PostCommand(dialog, IDC_START_STOP);
  ASSERT_TRUE(WaitForCaption(dialog, "Start"));
  EXPECT_EQ(2u, ListFiles(folder, "log_*.txt").size());
  EXPECT_TRUE(Journals(folder).empty());
  Click(dialog, IDC_EXIT);
  EXPECT_EQ(1008u, next.WaitForExit());
}

TEST_F(E2e, TheJournalFollowsSaveOnStopDuringARun) {
  PrepareQuickRun(false);
  HWND dialog = Start();
  ASSERT_NE(nullptr, dialog);
  SetCheck(dialog, IDC_SAVE_ON_STOP, false);
  Click(dialog, IDC_START_STOP);
  ASSERT_TRUE(WaitForLogLines(dialog, 3, 10000));
  EXPECT_TRUE(Journals(folder).empty());
  // Ticked: the journal starts with what the log holds so far.
  SetCheck(dialog, IDC_SAVE_ON_STOP, true);
  PostCommand(dialog, IDC_SAVE_ON_STOP);
  std::string journal;
  EXPECT_TRUE(WaitUntil([&] { return JournalMatchesLog(folder, dialog, journal); }, 5000))
      << journal;
  SetCheck(dialog, IDC_SAVE_ON_STOP, false);
  PostCommand(dialog, IDC_SAVE_ON_STOP);
  EXPECT_TRUE(WaitUntil([&] { return Journals(folder).empty(); }, 5000));
  PostCommand(dialog, IDC_START_STOP);
  ASSERT_TRUE(WaitForCaption(dialog, "Start"));
  EXPECT_TRUE(ListFiles(folder, "*").size() == 1u) << "only the program itself";
}

TEST_F(E2e, CoolBitsBit1KeepsEveryRunOffTheDisk) {
  PrepareQuickRun(false);
  Settings::SetDword("CoolBits", 0x02);
  HWND dialog = Start();
  ASSERT_NE(nullptr, dialog);
  ASSERT_TRUE(IsChecked(dialog, IDC_SAVE_ON_STOP));
  Click(dialog, IDC_START_STOP);
  ASSERT_TRUE(WaitForLogLines(dialog, 3, 10000));
  EXPECT_TRUE(Journals(folder).empty());
  PostCommand(dialog, IDC_START_STOP);
  ASSERT_TRUE(WaitForCaption(dialog, "Start"));
  EXPECT_EQ(1u, ListFiles(folder, "*").size());
}

TEST_F(E2e, AnUnwritableFolderReportsTheJournalOnceAndTheRunGoesOn) {
  PrepareQuickRun(false);
  Settings::SetDword("CoolBits", 0x01);  // stays visible
  HWND dialog = Start();
  ASSERT_NE(nullptr, dialog);
  const ImmutableFolder locked(folder);
  if (!locked.Locked()) GTEST_SKIP() << "this file system cannot make " << folder << " immutable";
  Click(dialog, IDC_START_STOP);
  const auto box = program.WaitForMessageBox(10000);
  ASSERT_TRUE(box.has_value());
  EXPECT_EQ("Fatal Error", box->caption);
  EXPECT_EQ(0u, box->text.find("Save log failed.\nError code=8007")) << box->text;
  CloseMessageBox(box->window);
  // The run goes on, and the journal is not reported again.
  ASSERT_TRUE(WaitForLogLines(dialog, 5, 15000)) << LogText(dialog);
  EXPECT_EQ(0u, OpenMessageBoxes(program));
  PostCommand(dialog, IDC_START_STOP);
  // The Save on Stop file cannot be written either, and says so.
  const auto saveBox = program.WaitForMessageBox(10000);
  ASSERT_TRUE(saveBox.has_value());
  EXPECT_EQ("Save log failed.\nError code=80004005\n", saveBox->text);
  CloseMessageBox(saveBox->window);
  ASSERT_TRUE(WaitForCaption(dialog, "Start"));
  EXPECT_TRUE(std::regex_match(LogLines(dialog).back(), kStoppedLine));
}

TEST_F(E2e, AReadingThatFailsAtEveryTickShowsOneBoxAndEveryLine) {
  const FaultsForProgram faults("ntquerycall");
  PrepareQuickRun(true);
  Settings::SetDword("CoolBits", 0x01 | 0x02);  // stay visible, write no file
  HWND dialog = Start();
  ASSERT_NE(nullptr, dialog);
  Click(dialog, IDC_START_STOP);
  // Twenty ticks with the box left open.
  size_t mostBoxes = 0;
  const DWORD begin = GetTickCount();
  WaitUntil(
      [&] {
        mostBoxes = std::max(mostBoxes, OpenMessageBoxes(program));
        return GetTickCount() - begin >= 21000;
      },
      30000);
  EXPECT_EQ(1u, mostBoxes);
  PostCommand(dialog, IDC_START_STOP);
  ASSERT_TRUE(WaitForCaption(dialog, "Start"));
  while (const auto box = program.WaitForMessageBox(2000)) CloseMessageBox(box->window);
  ASSERT_TRUE(WaitUntil([&] { return OpenMessageBoxes(program) == 0; }, 5000));

  const auto lines = LogLines(dialog);
  ASSERT_GE(lines.size(), 17u) << "a line per tick while the box was open";
  EXPECT_TRUE(std::regex_match(lines.front(), kStartedLine));
  EXPECT_TRUE(std::regex_match(lines.back(), kStoppedLine)) << "nothing after the stopped line";
  int previous = -1;
  for (size_t i = 1; i + 1 < lines.size(); ++i) {
    std::smatch sample;
    ASSERT_TRUE(std::regex_match(lines[i], sample, kSampleLine)) << lines[i];
    EXPECT_EQ("0.0", sample[4].str());
    const int second = SecondsOfDay(sample[1].str());
    EXPECT_GE(second, previous) << "in the order of the ticks";
    previous = second;
  }
}

TEST_F(E2e, TheEndOfTheSessionSavesTheSettings) {
  Settings::UseQuickCalibration();
  HWND dialog = Start();
  ASSERT_NE(nullptr, dialog);
  SetControlText(dialog, IDC_START_DELAY, "7");
  SetControlText(dialog, IDC_CHECK_PERIOD, "9");
  Click(dialog, IDC_SAVE_ON_STOP);  // takes the settings
  ASSERT_TRUE(WaitUntil([&] { return !IsChecked(dialog, IDC_SAVE_ON_STOP); }, 5000));
  DWORD_PTR ignored = 0;
  SendMessageTimeoutA(dialog, WM_ENDSESSION, TRUE, 0, SMTO_ABORTIFHUNG, 10000, &ignored);
  EXPECT_EQ(7u, Settings::ReadDword("StartTime").value_or(0));
  EXPECT_EQ(9u, Settings::ReadDword("CheckTime").value_or(0));
  Kill(program);
}
