// Start-up: one instance, the version warning, and the language module.
#include <gtest/gtest.h>

#include "res/resource.h"
#include "tests/e2e/Fixture.h"

using namespace e2e;

namespace {
// The name the program gives the module of a language.
std::string ModuleFor(unsigned languageId) {
  char name[32];
  snprintf(name, sizeof name, "sentel%04u.dll", languageId);
  return name;
}
}  // namespace

TEST_F(E2e, SecondStartBringsTheHiddenFirstForwardAndEndsWith0) {
  Settings::UseQuickCalibration();
  HWND dialog = Start();
  ASSERT_NE(nullptr, dialog);
  PostMessageA(dialog, WM_SYSCOMMAND, SC_MINIMIZE, 0);
  ASSERT_TRUE(WaitUntil([&] { return !IsWindowVisible(dialog); }, 10000));

  Program second;
  ASSERT_TRUE(second.Launch(folder));
  EXPECT_EQ(0u, second.WaitForExit());
  EXPECT_TRUE(second.TopLevelWindows().empty());
  EXPECT_TRUE(WaitUntil([&] { return IsWindowVisible(dialog) && !IsIconic(dialog); }, 10000));
  EXPECT_EQ(dialog, GetForegroundWindow());
  EXPECT_TRUE(program.IsRunning());
}

TEST_F(E2e, SecondStartRestoresAMinimisedFirst) {
  Settings::UseQuickCalibration();
  HWND dialog = Start();
  ASSERT_NE(nullptr, dialog);
  // A minimised dialog (the program itself hides instead, but Windows can minimise it).
  ShowWindowAsync(dialog, SW_MINIMIZE);
  ASSERT_TRUE(WaitUntil([&] { return IsIconic(dialog) != FALSE; }, 10000));

  Program second;
  ASSERT_TRUE(second.Launch(folder));
  EXPECT_EQ(0u, second.WaitForExit());
  EXPECT_TRUE(WaitUntil([&] { return IsWindowVisible(dialog) && !IsIconic(dialog); }, 10000));
}

TEST_F(E2e, ObsoleteWindowsAsksFirstAndNoEndsWith0) {
  SetWineVersion("win98");
  ASSERT_TRUE(program.Launch(folder));
  const auto box = program.WaitForMessageBox();
  ASSERT_TRUE(box);
  EXPECT_EQ("Warning", box->caption);
  EXPECT_EQ(ProgramString(IDS_MSG_OBSOLETE_OS), box->text);
  // Yes and No only, and nothing else of the program is up yet.
  EXPECT_NE(nullptr, GetDlgItem(box->window, IDYES));
  EXPECT_NE(nullptr, GetDlgItem(box->window, IDNO));
  EXPECT_EQ(nullptr, GetDlgItem(box->window, IDOK));
  EXPECT_EQ(1u, program.TopLevelWindows().size());

  Click(box->window, IDNO);
  EXPECT_EQ(0u, program.WaitForExit());
}

TEST_F(E2e, ObsoleteWindowsYesContinues) {
  SetWineVersion("win98");
  Settings::UseQuickCalibration();
  ASSERT_TRUE(program.Launch(folder));
  const auto box = program.WaitForMessageBox();
  ASSERT_TRUE(box);
  Click(box->window, IDYES);
  HWND dialog = program.WaitForDialog();
  ASSERT_NE(nullptr, dialog);
  EXPECT_EQ("Tervo", WindowText(dialog));
  Click(dialog, IDC_EXIT);
  EXPECT_EQ(1008u, program.WaitForExit());
}

TEST_F(E2e, Windows2000IsNotWarnedAbout) {
  SetWineVersion("win2k");
  Settings::UseQuickCalibration();
  HWND dialog = Start();
  ASSERT_NE(nullptr, dialog);
  EXPECT_EQ(1u, program.TopLevelWindows().size());
}

TEST_F(E2e, LanguageValueSelectsTheModuleBesideTheProgram) {
  Settings::UseQuickCalibration();
  Settings::SetDword("Language", 1031);
  CopyInto(folder, "sentel1031.dll");
  HWND dialog = Start();
  ASSERT_NE(nullptr, dialog);
  // The module's dialog and texts.
  EXPECT_EQ(ProgramString(IDS_START, "sentel1031.dll"), ControlText(dialog, IDC_START_STOP));
  EXPECT_EQ("Starten", ControlText(dialog, IDC_START_STOP));
  EXPECT_EQ("Beenden", ControlText(dialog, IDC_EXIT));
  EXPECT_EQ("Tervo", WindowText(dialog));
}

TEST_F(E2e, MissingModuleFallsBackToTheProgramsOwnTexts) {
  Settings::UseQuickCalibration();
  Settings::SetDword("Language", 1031);
  HWND dialog = Start();
  ASSERT_NE(nullptr, dialog);
  EXPECT_EQ("Start", ControlText(dialog, IDC_START_STOP));
}

TEST_F(E2e, LanguageOfAnotherTypeFallsBackToTheUsersDefaultLanguage) {
  Settings::UseQuickCalibration();
  Settings::SetString("Language", "1031");
  // The German module under the name of the user's default language.
  CopyInto(folder, "sentel1031.dll", ModuleFor(GetUserDefaultLangID()).c_str());
  HWND dialog = Start();
  ASSERT_NE(nullptr, dialog);
  EXPECT_EQ("Starten", ControlText(dialog, IDC_START_STOP));
}

TEST_F(E2e, WithoutTheSettingsKeyNoModuleIsLoaded) {
  CopyInto(folder, "sentel1031.dll", ModuleFor(GetUserDefaultLangID()).c_str());
  HWND dialog = Start();
  ASSERT_NE(nullptr, dialog);
  EXPECT_EQ("Start", ControlText(dialog, IDC_START_STOP));
  EXPECT_FALSE(Settings::KeyExists());
}

TEST_F(E2e, ModuleWithoutStringsGivesEmptyTexts) {
  Settings::UseQuickCalibration();
  Settings::SetDword("Language", 1031);
  CopyInto(folder, "sentel_test_nostrings.dll", "sentel1031.dll");
  HWND dialog = Start();
  ASSERT_NE(nullptr, dialog);
  EXPECT_EQ("", WindowText(dialog));  // the title is string 128
  EXPECT_EQ("Start", ControlText(dialog, IDC_START_STOP));  // the dialog's own text
  PostMessageA(dialog, WM_COMMAND, IDCANCEL, 0);
  EXPECT_EQ(2u, program.WaitForExit());
}

TEST_F(E2e, ModuleWithoutTheMainDialogEndsWithMinus1) {
  Settings::UseQuickCalibration();
  Settings::SetDword("Language", 1031);
  CopyInto(folder, "sentel_test_nodialog.dll", "sentel1031.dll");
  ASSERT_TRUE(program.Launch(folder));
  EXPECT_EQ(static_cast<DWORD>(-1), program.WaitForExit());
}
