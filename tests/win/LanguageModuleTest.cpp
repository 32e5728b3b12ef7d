// A language module must carry what the program carries, since nothing falls
// back to the program once it is loaded: every string, dialogs 100 and 129 with
// the same controls, menu 203 with the same commands, icon 128. A translation
// that drops any of them is named here, and so are the broken test modules.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "res/resource.h"
#include "tests/common/Files.h"
#include "tests/win/ModuleResources.h"

namespace {
std::string Beside(const char* file) {
  char path[MAX_PATH] = {};
  GetModuleFileNameA(nullptr, path, MAX_PATH);
  return test_files::ParentFolder(path) + file;
}

std::string Describe(const DialogControl& control) {
  char text[96];
  wsprintfA(text, "control %d (%s, style 0x%08lX)", control.id, control.className.c_str(),
            control.style);
  return text;
}

bool SameControl(const DialogControl& a, const DialogControl& b) {
  return a.id == b.id && a.className == b.className && a.style == b.style;
}

void CompareDialog(UINT id, const DialogLayout& want, const DialogLayout& got,
                   std::vector<std::string>& missing) {
  const std::string name = "dialog " + std::to_string(id);
  if (!got.found) {
    missing.push_back(name);
    return;
  }
  if (got.style != want.style) missing.push_back(name + ": its frame style");
  std::vector<DialogControl> left = got.controls;
  for (const DialogControl& control : want.controls) {
    auto match = left.begin();
    while (match != left.end() && !SameControl(*match, control)) ++match;
    if (match == left.end()) {
      missing.push_back(name + ": " + Describe(control));
    } else {
      left.erase(match);
    }
  }
  for (const DialogControl& extra : left) missing.push_back(name + ": no " + Describe(extra));
}

// What `module` lacks of `program`'s resources, one line each; empty when nothing.
std::vector<std::string> WhatIsMissing(const ModuleResources& program,
                                       const ModuleResources& module) {
  std::vector<std::string> missing;
  const auto strings = module.StringIds();
  for (UINT id : program.StringIds()) {
    if (strings.count(id) == 0) missing.push_back("string " + std::to_string(id));
  }
  for (UINT id : {IDD_ABOUTBOX, IDD_MONITOR}) {
    CompareDialog(id, program.Dialog(id), module.Dialog(id), missing);
  }
  const auto commands = module.MenuCommands(IDR_TRAYMENU);
  for (UINT id : program.MenuCommands(IDR_TRAYMENU)) {
    if (std::find(commands.begin(), commands.end(), id) == commands.end()) {
      missing.push_back("menu 203: command " + std::to_string(id));
    }
  }
  const auto images = module.IconImages(IDR_MAINFRAME);
  if (images.empty()) missing.push_back("icon 128");
  for (const std::string& image : program.IconImages(IDR_MAINFRAME)) {
    if (!images.empty() && images.count(image) == 0) missing.push_back("icon 128: " + image);
  }
  return missing;
}

struct ModuleCase {
  // cppcheck-suppress unusedStructMember ; read through GetParam(), which it does not follow
  const char* name;
  const char* file;
  // cppcheck-suppress unusedStructMember ; as above
  std::vector<std::string> missing;  // what the check must report, in its order
};

void PrintTo(const ModuleCase& row, std::ostream* out) { *out << row.file; }

class LanguageModule : public testing::TestWithParam<ModuleCase> {};
}  // namespace

TEST_P(LanguageModule, CarriesEveryResourceOfTheProgram) {
  const ModuleResources program(Beside("sentel.exe"));
  const ModuleResources module(Beside(GetParam().file));
  ASSERT_TRUE(program.Loaded());
  ASSERT_TRUE(module.Loaded()) << GetParam().file;
  std::string report;
  for (const std::string& line : WhatIsMissing(program, module)) report += line + "\n";
  std::string expected;
  for (const std::string& line : GetParam().missing) expected += line + "\n";
  EXPECT_EQ(expected, report) << GetParam().file;
}

TEST(LanguageModuleCheck, ReadsThePrograms) {
  // The check sees what the dialog manager sees; were it blind, every row would pass.
  const ModuleResources program(Beside("sentel.exe"));
  ASSERT_TRUE(program.Loaded());
  EXPECT_EQ(1u, program.StringIds().count(IDS_MSG_OBSOLETE_OS));
  const DialogLayout about = program.Dialog(IDD_ABOUTBOX);
  ASSERT_TRUE(about.found);
  ASSERT_FALSE(about.controls.empty());
  EXPECT_EQ(IDOK, about.controls.back().id);
  EXPECT_EQ("button", about.controls.back().className);
  EXPECT_EQ(static_cast<DWORD>(BS_DEFPUSHBUTTON | WS_TABSTOP | WS_VISIBLE | WS_CHILD),
            about.controls.back().style);
  const auto commands = program.MenuCommands(IDR_TRAYMENU);
  EXPECT_EQ((std::vector<UINT>{ID_TRAY_SHOW, ID_APP_ABOUT, IDC_EXIT}), commands);
  EXPECT_FALSE(program.IconImages(IDR_MAINFRAME).empty());
}

INSTANTIATE_TEST_SUITE_P(
    Modules, LanguageModule,
    testing::Values(ModuleCase{"German", "sentel1031.dll", {}},
                    ModuleCase{"WithoutTheMainDialog", "sentel_test_nodialog.dll", {"dialog 129"}},
                    ModuleCase{"WithoutOneControl",
                               "sentel_test_nocontrol.dll",
                               {"dialog 129: control 1016 (button, style 0x50010003)",
                                "dialog 129: control 1005 (button, style 0x50010003)"}},
                    ModuleCase{
                        "WithMostStringsMissing",
                        "sentel_test_badtexts.dll",
                        {"string 130", "string 137", "string 138", "string 139", "string 142",
                         "string 145", "string 146", "string 56001", "string 56005",
                         "string 56006", "string 56007"}}),
    [](const testing::TestParamInfo<ModuleCase>& row) { return std::string(row.param.name); });
