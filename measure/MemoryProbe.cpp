#include "measure/MemoryProbe.h"

#include "app/MessageBoxes.h"
#include "app/portable/ErrorCodes.h"
#include "measure/PlatformSeam.h"
#include "measure/portable/MemoryMath.h"
#include "res/resource.h"

namespace {
using GlobalMemoryStatusExFn = BOOL(WINAPI*)(LPMEMORYSTATUSEX);
static_assert(sizeof(MEMORYSTATUSEX) == 64, "extended memory status");
static_assert(sizeof(MEMORYSTATUS) == 32 || sizeof(void*) == 8, "memory status");
}  // namespace

HRESULT ReadAvailableMemoryKb(bool isNt, uint64_t* kilobytes) {
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
  return FailureFromLastError(GetLastError());
}

HRESULT GetAvailableMemoryKb(bool isNt, uint64_t* kilobytes) {
  const HRESULT result = ReadAvailableMemoryKb(isNt, kilobytes);
  if (codes::Failed(result) && result != codes::kPointer) {
    FatalErrorBoxUnlessOpen(IDS_MSG_MEMSTATUS_NOT_FOUND);
  }
  return result;
}
