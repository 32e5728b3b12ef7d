#include "app/portable/ErrorCodes.h"
#include "monitor/MonitorDialog.h"

// The memory probe is not built yet.
HRESULT MonitorDialog::GetAvailableMemoryKb(uint64_t* kilobytes) {
  *kilobytes = 0;
  return codes::kFail;
}
