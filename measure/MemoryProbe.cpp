// Available physical memory in kilobytes.
#include "app/MessageBoxes.h"
#include "app/portable/ErrorCodes.h"
#include "measure/PlatformSeam.h"
#include "measure/portable/LoadMath.h"
#include "monitor/MonitorDialog.h"
#include "res/resource.h"

namespace {
using GlobalMemoryStatusExFn = BOOL(WINAPI*)(LPMEMORYSTATUSEX);
static_assert(sizeof(MEMORYSTATUSEX) == 64, "extended memory status");
static_assert(sizeof(MEMORYSTATUS) == 32 || sizeof(void*) == 8, "memory status");
}  // namespace

HRESULT MonitorDialog::GetAvailableMemoryKb(uint64_t* kilobytes) {
  if (kilobytes == nullptr) return codes::kPointer;
  if (!isNt) {
    MEMORYSTATUS status{};
    status.dwLength = sizeof status;
    GlobalMemoryStatus(&status);
    *kilobytes = BytesToKilobytes(status.dwAvailPhys);
    return codes::kOk;
  }
  // Looked up at every call: the entry is missing on the oldest systems.
  const auto memoryStatusEx = measure_seam::FunctionCast<GlobalMemoryStatusExFn>(
      measure_seam::LookupExport("kernel32", "GlobalMemoryStatusEx"));
  MEMORYSTATUSEX status{};
  status.dwLength = sizeof status;
  if (memoryStatusEx != nullptr && memoryStatusEx(&status)) {
    *kilobytes = BytesToKilobytes(status.ullAvailPhys);
    return codes::kOk;
  }
  *kilobytes = 0;
  FatalErrorBox(MAKEINTRESOURCEA(IDS_MSG_MEMSTATUS_NOT_FOUND), MB_OK | MB_ICONERROR);
  return FailureFromLastError(GetLastError());
}
