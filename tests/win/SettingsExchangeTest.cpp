// Moving the settings between the state record and the main dialog's controls,
// on the real dialog 129 (initialisation left out, so each test sets the fields).
#include <windows.h>
// after windows.h
#include <commctrl.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "monitor/MonitorDialog.h"
#include "res/resource.h"
#include "tests/common/Controls.h"
#include "tests/win/DialogTestHost.h"

namespace {
using Dialog = testhost::Hosted<MonitorDialog>;

HWND Item(const MonitorDialog& d, int id) { return GetDlgItem(d.Window(), id); }

std::vector<HWND> Spins(HWND dialog) { return test_controls::ChildWindows(dialog, UPDOWN_CLASSA); }

HWND SpinOf(HWND edit) { return reinterpret_cast<HWND>(GetWindowLongPtrA(edit, GWLP_USERDATA)); }

std::pair<int, int> RangeOf(HWND spin) {
  int lower = -1, upper = -1;
  SendMessageA(spin, UDM_GETRANGE32, reinterpret_cast<WPARAM>(&lower),
               reinterpret_cast<LPARAM>(&upper));
  return {lower, upper};
}

void SetAllFields(MonitorDialog& d, CheckState value) {
  for (CheckState* field : {&d.checkCpuClock, &d.checkCpuLoad, &d.checkBusClock, &d.thermalMonitor,
                            &d.useIdleThread, &d.useMmTimer, &d.availableMemory, &d.saveOnStop}) {
    *field = value;
  }
}
}  // namespace

TEST(SettingsExchange, ShowingGivesEachEditOneSpinControlWithItsRange) {
  Dialog dialog;
  dialog.body = [](MonitorDialog& d) {
    d.startDelayMinutes = 5;
    d.checkPeriodSeconds = 30;
    ASSERT_TRUE(Spins(d.Window()).empty());
    d.ShowSettings();

    const std::vector<HWND> spins = Spins(d.Window());
    ASSERT_EQ(2u, spins.size());
    const HWND startSpin = SpinOf(Item(d, IDC_START_DELAY));
    const HWND periodSpin = SpinOf(Item(d, IDC_CHECK_PERIOD));
    EXPECT_TRUE(IsWindow(startSpin));
    EXPECT_TRUE(IsWindow(periodSpin));
    EXPECT_NE(startSpin, periodSpin);
    EXPECT_EQ(Item(d, IDC_START_DELAY),
              reinterpret_cast<HWND>(SendMessageA(startSpin, UDM_GETBUDDY, 0, 0)));
    EXPECT_EQ((std::pair<int, int>{0, 120}), RangeOf(startSpin));
    EXPECT_EQ((std::pair<int, int>{1, 300}), RangeOf(periodSpin));
    EXPECT_EQ(5, LOWORD(SendMessageA(startSpin, UDM_GETPOS, 0, 0)));
    EXPECT_EQ(0, GetDlgCtrlID(startSpin));
    EXPECT_EQ(d.Window(), GetParent(startSpin));
    EXPECT_EQ("5", testhost::TextOf(Item(d, IDC_START_DELAY)));
    EXPECT_EQ("30", testhost::TextOf(Item(d, IDC_CHECK_PERIOD)));

    // Shown again: the same spin controls are found through the edits.
    d.startDelayMinutes = 7;
    d.ShowSettings();
    EXPECT_EQ(spins, Spins(d.Window()));
    EXPECT_EQ(startSpin, SpinOf(Item(d, IDC_START_DELAY)));
    EXPECT_EQ("7", testhost::TextOf(Item(d, IDC_START_DELAY)));
  };
  dialog.Run();
}

TEST(SettingsExchange, ShowingLeavesAnOutOfRangeValueAndClampsCheckStates) {
  Dialog dialog;
  dialog.body = [](MonitorDialog& d) {
    d.startDelayMinutes = 500;
    d.checkPeriodSeconds = 0;
    d.checkCpuClock = 2;
    d.checkCpuLoad = 3;
    d.checkBusClock = -1;
    d.thermalMonitor = 1;
    d.useIdleThread = 0;
    d.useMmTimer = 1;
    d.availableMemory = 0x7FFFFFFF;
    d.saveOnStop = 0;
    d.ShowSettings();

    EXPECT_EQ("500", testhost::TextOf(Item(d, IDC_START_DELAY)));
    EXPECT_EQ("0", testhost::TextOf(Item(d, IDC_CHECK_PERIOD)));
    EXPECT_EQ((std::pair<int, int>{0, 120}), RangeOf(SpinOf(Item(d, IDC_START_DELAY))));
    EXPECT_EQ(500u, d.startDelayMinutes);
    EXPECT_EQ(2, d.checkCpuClock);
    EXPECT_EQ(0, d.checkCpuLoad);
    EXPECT_EQ(0, d.checkBusClock);
    EXPECT_EQ(0, d.availableMemory);
    EXPECT_EQ(BST_UNCHECKED, IsDlgButtonChecked(d.Window(), IDC_CHECK_CPU_LOAD));
    EXPECT_EQ(BST_CHECKED, IsDlgButtonChecked(d.Window(), IDC_THERMAL_MONITOR));
    EXPECT_EQ(BST_CHECKED, IsDlgButtonChecked(d.Window(), IDC_USE_MM_TIMER));
    EXPECT_EQ(BST_UNCHECKED, IsDlgButtonChecked(d.Window(), IDC_USE_IDLE_THREAD));
    EXPECT_TRUE(IsWindowEnabled(Item(d, IDC_SAVE)));

    d.saveOnStop = 1;
    d.ShowSettings();
    EXPECT_FALSE(IsWindowEnabled(Item(d, IDC_SAVE)));
    EXPECT_EQ(BST_CHECKED, IsDlgButtonChecked(d.Window(), IDC_SAVE_ON_STOP));
  };
  dialog.Run();
}

