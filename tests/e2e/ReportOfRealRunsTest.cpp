// The report tool on logs that the real monitor wrote: two runs saved into one
// file by hand, and a run saved on Stop with the German module.
#include <gtest/gtest.h>

#include <regex>
#include <sstream>

#include "tests/e2e/Fixture.h"
#include "tests/e2e/ReportHelpers.h"
#include "tests/e2e/RunHelpers.h"

using namespace e2e;
using namespace e2e::runs;

namespace {
// The sample lines of each run in a saved log, by the shapes the tests know.
std::vector<std::vector<std::string>> SamplesByRun(const std::string& bytes,
                                                   const std::regex& startedLine) {
  std::vector<std::vector<std::string>> runs;
  for (std::string line : SplitLines(bytes)) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (std::regex_match(line, startedLine)) runs.emplace_back();
    if (!runs.empty() && std::regex_match(line, kSampleLine)) runs.back().push_back(line);
  }
  return runs;
}

// Runs until `samples` sample lines are in the log, then stops.
bool RunFor(HWND dialog, size_t samples, const std::string& stopCaption,
            const std::string& startCaption) {
  Click(dialog, IDC_START_STOP);
  if (!WaitForCaption(dialog, stopCaption) || !WaitForLogLines(dialog, samples + 1, 30000)) {
    return false;
  }
  PostCommand(dialog, IDC_START_STOP);
  return WaitForCaption(dialog, startCaption);
}

size_t CountMatches(const std::string& text, const std::regex& pattern) {
  return static_cast<size_t>(std::distance(std::sregex_iterator(text.begin(), text.end(), pattern),
                                           std::sregex_iterator()));
}
}  // namespace

TEST_F(E2e, ReportOfTwoRunsSavedIntoOneFile) {
  PrepareQuickRun(true);
  Settings::SetDword("FreeMem", 1);
  Settings::SetDword("CoreClock", 1);
  CopyInto(folder, "sentel-report.exe");
  HWND dialog = Start();
  ASSERT_NE(nullptr, dialog);
  SetCheck(dialog, IDC_SAVE_ON_STOP, false);
  PostCommand(dialog, IDC_SAVE_ON_STOP);
  const std::string log = folder + "two runs.txt";
  // The first run is saved to a new file; the second is appended after the prompt.
  ASSERT_TRUE(RunFor(dialog, 12, "Stop", "Start"));
  ASSERT_TRUE(
      WaitUntil([&] { return IsWindowEnabled(GetDlgItem(dialog, IDC_SAVE)) != FALSE; }, 5000));
  Click(dialog, IDC_SAVE);
  HWND saveAs = WaitForSaveAsDialog(program);
  ASSERT_NE(nullptr, saveAs);
  ConfirmSaveAs(saveAs, log);
  ASSERT_TRUE(WaitUntil([&] { return !ReadFileBytes(log).empty(); }, 10000));
  ASSERT_TRUE(WaitUntil([&] { return FindSaveAsDialog(program) == nullptr; }, 10000));
  const size_t firstSize = ReadFileBytes(log).size();
  ASSERT_TRUE(RunFor(dialog, 5, "Stop", "Start"));
  Click(dialog, IDC_SAVE);
  saveAs = WaitForSaveAsDialog(program);
  ASSERT_NE(nullptr, saveAs);
  PostMessageA(GetDlgItem(saveAs, IDOK), BM_CLICK, 0, 0);
  const auto prompt = program.WaitForMessageBox(10000);
  ASSERT_TRUE(prompt.has_value());
  PostMessageA(GetDlgItem(prompt->window, IDYES), BM_CLICK, 0, 0);
  ASSERT_TRUE(WaitUntil([&] { return ReadFileBytes(log).size() > firstSize; }, 10000));
  const std::string bytes = ReadFileBytes(log);
  const auto runs = SamplesByRun(bytes, kStartedLine);
  ASSERT_EQ(2u, runs.size()) << bytes;

  const ReportResult report =
      RunReport(folder, "--csv report.csv --svg report.svg \"two runs.txt\"");
  ASSERT_EQ(0u, report.exitCode) << report.output;
  for (size_t run = 0; run < runs.size(); ++run) {
    std::ostringstream samples;
    samples << "samples    " << runs[run].size() << "\r\n";
    EXPECT_NE(std::string::npos, report.output.find(samples.str())) << report.output;
  }
  EXPECT_EQ(2u, CountMatches(report.output, std::regex(R"(\n  end +[-\d]+ [:\d]+, stopped\r\n)")))
      << report.output;
  EXPECT_EQ(2u, CountMatches(report.output, std::regex(R"(\n  load +min )"))) << report.output;
  EXPECT_EQ(2u, CountMatches(report.output, std::regex(R"(\n  memory +min )"))) << report.output;
  EXPECT_EQ(2u, CountMatches(report.output, std::regex(R"(\n  core clock +min )"))) << report.output;
  EXPECT_EQ(std::string::npos, report.output.find("not understood")) << report.output;

  // One CSV row per sample line, in order, with the figures as the log wrote them.
  const auto rows = SplitLines(ReadFileBytes(folder + "report.csv"));
  ASSERT_EQ(1 + runs[0].size() + runs[1].size(), rows.size());
  size_t row = 1;
  const std::regex csvRow(
      R"((\d),(\d{4}-\d\d-\d\d)T(\d\d:\d\d:\d\d),([\d.]+),([\d.]+),(\d+),([\d.]+)\r)");
  const auto trimmed = [](const std::string& figure) {
    return figure.substr(figure.find_first_not_of(' '));
  };
  for (size_t run = 0; run < runs.size(); ++run) {
    for (const std::string& line : runs[run]) {
      std::smatch cells, pieces;
      ASSERT_TRUE(std::regex_match(rows[row], cells, csvRow)) << rows[row];
      ASSERT_TRUE(std::regex_match(line, pieces, kSampleLine)) << line;
      EXPECT_EQ(std::to_string(run + 1), cells[1].str());
      EXPECT_EQ(pieces[1].str(), cells[3].str());
      EXPECT_EQ(trimmed(pieces[2].str()), cells[4].str());
      EXPECT_EQ(pieces[4].str(), cells[5].str());
      EXPECT_EQ(pieces[6].str(), cells[6].str());
      EXPECT_EQ(trimmed(pieces[8].str()), cells[7].str());
      ++row;
    }
  }
  const std::string svg = ReadFileBytes(folder + "report.svg");
  for (const char* panel : {"class=\"clock\"", "class=\"load\"", "class=\"memory\""}) {
    EXPECT_NE(std::string::npos, svg.find(panel)) << panel;
  }
  EXPECT_NE(std::string::npos, svg.find(">run 2<"));
}

