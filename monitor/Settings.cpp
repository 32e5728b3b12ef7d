// The settings store: seven values in the current user's settings key. Nothing
// here creates the key; without it the defaults apply and nothing is saved.
#include "app/SettingsKey.h"
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
  checkCoreClock = 0;
  if (coolBits & coolbits::kDontLoadSettings) return codes::kFalse;

  const RegistryKey key = OpenSettingsKey(KEY_READ);
  if (!key.IsOpen()) return codes::FromWin32(key.OpenError());
  key.ReadFourBytes("StartTime", startDelayMinutes);
  key.ReadFourBytes("CheckTime", checkPeriodSeconds);
  key.ReadFourBytes("CpuLoad", checkCpuLoad);
  key.ReadFourBytes("MmTimer", useMmTimer);
  key.ReadFourBytes("FreeMem", availableMemory);
  key.ReadFourBytes("CoreClock", checkCoreClock);
  key.ReadFourBytes("ThermalMonitor", thermalMonitor);
  return codes::kOk;
}

HRESULT MonitorDialog::SaveSettings() {
  if (coolBits & coolbits::kDontSaveSettings) return codes::kFalse;

  const RegistryKey key = OpenSettingsKey(KEY_READ | KEY_WRITE);
  if (!key.IsOpen()) return codes::FromWin32(key.OpenError());
  const struct {
    const char* name;
    uint32_t value;
  } values[] = {{"StartTime", startDelayMinutes},
                {"CheckTime", checkPeriodSeconds},
                {"CpuLoad", static_cast<uint32_t>(checkCpuLoad)},
                {"MmTimer", static_cast<uint32_t>(useMmTimer)},
                {"FreeMem", static_cast<uint32_t>(availableMemory)},
                {"CoreClock", static_cast<uint32_t>(checkCoreClock)},
                {"ThermalMonitor", static_cast<uint32_t>(thermalMonitor)}};
  // Every value is tried; the first failure is what the caller learns.
  HRESULT result = codes::kOk;
  for (const auto& value : values) {
    const LONG status = key.WriteDword(value.name, value.value);
    if (status != ERROR_SUCCESS && result == codes::kOk) result = codes::FromWin32(status);
  }
  return result;
}
