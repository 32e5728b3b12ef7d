// Saving the log by hand through the system's Save As dialog.
#include <gtest/gtest.h>

#include "tests/e2e/Fixture.h"
#include "tests/e2e/RunHelpers.h"

using namespace e2e;
using namespace e2e::runs;

namespace {
// A short run with one sample, not saved on Stop.
bool RunOnce(HWND dialog) {
  SetCheck(dialog, IDC_SAVE_ON_STOP, false);
  PostCommand(dialog, IDC_SAVE_ON_STOP);
  Click(dialog, IDC_START_STOP);
  if (!WaitForLogLines(dialog, 2, 10000)) return false;
  PostCommand(dialog, IDC_START_STOP);
  return WaitForCaption(dialog, "Start") &&
         WaitUntil([&] { return IsWindowEnabled(GetDlgItem(dialog, IDC_SAVE)) != FALSE; }, 5000);
}

std::string HeaderOf(const std::string& bytes) {
  std::smatch header;
  if (!std::regex_search(bytes, header, kHeader) || header.position(0) != 0) return {};
  return header.str(0);
}
}  // namespace

TEST_F(E2e, SaveAsWritesANewFileThenAppendsAfterTheOverwritePrompt) {
  PrepareQuickRun(false);
  HWND dialog = Start();
  ASSERT_NE(nullptr, dialog);
  ASSERT_TRUE(RunOnce(dialog));
  const std::string log = LogText(dialog);
  const std::string path = folder + "my run.txt";

  Click(dialog, IDC_SAVE);
  HWND saveAs = WaitForSaveAsDialog(program);
  ASSERT_NE(nullptr, saveAs);
  // The proposal is a generated name in the program's folder, without extension.
  EXPECT_TRUE(std::regex_search(WindowText(FileNameBox(saveAs)), std::regex(R"(log_\d{8}_\d{6}$)")))
      << WindowText(FileNameBox(saveAs));
  ConfirmSaveAs(saveAs, path);
  ASSERT_TRUE(WaitUntil([&] { return !ReadFileBytes(path).empty(); }, 10000));
  ASSERT_TRUE(WaitUntil([&] { return FindSaveAsDialog(program) == nullptr; }, 10000));
  const std::string first = ReadFileBytes(path);
  const std::string header = HeaderOf(first);
  ASSERT_FALSE(header.empty()) << first;
  EXPECT_EQ(header + WithCrLf(log), first);

  // The next Save... proposes the same file; replacing it appends.
  Click(dialog, IDC_SAVE);
  saveAs = WaitForSaveAsDialog(program);
  ASSERT_NE(nullptr, saveAs);
  const std::string proposed = WindowText(FileNameBox(saveAs));
  EXPECT_NE(std::string::npos, proposed.find("my run.txt")) << proposed;
  PostMessageA(GetDlgItem(saveAs, IDOK), BM_CLICK, 0, 0);
  const auto prompt = program.WaitForMessageBox(10000);
  ASSERT_TRUE(prompt.has_value());
  ASSERT_NE(nullptr, GetDlgItem(prompt->window, IDYES)) << prompt->text;
  PostMessageA(GetDlgItem(prompt->window, IDYES), BM_CLICK, 0, 0);
  ASSERT_TRUE(WaitUntil([&] { return ReadFileBytes(path).size() > first.size(); }, 10000));
  EXPECT_EQ(first + WithCrLf(log), ReadFileBytes(path));
}

TEST_F(E2e, SaveAsBeforeAnyRunSavesOnlyTheHeader) {
  Settings::UseQuickCalibration();
  HWND dialog = Start();
  ASSERT_NE(nullptr, dialog);
  HWND saveAs = OpenSaveAsUnticked(program, dialog);
  ASSERT_NE(nullptr, saveAs);
  // No extension typed: the dialog adds "txt".
  ConfirmSaveAs(saveAs, folder + "empty");
  const std::string path = folder + "empty.txt";
  ASSERT_TRUE(WaitUntil([&] { return !ReadFileBytes(path).empty(); }, 10000));
  const std::string bytes = ReadFileBytes(path);
  EXPECT_TRUE(std::regex_match(bytes, kHeader)) << bytes;
}

TEST_F(E2e, SaveAsIntoAMissingFolderReportsTheFailure) {
  PrepareQuickRun(false);
  HWND dialog = Start();
  ASSERT_NE(nullptr, dialog);
  ASSERT_TRUE(RunOnce(dialog));
  const std::string log = LogText(dialog);
  Click(dialog, IDC_SAVE);
  HWND saveAs = WaitForSaveAsDialog(program);
  ASSERT_NE(nullptr, saveAs);
  ConfirmSaveAs(saveAs, folder + "missing\\log.txt");
  const auto box = program.WaitForMessageBox(10000);
  ASSERT_TRUE(box.has_value());
  EXPECT_EQ("Fatal Error", box->caption);
  EXPECT_EQ("Save log failed.\nError code=80004005\n", box->text);
  CloseMessageBox(box->window);
  EXPECT_EQ(log, LogText(dialog));
  EXPECT_TRUE(program.IsRunning());
}
