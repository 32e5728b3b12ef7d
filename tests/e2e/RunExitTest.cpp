// Leaving the program during a run: the run is stopped and saved first.
#include <gtest/gtest.h>

#include <optional>
#include <string>

#include "tests/e2e/Fixture.h"
#include "tests/e2e/RunHelpers.h"

using namespace e2e;
using namespace e2e::runs;

namespace {
HWND StartSavingRun(HWND dialog) {
  SetCheck(dialog, IDC_SAVE_ON_STOP, true);
  Click(dialog, IDC_START_STOP);
  if (!WaitForCaption(dialog, "Stop")) return nullptr;
  if (!WaitForLogLines(dialog, 2, 10000)) return nullptr;
  return dialog;
}

// The one file a Save on Stop wrote, which ends with the stopped line.
void ExpectSavedRun(const std::string& folder) {
  const auto files = ListFiles(folder, "log_*.txt");
  ASSERT_EQ(1u, files.size());
  const std::string bytes = ReadFileBytes(folder + files[0]);
  EXPECT_TRUE(EveryLineEndsWithCrLf(bytes));
  const auto lines = SplitLines(bytes);
  ASSERT_GE(lines.size(), 5u) << bytes;
  EXPECT_TRUE(std::regex_match(lines[2], std::regex(R"(started: .*\r)"))) << lines[2];
  EXPECT_TRUE(std::regex_match(lines[3], std::regex(R"(\d\d:\d\d:\d\d, .* MHz\r)"))) << lines[3];
  EXPECT_TRUE(std::regex_match(lines.back(), std::regex(R"(stopped: .*\r)"))) << lines.back();
}
}  // namespace

// The three ways out during a run, each with the exit code it ends with
// (none for the end of the session, which the program survives).
struct WayOut {
  const char* name;
  // cppcheck-suppress unusedStructMember ; read through GetParam(), which it does not follow
  void (*leave)(HWND dialog);
  std::optional<DWORD> exitCode;
};

void PrintTo(const WayOut& row, std::ostream* out) { *out << row.name; }

class LeavingDuringARun : public E2e, public testing::WithParamInterface<WayOut> {};

TEST_P(LeavingDuringARun, SavesTheStoppedRun) {
  PrepareQuickRun(false);
  HWND dialog = Start();
  ASSERT_NE(nullptr, dialog);
  ASSERT_NE(nullptr, StartSavingRun(dialog));
  GetParam().leave(dialog);
  if (GetParam().exitCode) {
    EXPECT_EQ(GetParam().exitCode, program.WaitForExit());
  } else {
    EXPECT_TRUE(std::regex_match(LogLines(dialog).back(), kStoppedLine));
  }
  ExpectSavedRun(folder);
}

INSTANTIATE_TEST_SUITE_P(
    E2e, LeavingDuringARun,
    testing::Values(
        WayOut{"Escape", [](HWND dialog) { PostMessageA(dialog, WM_COMMAND, IDCANCEL, 0); }, 2u},
        // The tray menu's Exit item sends the Exit button's command.
        WayOut{"TrayExit", [](HWND dialog) { PostMessageA(dialog, WM_COMMAND, IDC_EXIT, 0); },
               1008u},
        WayOut{"EndOfSession",
               [](HWND dialog) {
                 DWORD_PTR ignored = 0;
                 SendMessageTimeoutA(dialog, WM_QUERYENDSESSION, 0, 0, SMTO_ABORTIFHUNG, 5000,
                                     &ignored);
                 SendMessageTimeoutA(dialog, WM_ENDSESSION, TRUE, 0, SMTO_ABORTIFHUNG, 10000,
                                     &ignored);
               },
               std::nullopt}),
    [](const testing::TestParamInfo<WayOut>& row) { return std::string(row.param.name); });