TEST_F(E2e, ReportOfARunSavedWithTheGermanModule) {
  PrepareQuickRun(false);
  Settings::SetDword("Language", 1031);
  CopyInto(folder, "sentel1031.dll");
  CopyInto(folder, "sentel-report.exe");
  HWND dialog = Start();
  ASSERT_NE(nullptr, dialog);
  ASSERT_TRUE(IsChecked(dialog, IDC_SAVE_ON_STOP));
  const std::string stop = ProgramString(IDS_STOP, "sentel1031.dll");
  const std::string start = ProgramString(IDS_START, "sentel1031.dll");
  ASSERT_NE("Stop", stop);
  ASSERT_TRUE(RunFor(dialog, 3, stop, start));
  std::vector<std::string> files;
  ASSERT_TRUE(
      WaitUntil([&] { return !(files = ListFiles(folder, "protokoll_*")).empty(); }, 10000));
  const std::string bytes = ReadFileBytes(folder + files[0]);
  const auto runs = SamplesByRun(
      bytes,
      std::regex(R"(gestartet: \d\d/\d\d/\d\d, \d\d:\d\d:\d\d \((HPC|MM-Timer) wird verwendet\))"));
  ASSERT_EQ(1u, runs.size()) << bytes;

  const ReportResult report = RunReport(folder, "--csv report.csv " + files[0]);
  ASSERT_EQ(0u, report.exitCode) << report.output;
  // The German timer note, read by its shape.
  const std::regex runLine("Run 1 \\(" + files[0] +
                           ", line 3; (HPC|MM-Timer) wird verwendet\\)\r\n");
  EXPECT_TRUE(std::regex_search(report.output, runLine)) << report.output;
  EXPECT_NE(std::string::npos, report.output.find(", stopped\r\n")) << report.output;
  EXPECT_NE(std::string::npos, report.output.find("samples    " + std::to_string(runs[0].size())))
      << report.output;
  EXPECT_EQ(std::string::npos, report.output.find("not understood")) << report.output;
  EXPECT_EQ(1 + runs[0].size(), SplitLines(ReadFileBytes(folder + "report.csv")).size());

  // The full exit code, as Windows gives it: 2 for a file that is not there.
  EXPECT_EQ(2u, RunReport(folder, "missing.txt").exitCode);
}
