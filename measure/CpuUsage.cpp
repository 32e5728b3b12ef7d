#include "app/portable/ErrorCodes.h"
#include "monitor/MonitorDialog.h"

// The load service is not built yet.
HRESULT MonitorDialog::Start() { return codes::kFail; }
HRESULT MonitorDialog::Stop() { return codes::kOk; }
HRESULT MonitorDialog::GetLoad(float* load) {
  if (load == nullptr) return codes::kPointer;
  *load = 0.0f;
  return codes::kFail;
}
bool MonitorDialog::QueryNativeLoad(float* load) {
  *load = 0.0f;
  return false;
}
DWORD WINAPI MonitorDialog::IdleCounterThread(LPVOID) { return 0; }
