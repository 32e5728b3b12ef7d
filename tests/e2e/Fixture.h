// Every end-to-end test starts from a clean settings key and its own folder
// holding a copy of the program.
#pragma once
#include <gtest/gtest.h>

#include "tests/e2e/Driver.h"

class E2e : public testing::Test {
 protected:
  void SetUp() override {
    e2e::Settings::DeleteKey();
    e2e::SetWineVersion(nullptr);
    const auto* test = testing::UnitTest::GetInstance()->current_test_info();
    std::string name = std::string(test->test_suite_name()) + "." + test->name();
    // A table row's name holds slashes ("E2e/Suite.Test/Row"): one folder each.
    for (char& c : name) {
      if (c == '/') c = '.';
    }
    folder = e2e::MakeSandbox(name);
    e2e::CopyInto(folder, "sentel.exe");
  }
  void TearDown() override {
    e2e::Settings::DeleteKey();
    e2e::SetWineVersion(nullptr);
  }
  // Launches the program, answers Yes to the warning about an older Windows,
  // and waits for its dialog.
  HWND StartPastTheVersionWarning() {
    if (!program.Launch(folder)) return nullptr;
    const auto warning = program.WaitForMessageBox();
    if (!warning) return nullptr;
    e2e::Click(warning->window, IDYES);
    return program.WaitForDialog();
  }
  // Launches the program and waits for its dialog.
  HWND Start() {
    if (!program.Launch(folder)) return nullptr;
    return program.WaitForDialog();
  }

  std::string folder;
  e2e::Program program;
};
