// Dressing the main dialog when it opens.
#include <utility>

#include "app/IconSize.h"
#include "app/SettingsKey.h"
#include "app/ResourceStrings.h"
#include "app/WindowsVersion.h"
#include "measure/ClockCalibration.h"
#include "monitor/MonitorDialog.h"
#include "res/resource.h"

namespace {
// The tuning values and CoolBits, read whatever CoolBits says about the settings.
CalibrationTuning ReadTuningValues(uint32_t& coolBits) {
  CalibrationTuning tuning;
  coolBits = 0;
  const RegistryKey key = OpenSettingsKey(KEY_READ);
  if (!key.IsOpen()) return tuning;
  key.ReadFourBytes("Divisor", tuning.divisor);
  key.ReadFourBytes("MMDelay", tuning.mmDelayMs);
  key.ReadFourBytes("AffMask", tuning.affinityMask);
  key.ReadFourBytes("Sleeeep", tuning.sleepMs);
  key.ReadDword("CoolBits", coolBits);
  return tuning;
}
}  // namespace

BOOL MonitorDialog::OnInitDialog() {
  const HWND dialog = Window();

  isNt = IsNtFamily();

  ShowWindowIcons(WindowDpi(dialog));
  // The notification area stays at the system's scale wherever the dialog goes.
  trayImage = LoadProgramIcon(0, SM_CXSMICON, SM_CYSMICON);

  const std::string title = LoadResourceString(IDS_TITLE);
  trayIcon.AddIcon(title.c_str(), trayImage.Get(), IDR_TRAYMENU);
  SetWindowTextA(dialog, title.c_str());
  SetWindowLongA(dialog, GWL_STYLE, GetWindowLongA(dialog, GWL_STYLE) | WS_MINIMIZEBOX);

  const HMENU systemMenu = GetSystemMenu(dialog, FALSE);
  if (IsMenu(systemMenu)) {
    InsertMenuA(systemMenu, 0, MF_BYPOSITION | MF_STRING, SC_MINIMIZE,
                LoadResourceString(IDS_HIDE).c_str());
    AppendMenuA(systemMenu, MF_SEPARATOR, 0, nullptr);
    AppendMenuA(systemMenu, MF_STRING, ID_APP_ABOUT, LoadResourceString(IDS_ABOUT_MENU).c_str());
  }

  const CalibrationTuning tuning = ReadTuningValues(coolBits);
  affinityMask = tuning.affinityMask;
  LoadSettings();

  logEdit = GetDlgItem(dialog, IDC_LOG);
  startButton = GetDlgItem(dialog, IDC_START_STOP);
  exitButton = GetDlgItem(dialog, IDC_EXIT);
  saveButton = GetDlgItem(dialog, IDC_SAVE);
  // The edit shows only the newest lines (LogWindowBoundsFor), but on the NT
  // family more than the 32K characters a multi-line edit takes unless told
  // otherwise; 0 is the system's most (64 KB on the 95 family, above its window).
  SendMessageA(logEdit, EM_SETLIMITTEXT, 0, 0);
  ChooseLogFolder();
  // A run that never reached Stop left its journal: it becomes a log file now.
  RecoverInterruptedRuns();

  EnableWindow(GetDlgItem(dialog, IDC_CHECK_CPU_CLOCK), FALSE);
  EnableWindow(GetDlgItem(dialog, IDC_CHECK_CPU_LOAD), TRUE);
  EnableWindow(GetDlgItem(dialog, IDC_AVAILABLE_MEMORY), TRUE);
  // Only the NT family reports limits or temperatures (from 2000 on); the
  // sources are opened once to see whether this one does, and closed again.
  thermalOffered = isNt && ThermalSources().Open(affinityMask);
  EnableWindow(GetDlgItem(dialog, IDC_THERMAL_MONITOR), thermalOffered ? TRUE : FALSE);
  EnableWindow(GetDlgItem(dialog, IDC_USE_IDLE_THREAD), isNt ? TRUE : FALSE);

  const ClockCalibration calibration =
      CalibrateClock(tuning.divisor, tuning.mmDelayMs, tuning.affinityMask, tuning.sleepMs);
  tscHz = calibration.tscHz;
  tscPerHpcTick = calibration.tscPerHpcTick;
  tscPerMs = calibration.tscPerMs;

  running = 0;
  idleThreadActive = 0;
  ShowSettings();
  CenterOnOwner();
  return TRUE;
}

// The window only borrows its icons: the dialog object owns them, and lets the
// old ones go only once the window holds the new.
void MonitorDialog::ShowWindowIcons(UINT dpi) {
  OwnedIcon newBig = LoadProgramIcon(dpi, SM_CXICON, SM_CYICON);
  OwnedIcon newSmall = LoadProgramIcon(dpi, SM_CXSMICON, SM_CYSMICON);
  SendMessageA(Window(), WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(newBig.Get()));
  SendMessageA(Window(), WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(newSmall.Get()));
  bigIcon = std::move(newBig);
  smallIcon = std::move(newSmall);
}
