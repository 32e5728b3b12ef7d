#include "measure/PlatformSeam.h"

#include <atomic>
#include <cstdlib>
#include <cstring>
#include <string>

namespace measure_seam {
namespace {
constexpr LONG kStatusUnsuccessful = static_cast<LONG>(0xC0000001u);

std::atomic<uint32_t>& FaultBits() {
  static std::atomic<uint32_t> faults{ParseFaults(std::getenv(kFaultsVariable))};
  return faults;
}

LONG WINAPI FailingQuery(ULONG, PVOID, ULONG, PULONG) {
  SetLastError(ERROR_GEN_FAILURE);
  return kStatusUnsuccessful;
}

BOOL WINAPI FailingMemoryStatus(LPMEMORYSTATUSEX) {
  SetLastError(ERROR_INVALID_PARAMETER);
  return FALSE;
}

FARPROC NotFound() {
  SetLastError(ERROR_PROC_NOT_FOUND);
  return nullptr;
}
}  // namespace

uint32_t ParseFaults(const char* list) {
  static const struct {
    const char* name;
    uint32_t fault;
  } kNames[] = {{"ntquery", kNtQueryLookup},
                {"ntquerycall", kNtQueryCall},
                {"memstatus", kMemStatusLookup},
                {"memstatuscall", kMemStatusCall},
                {"createthread", kCreateThread}};
  uint32_t faults = 0;
  if (list == nullptr) return faults;
  const std::string text(list);
  size_t begin = 0;
  while (begin <= text.size()) {
    size_t end = text.find(',', begin);
    if (end == std::string::npos) end = text.size();
    const std::string name = text.substr(begin, end - begin);
    for (const auto& known : kNames) {
      if (name == known.name) faults |= known.fault;
    }
    begin = end + 1;
  }
  return faults;
}

uint32_t Faults() { return FaultBits().load(); }
void SetFaults(uint32_t faults) { FaultBits().store(faults); }

FARPROC LookupExport(const char* module, const char* name) {
  const uint32_t faults = Faults();
  if (std::strcmp(name, "NtQuerySystemInformation") == 0) {
    if (faults & kNtQueryLookup) return NotFound();
    if (faults & kNtQueryCall) return FunctionCast<FARPROC>(&FailingQuery);
  }
  if (std::strcmp(name, "GlobalMemoryStatusEx") == 0) {
    if (faults & kMemStatusLookup) return NotFound();
    if (faults & kMemStatusCall) return FunctionCast<FARPROC>(&FailingMemoryStatus);
  }
  const HMODULE handle = GetModuleHandleA(module);
  if (handle == nullptr) return nullptr;
  return GetProcAddress(handle, name);
}

HANDLE CreateCountingThread(LPTHREAD_START_ROUTINE routine, LPVOID parameter, DWORD* threadId) {
  if (Faults() & kCreateThread) {
    SetLastError(ERROR_NOT_ENOUGH_MEMORY);
    return nullptr;
  }
  return CreateThread(nullptr, 0, routine, parameter, 0, threadId);
}

}  // namespace measure_seam
