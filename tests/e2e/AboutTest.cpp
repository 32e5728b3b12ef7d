// The About box: opened from the system menu and the tray menu, closed in
// every way a user closes a dialog, and the main dialog unchanged after it.
#include <gtest/gtest.h>

#include <string>

#include "tests/e2e/DialogHelpers.h"
#include "tests/e2e/Fixture.h"

using namespace e2e;

namespace {
struct MainDialogState {
  bool visible;
  bool enabled;
  std::string title, startDelay, checkPeriod;
  bool saveOnStop;
  bool operator==(const MainDialogState& o) const {
    return visible == o.visible && enabled == o.enabled && title == o.title &&
           startDelay == o.startDelay && checkPeriod == o.checkPeriod && saveOnStop == o.saveOnStop;
  }
};

MainDialogState StateOf(HWND dialog) {
  return {IsWindowVisible(dialog) != FALSE,
          IsWindowEnabled(dialog) != FALSE,
          WindowText(dialog),
          ControlText(dialog, IDC_START_DELAY),
          ControlText(dialog, IDC_CHECK_PERIOD),
          IsChecked(dialog, IDC_SAVE_ON_STOP)};
}

HWND OpenAboutFromSystemMenu(const Program& program, HWND dialog) {
  if (OpenSystemMenu(program, dialog) == nullptr) return nullptr;
  PressKey(VK_END);
  PressKey(VK_RETURN);
  return WaitForAboutBox(program);
}

HWND OpenAboutFromTrayMenu(const Program& program, HWND dialog) {
  if (OpenTrayMenu(program, dialog) == nullptr) return nullptr;
  PressKey('A');
  return WaitForAboutBox(program);
}

// The icon, and the title with the version, as the box shows them.
void ExpectAboutContent(HWND about) {
  EXPECT_EQ("About", WindowText(about));
  bool hasIcon = false;
  std::string text;
  for (HWND child : ChildWindows(about, "Static")) {
    const LONG style = GetWindowLongA(child, GWL_STYLE);
    if ((style & SS_TYPEMASK) == SS_ICON) {
      DWORD_PTR icon = 0;
      SendMessageTimeoutA(child, STM_GETICON, 0, 0, SMTO_ABORTIFHUNG, 5000, &icon);
      hasIcon = hasIcon || icon != 0;
    } else {
      text += WindowText(child);
    }
  }
  EXPECT_TRUE(hasIcon);
  EXPECT_EQ(0u, text.find("Tervo Version 1.0\n")) << text;
  EXPECT_NE(std::string::npos, text.find("Brevane")) << text;
  EXPECT_EQ("OK", ControlText(about, IDOK));
}
}  // namespace

TEST_F(E2e, AboutOpensFromBothMenusWithIconTitleAndVersion) {
  Settings::UseQuickCalibration();
  HWND dialog = Start();
  ASSERT_NE(nullptr, dialog);
  const MainDialogState before = StateOf(dialog);

  HWND about = OpenAboutFromSystemMenu(program, dialog);
  ASSERT_NE(nullptr, about);
  ExpectAboutContent(about);
  // Modal over the main dialog.
  EXPECT_EQ(dialog, GetWindow(about, GW_OWNER));
  EXPECT_FALSE(IsWindowEnabled(dialog));
  // The OK button has the focus.
  EXPECT_EQ(GetDlgItem(about, IDOK), FocusOf(about));
  Click(about, IDOK);
  ASSERT_TRUE(WaitUntil([&] { return !IsWindow(about); }, 10000));
  ASSERT_TRUE(WaitUntil([&] { return IsWindowEnabled(dialog) != FALSE; }, 5000));
  EXPECT_TRUE(before == StateOf(dialog));

  about = OpenAboutFromTrayMenu(program, dialog);
  ASSERT_NE(nullptr, about);
  ExpectAboutContent(about);
  Click(about, IDOK);
  ASSERT_TRUE(WaitUntil([&] { return !IsWindow(about); }, 10000));
  ASSERT_TRUE(WaitUntil([&] { return IsWindowEnabled(dialog) != FALSE; }, 5000));
  EXPECT_TRUE(before == StateOf(dialog));
  EXPECT_TRUE(program.IsRunning());
}

TEST_F(E2e, AboutClosesWithEnterEscapeAndTheCloseBox) {
  Settings::UseQuickCalibration();
  HWND dialog = Start();
  ASSERT_NE(nullptr, dialog);
  const MainDialogState before = StateOf(dialog);

  const struct {
    const char* how;
    void (*close)(HWND about);
  } ways[] = {
      {"Enter", [](HWND about) { BringForward(about), PressKey(VK_RETURN); }},
      {"Escape", [](HWND about) { BringForward(about), PressKey(VK_ESCAPE); }},
      {"close box", [](HWND about) { PostMessageA(about, WM_SYSCOMMAND, SC_CLOSE, 0); }},
  };
  for (const auto& way : ways) {
    SCOPED_TRACE(way.how);
    HWND about = OpenAboutFromSystemMenu(program, dialog);
    ASSERT_NE(nullptr, about);
    way.close(about);
    ASSERT_TRUE(WaitUntil([&] { return !IsWindow(about); }, 10000));
    ASSERT_TRUE(WaitUntil([&] { return IsWindowEnabled(dialog) != FALSE; }, 5000));
    EXPECT_TRUE(before == StateOf(dialog));
    EXPECT_TRUE(program.IsRunning());
  }
}
