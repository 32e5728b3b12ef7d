// Where the language module comes from, and that none of its code runs.
#include <gtest/gtest.h>

#include "res/resource.h"
#include "tests/e2e/Fixture.h"

using namespace e2e;

namespace {
// Restores PATH when it goes.
class PathPrefix {
 public:
  explicit PathPrefix(const std::string& folder) {
    char path[32768] = {};
    GetEnvironmentVariableA("PATH", path, sizeof path);
    saved_ = path;
    SetEnvironmentVariableA("PATH", (folder + ";" + saved_).c_str());
  }
  ~PathPrefix() { SetEnvironmentVariableA("PATH", saved_.c_str()); }
  PathPrefix(const PathPrefix&) = delete;
  PathPrefix& operator=(const PathPrefix&) = delete;

 private:
  std::string saved_;
};
}  // namespace

TEST_F(E2e, AModuleOnlyInTheWorkingFolderOrOnThePathIsNotLoaded) {
  Settings::UseQuickCalibration();
  Settings::SetDword("Language", 1031);
  const std::string elsewhere = MakeSandbox("ModuleElsewhere");
  CopyInto(elsewhere, "sentel1031.dll");
  const PathPrefix onPath(elsewhere);
  ASSERT_TRUE(program.Launch(folder, elsewhere));
  HWND dialog = program.WaitForDialog();
  ASSERT_NE(nullptr, dialog);
  EXPECT_EQ("Start", ControlText(dialog, IDC_START_STOP));
  Click(dialog, IDC_EXIT);
  EXPECT_EQ(1008u, program.WaitForExit());
}

TEST_F(E2e, AModuleBesideTheProgramGivesItsTextsButRunsNoCode) {
  Settings::UseQuickCalibration();
  Settings::SetDword("Language", 1031);
  CopyInto(folder, "sentel_test_marking.dll", "sentel1031.dll");
  HWND dialog = Start();
  ASSERT_NE(nullptr, dialog);
  EXPECT_EQ("Starten", ControlText(dialog, IDC_START_STOP));
  EXPECT_EQ("Kerntakt", ControlText(dialog, IDC_CORE_CLOCK));
  EXPECT_TRUE(IsWindowEnabled(GetDlgItem(dialog, IDC_CORE_CLOCK)));
  Click(dialog, IDC_EXIT);
  EXPECT_EQ(1008u, program.WaitForExit());
  EXPECT_TRUE(ListFiles(folder, "entry-point-ran").empty()) << "the module's entry point ran";
}
