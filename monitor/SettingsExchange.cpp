// Moving the settings between the state record and the dialog's controls, and
// the "Save on Stop" check box that takes them.
#include <windows.h>
// after windows.h
#include <commctrl.h>

#include "app/ResourceStrings.h"
#include "monitor/MonitorDialog.h"
#include "res/resource.h"

namespace {
// Child, visible, border, buddy int, right, arrows, no thousands.
constexpr DWORD kSpinStyle = 0x508000A6;

struct CheckBoxField {
  int controlId;
  CheckState MonitorDialog::*field;
};
constexpr CheckBoxField kCheckBoxes[] = {
    {IDC_CHECK_CPU_CLOCK, &MonitorDialog::checkCpuClock},
    {IDC_CHECK_CPU_LOAD, &MonitorDialog::checkCpuLoad},
    {IDC_CHECK_BUS_CLOCK, &MonitorDialog::checkBusClock},
    {IDC_THERMAL_MONITOR, &MonitorDialog::thermalMonitor},
    {IDC_USE_IDLE_THREAD, &MonitorDialog::useIdleThread},
    {IDC_USE_MM_TIMER, &MonitorDialog::useMmTimer},
    {IDC_AVAILABLE_MEMORY, &MonitorDialog::availableMemory},
    {IDC_SAVE_ON_STOP, &MonitorDialog::saveOnStop},
    // A language module without the box reads as unticked: the figure is not offered.
    {IDC_CORE_CLOCK, &MonitorDialog::checkCoreClock},
};
}  // namespace

bool MonitorDialog::ExchangeInt(int controlId, uint32_t& field, bool isSigned, bool fromControl,
                                uint32_t minimum, uint32_t maximum) {
  const HWND dialog = Window();
  const HWND edit = GetDlgItem(dialog, controlId);
  bool ok = false;
  if (fromControl) {
    BOOL translated = FALSE;
    field = GetDlgItemInt(dialog, controlId, &translated, isSigned);
    ok = translated && field >= minimum && field <= maximum;
  } else {
    // The spin control is created the first time the value is shown.
    const auto spin = reinterpret_cast<HWND>(GetWindowLongPtrA(edit, GWLP_USERDATA));
    if (!IsWindow(spin)) {
      RECT rect{};
      GetWindowRect(edit, &rect);
      const int height = rect.bottom - rect.top;
      const HWND created = CreateUpDownControl(kSpinStyle, 0, 0, height, height, dialog, 0,
                                               ResourceModule(), edit, static_cast<int>(maximum),
                                               static_cast<int>(minimum), static_cast<int>(field));
      SendMessageA(created, UDM_SETRANGE32, minimum, static_cast<LPARAM>(maximum));
      SetWindowLongPtrA(edit, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(created));
    }
    ok = SetDlgItemInt(dialog, controlId, field, FALSE) != FALSE;
  }
  if (!ok) {
    MessageBeep(0xFFFFFFFF);
    SetFocus(edit);
  }
  return ok;
}

void MonitorDialog::ShowSettings() {
  if (!ExchangeInt(IDC_START_DELAY, startDelayMinutes, false, false, 0, 120)) return;
  if (!ExchangeInt(IDC_CHECK_PERIOD, checkPeriodSeconds, false, false, 1, 300)) return;
  for (const auto& box : kCheckBoxes) {
    CheckState& state = this->*box.field;
    if (state < 0 || state > 2) state = 0;
    SendDlgItemMessageA(Window(), box.controlId, BM_SETCHECK, static_cast<WPARAM>(state), 0);
  }
  EnableWindow(GetDlgItem(Window(), IDC_SAVE), saveOnStop == 0);
}

bool MonitorDialog::TakeSettings() {
  if (!ExchangeInt(IDC_START_DELAY, startDelayMinutes, false, true, 0, 120)) return false;
  if (!ExchangeInt(IDC_CHECK_PERIOD, checkPeriodSeconds, false, true, 1, 300)) return false;
  for (const auto& box : kCheckBoxes) {
    this->*box.field =
        static_cast<CheckState>(SendDlgItemMessageA(Window(), box.controlId, BM_GETCHECK, 0, 0));
  }
  EnableWindow(GetDlgItem(Window(), IDC_SAVE), saveOnStop == 0);
  return true;
}

LRESULT MonitorDialog::OnSaveOnStop() {
  TakeSettings();
  EnableWindow(saveButton, !running && saveOnStop == 0);
  // During a run the journal follows the box: it starts with the log so far.
  if (running) FollowJournalSetting();
  return 0;
}
