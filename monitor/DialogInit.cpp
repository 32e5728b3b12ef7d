// Dressing the main dialog when it opens, and the Save on Stop check box.
#include "app/RegistryKey.h"
#include "app/ResourceStrings.h"
#include "measure/ClockCalibration.h"
#include "monitor/MonitorDialog.h"
#include "res/resource.h"

namespace {
HICON LoadDialogIcon(int widthMetric, int heightMetric) {
  return static_cast<HICON>(LoadImageA(ResourceModule(), MAKEINTRESOURCEA(IDR_MAINFRAME),
                                       IMAGE_ICON, GetSystemMetrics(widthMetric),
                                       GetSystemMetrics(heightMetric), LR_DEFAULTCOLOR));
}

// The tuning values and CoolBits, read whatever CoolBits says about the settings.
CalibrationTuning ReadTuningValues(uint32_t& coolBits) {
  CalibrationTuning tuning;
  coolBits = 0;
  const std::string path = LoadResourceString(IDS_SETTINGS_KEY);
  const RegistryKey key(HKEY_CURRENT_USER, path.c_str(), KEY_READ);
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

  OSVERSIONINFOA version{};
  version.dwOSVersionInfoSize = sizeof version;
  isNt = GetVersionExA(&version) && version.dwPlatformId == VER_PLATFORM_WIN32_NT;

  SendMessageA(dialog, WM_SETICON, ICON_BIG,
               reinterpret_cast<LPARAM>(LoadDialogIcon(SM_CXICON, SM_CYICON)));
  const HICON smallIcon = LoadDialogIcon(SM_CXSMICON, SM_CYSMICON);
  SendMessageA(dialog, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(smallIcon));

  const std::string title = LoadResourceString(IDS_TITLE);
  trayIcon.AddIcon(title.c_str(), smallIcon, IDR_TRAYMENU);
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
  LoadSettings();

  logEdit = GetDlgItem(dialog, IDC_LOG);
  startButton = GetDlgItem(dialog, IDC_START_STOP);
  exitButton = GetDlgItem(dialog, IDC_EXIT);
  saveButton = GetDlgItem(dialog, IDC_SAVE);
  // A multi-line edit takes about 32K characters unless told otherwise, and a
  // long run would silently lose every later line.
  SendMessageA(logEdit, EM_SETLIMITTEXT, 0, 0);

  EnableWindow(GetDlgItem(dialog, IDC_CHECK_CPU_CLOCK), FALSE);
  EnableWindow(GetDlgItem(dialog, IDC_CHECK_CPU_LOAD), TRUE);
  EnableWindow(GetDlgItem(dialog, IDC_AVAILABLE_MEMORY), TRUE);
  EnableWindow(GetDlgItem(dialog, IDC_THERMAL_MONITOR), FALSE);
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

LRESULT MonitorDialog::OnSaveOnStop() {
  TakeSettings();
  EnableWindow(saveButton, !running && saveOnStop == 0);
  return 0;
}
