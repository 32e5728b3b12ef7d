// The settings store: five values in the current user's settings key. Nothing
// here creates the key; without it the defaults apply and nothing is saved.
#include "app/RegistryKey.h"
#include "app/ResourceStrings.h"
#include "app/portable/ErrorCodes.h"
#include "monitor/MonitorDialog.h"
#include "res/resource.h"

HRESULT MonitorDialog::LoadSettings() {
  startDelayMinutes = 5;
  checkPeriodSeconds = 30;
  checkCpuClock = 1;
  checkCpuLoad = 1;
  checkBusClock = 0;
  thermalMonitor = 0;
  saveOnStop = 1;
  useIdleThread = isNt ? 0 : 1;
  useMmTimer = 1;
  availableMemory = 0;
  if (coolBits & coolbits::kDontLoadSettings) return codes::kFalse;

  const std::string path = LoadResourceString(IDS_SETTINGS_KEY);
  const RegistryKey key(HKEY_CURRENT_USER, path.c_str(), KEY_READ);
  if (!key.IsOpen()) return codes::FromWin32(key.OpenError());
  key.ReadFourBytes("StartTime", startDelayMinutes);
  key.ReadFourBytes("CheckTime", checkPeriodSeconds);
  key.ReadFourBytes("CpuLoad", checkCpuLoad);
  key.ReadFourBytes("MmTimer", useMmTimer);
  key.ReadFourBytes("FreeMem", availableMemory);
  return codes::kOk;
}

HRESULT MonitorDialog::SaveSettings() {
  if (coolBits & coolbits::kDontSaveSettings) return codes::kFalse;

  const std::string path = LoadResourceString(IDS_SETTINGS_KEY);
  const RegistryKey key(HKEY_CURRENT_USER, path.c_str(), KEY_READ | KEY_WRITE);
  if (!key.IsOpen()) return codes::FromWin32(key.OpenError());
  key.WriteDword("StartTime", startDelayMinutes);
  key.WriteDword("CheckTime", checkPeriodSeconds);
  key.WriteDword("CpuLoad", static_cast<uint32_t>(checkCpuLoad));
  key.WriteDword("MmTimer", static_cast<uint32_t>(useMmTimer));
  key.WriteDword("FreeMem", static_cast<uint32_t>(availableMemory));
  return codes::kOk;
}