TEST(SettingsExchange, TakingChecksEachEditsRange) {
  const struct {
    int id;
    const char* text;
    bool passes;
    uint32_t field;  // what the field holds afterwards
  } cases[] = {
      {IDC_START_DELAY, "0", true, 0},       {IDC_START_DELAY, "120", true, 120},
      {IDC_START_DELAY, "121", false, 121},  {IDC_START_DELAY, " 42", true, 42},
      {IDC_START_DELAY, "abc", false, 0},    {IDC_CHECK_PERIOD, "1", true, 1},
      {IDC_CHECK_PERIOD, "300", true, 300},  {IDC_CHECK_PERIOD, "0", false, 0},
      {IDC_CHECK_PERIOD, "301", false, 301}, {IDC_CHECK_PERIOD, "", false, 0},
  };
  Dialog dialog;
  dialog.body = [&](MonitorDialog& d) {
    for (const auto& c : cases) {
      SCOPED_TRACE(std::to_string(c.id) + " \"" + c.text + "\"");
      SetDlgItemTextA(d.Window(), c.id, c.text);
      SetFocus(Item(d, IDC_EXIT));
      uint32_t field = 999;
      const bool isPeriod = c.id == IDC_CHECK_PERIOD;
      EXPECT_EQ(c.passes,
                d.ExchangeInt(c.id, field, false, true, isPeriod ? 1 : 0, isPeriod ? 300 : 120));
      EXPECT_EQ(c.field, field);
      EXPECT_EQ(c.passes ? Item(d, IDC_EXIT) : Item(d, c.id), GetFocus());
    }
  };
  dialog.Run();
}

TEST(SettingsExchange, TakingStopsAtTheFirstFailingEditAndKeepsTheBoxes) {
  Dialog dialog;
  dialog.body = [](MonitorDialog& d) {
    d.startDelayMinutes = 5;
    d.checkPeriodSeconds = 30;
    SetAllFields(d, 1);
    d.ShowSettings();
    for (int id : {IDC_CHECK_CPU_LOAD, IDC_USE_MM_TIMER, IDC_SAVE_ON_STOP}) {
      CheckDlgButton(d.Window(), id, BST_UNCHECKED);
    }

    SetDlgItemTextA(d.Window(), IDC_START_DELAY, "121");
    SetDlgItemTextA(d.Window(), IDC_CHECK_PERIOD, "60");
    EXPECT_FALSE(d.TakeSettings());
    EXPECT_EQ(121u, d.startDelayMinutes);
    EXPECT_EQ(30u, d.checkPeriodSeconds);  // not read
    EXPECT_EQ(1, d.checkCpuLoad);
    EXPECT_EQ(1, d.useMmTimer);
    EXPECT_EQ(1, d.saveOnStop);
    EXPECT_FALSE(IsWindowEnabled(Item(d, IDC_SAVE)));  // untouched
    EXPECT_EQ(Item(d, IDC_START_DELAY), GetFocus());

    SetDlgItemTextA(d.Window(), IDC_START_DELAY, "10");
    SetDlgItemTextA(d.Window(), IDC_CHECK_PERIOD, "");
    EXPECT_FALSE(d.TakeSettings());
    EXPECT_EQ(10u, d.startDelayMinutes);
    EXPECT_EQ(0u, d.checkPeriodSeconds);
    EXPECT_EQ(1, d.saveOnStop);
    EXPECT_EQ(Item(d, IDC_CHECK_PERIOD), GetFocus());

    SetDlgItemTextA(d.Window(), IDC_CHECK_PERIOD, "60");
    EXPECT_TRUE(d.TakeSettings());
    EXPECT_EQ(60u, d.checkPeriodSeconds);
    EXPECT_EQ(0, d.checkCpuLoad);
    EXPECT_EQ(0, d.useMmTimer);
    EXPECT_EQ(0, d.saveOnStop);
    EXPECT_EQ(1, d.checkCpuClock);
    EXPECT_EQ(1, d.availableMemory);
    EXPECT_TRUE(IsWindowEnabled(Item(d, IDC_SAVE)));
  };
  dialog.Run();
}
